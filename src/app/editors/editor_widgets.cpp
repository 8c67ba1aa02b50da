#include "editors/editor_widgets.h"

#include <algorithm>

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QWindow>

#include "messages.h"
#include "step_runner.h"

namespace marovi::app::editors {

void ActBetweenSteps(TStepRunner& runner, QWidget* window, std::function<void()> change)
{
    runner.BetweenSteps(window, [window, change = std::move(change)] {
        try {
            change();
        } catch (const std::exception& e) {
            // Nothing touches the model once the box is open: time steps may go on meanwhile.
            ShowError(window, QString::fromLocal8Bit(e.what()));
        }
    });
}

void AddField(QGridLayout* grid, int row, int column, QWidget* caption, QWidget* field)
{
    grid->addWidget(caption, row, 2 * column);
    grid->addWidget(field, row, 2 * column + 1);
}

QLabel* CaptionLabel(const char* text, const char* hint)
{
    auto* label = new QLabel(QString::fromLatin1(text));
    if (hint) label->setToolTip(QString::fromLatin1(hint));
    return label;
}

void ResizeWithinScreen(QWidget* window, const QSize& preferred)
{
    window->resize(preferred.boundedTo(window->screen()->availableGeometry().size()));
}

QPushButton* MakeButton(const char* name, const char* caption)
{
    auto* button = Named(new QPushButton(QString::fromLatin1(caption)), name);
    button->setAutoDefault(false);
    return button;
}

QLineEdit* MakeEdit(const char* name, int maxWidth)
{
    auto* edit = Named(new QLineEdit, name);
    edit->setMaximumWidth(maxWidth);
    edit->setMinimumWidth(std::min(maxWidth, 70)); // a squeezed layout still shows a number
    return edit;
}

QTreeWidget* MakeReportList(const char* name, const char* const* columns, int count)
{
    auto* list = Named(new QTreeWidget, name);
    QStringList captions;
    for (int i = 0; i < count; ++i) captions << QString::fromLatin1(columns[i]);
    list->setHeaderLabels(captions);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return list;
}

void AddReportRow(QTreeWidget* list, const std::string* texts, int count)
{
    auto* item = new QTreeWidgetItem(list);
    for (int i = 0; i < count; ++i) item->setText(i, QString::fromStdString(texts[i]));
}

void SelectReportRow(QTreeWidget* list, int row)
{
    const QSignalBlocker blocker(list);
    QTreeWidgetItem* item = row >= 0 ? list->topLevelItem(row) : nullptr;
    list->setCurrentItem(item);
    if (!item) list->clearSelection();
    if (item) list->scrollToItem(item);
}

QGroupBox* MakeSubstrateBox(const char* name, const QString& title, int first, TBitBoxes& boxes)
{
    auto* box = Named(new QGroupBox(title), name);
    auto* layout = new QGridLayout(box);
    for (int bit = 0; bit < 8; ++bit) {
        auto* check = new QCheckBox(QString::number(bit + 1));
        check->setObjectName(QStringLiteral("CheckBox%1").arg(first + bit));
        layout->addWidget(check, bit / 4, bit % 4);
        boxes[static_cast<size_t>(bit)] = check;
    }
    return box;
}

uint32_t CheckedBits(const TBitBoxes& boxes)
{
    uint32_t bits = 0;
    for (size_t bit = 0; bit < boxes.size(); ++bit)
        if (boxes[bit]->isChecked()) bits |= 1u << bit;
    return bits;
}

void ShowBits(const TBitBoxes& boxes, uint32_t bits)
{
    for (size_t bit = 0; bit < boxes.size(); ++bit) boxes[bit]->setChecked((bits >> bit) & 1);
}

TActivationWatch::TActivationWatch(QWidget* window) : QObject(window), window_(window)
{
    // Only windows that took the focus count: a dialog's closing may pass through "none".
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focus) {
        if (!focus || focus == current_.Window) return;
        previous_ = current_;
        current_ = {focus, focus->modality() != Qt::NonModal};
    });
}

bool TActivationWatch::ReturnedFromDialog() const
{
    // The activation is seen before the focus change is announced, but not always.
    const TFocus& before = current_.Window == window_->windowHandle() ? previous_ : current_;
    return before.Modal;
}

TColourSwatch::TColourSwatch(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(40, 24);
    setCursor(Qt::PointingHandCursor);
}

void TColourSwatch::SetColour(const QColor& colour)
{
    colour_ = colour;
    update();
}

void TColourSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(colour_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TColourSwatch::mousePressEvent(QMouseEvent* event)
{
    // The right button asks for the context menu instead.
    if (event->button() != Qt::RightButton) emit Pressed();
}

void TColourSwatch::contextMenuEvent(QContextMenuEvent*)
{
    emit ContextRequested();
}

} // namespace marovi::app::editors
