#include "god_mode_form.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "main_form.h"
#include "messages.h"
#include "model/species_moves.h"
#include "model/grid.h"
#include "model/model.h"
#include "step_runner.h"
#include "widgets/named.h"
#include "widgets/species_names.h"
#include "view/cell_editor.h"

namespace marovi::app {

namespace {

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

// The selected line, -1 for none (the current line of a list that has the focus is not
// necessarily selected).
int SelectedRow(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.constFirst());
}

} // namespace

TGodModeForm::TGodModeForm(TStepRunner& runner, QWidget* parent) : QWidget(parent, Qt::Window), runner_(runner)
{
    setObjectName(QStringLiteral("GodModeForm"));
    auto* cellBox = new QGroupBox(QStringLiteral("cell"));
    auto* cellLayout = new QVBoxLayout(cellBox);
    CellIndiListBox_ = Named(new QListWidget, "CellIndiListBox");
    CellIndiListBox_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    CellIndiListBox_->setMinimumWidth(300);
    CapLabel_ = Named(new QLabel, "CapLabel");
    FreeCapLabel_ = Named(new QLabel, "FreeCapLabel");
    for (QLabel* l : {CapLabel_, FreeCapLabel_}) l->setFont(CellIndiListBox_->font());
    cellLayout->addWidget(CellIndiListBox_, 1);
    cellLayout->addWidget(CapLabel_);
    cellLayout->addWidget(FreeCapLabel_);

    auto* poolBox = new QGroupBox(QStringLiteral("species pool"));
    auto* poolLayout = new QVBoxLayout(poolBox);
    SpeciesPoolListBox_ = Named(new QListWidget, "SpeciesPoolListBox");
    poolLayout->addWidget(SpeciesPoolListBox_);

    auto* create = Named(new QPushButton(QStringLiteral("<-- put into cell")), "CreateButton");
    auto* kill = Named(new QPushButton(QStringLiteral("--> kill")), "KillButton");
    auto* edit = Named(new QPushButton(QStringLiteral("--> edit")), "EditButton");
    auto* clear = Named(new QPushButton(QStringLiteral("celar all")), "ClearCellButton");
    auto* update = Named(new QPushButton(QStringLiteral("update")), "updateButton");
    Label1_ = Named(new QLabel(QStringLiteral("none selected")), "Label1");
    Label1_->setWordWrap(true);
    AgeEdit_ = Named(new QLineEdit(QStringLiteral("---")), "AgeEdit");
    SizeEdit_ = Named(new QLineEdit(QStringLiteral("---")), "SizeEdit");
    SizeEdit_->setEnabled(false);
    LastRepEdit_ = Named(new QLineEdit(QStringLiteral("---")), "LastRepEdit");
    AgeEdit_->installEventFilter(this);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Age"), AgeEdit_);
    fields->addRow(QStringLiteral("size"), SizeEdit_);
    fields->addRow(QStringLiteral("last reproduction"), LastRepEdit_);
    auto* middle = new QVBoxLayout;
    middle->addWidget(create);
    middle->addWidget(kill);
    middle->addWidget(edit);
    middle->addSpacing(12);
    middle->addWidget(Label1_);
    middle->addLayout(fields);
    middle->addWidget(update);
    middle->addStretch();
    middle->addWidget(clear);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(cellBox, 3);
    layout->addLayout(middle, 2);
    layout->addWidget(poolBox, 2);
    resize(820, 420);

    connect(create, &QPushButton::clicked, this, &TGodModeForm::PutIntoCell);
    connect(kill, &QPushButton::clicked, this, &TGodModeForm::Kill);
    connect(edit, &QPushButton::clicked, this, &TGodModeForm::Edit);
    connect(CellIndiListBox_, &QListWidget::itemDoubleClicked, this, &TGodModeForm::Edit);
    connect(update, &QPushButton::clicked, this, &TGodModeForm::UpdateIndividual);
    connect(clear, &QPushButton::clicked, this, &TGodModeForm::ClearCell);
    connect(AgeEdit_, &QLineEdit::editingFinished, this, &TGodModeForm::PreviewSize);
}

void TGodModeForm::LetGoEdited()
{
    edited_ = -1;
    editedKey_.reset();
}

void TGodModeForm::SetMainForm(TMainForm* form)
{
    connect(form, &TMainForm::ChartsUpdated, this, &TGodModeForm::CellChanged);
    connect(form, &TMainForm::SimulationReset, this, &TGodModeForm::SimulationReset);
}

void TGodModeForm::OpenCellEditor(int x, int y)
{
    runner_.BetweenSteps(this, [this, x, y] {
        const Model& m = runner_.model();
        LetGoEdited();
        setWindowTitle(FromStd(CellEditorCaption(x, y)));
        x_ = x;
        y_ = y;
        SpeciesPoolListBox_->clear();
        SpeciesPoolListBox_->addItems(SpeciesNames(m));
        RefreshCellList();
        RefreshFields();
        show();
        raise();
        activateWindow();
    });
}

void TGodModeForm::CellChanged()
{
    if (!isVisible()) return;
    runner_.BetweenSteps(this, [this] {
        const Model& m = runner_.model();
        if (x_ > m.XMax || y_ > m.YMax) x_ = y_ = 0; // a smaller grid was loaded
        const int before = edited_;
        FindEdited();
        // Typing in progress stays; the label names the individual where it is now.
        const bool typing = AgeEdit_->isModified() || LastRepEdit_->isModified();
        if (edited_ < 0 && before >= 0) RefreshFields();
        else if (edited_ >= 0 && !typing) RefreshFields();
        else if (edited_ >= 0) Label1_->setText(FromStd(IndividualFields(m, x_, y_, edited_).Label));
        RefreshCellList(true);
    });
}

void TGodModeForm::SimulationReset()
{
    runner_.BetweenSteps(this, [this] {
        LetGoEdited();
        if (isVisible()) RefreshFields();
    });
    CellChanged();
}

void TGodModeForm::FollowSpeciesMoves(const TSpeciesMoves& moves)
{
    const Model& m = runner_.model();
    const int chosen = SelectedRow(SpeciesPoolListBox_);
    SpeciesPoolListBox_->clear();
    SpeciesPoolListBox_->addItems(SpeciesNames(m));
    if (const int now = MovedTo(moves, chosen); now >= 0) SpeciesPoolListBox_->setCurrentRow(now);
    CellChanged();
}

void TGodModeForm::FindEdited()
{
    edited_ = editedKey_ ? FindIndividual(runner_.model(), x_, y_, *editedKey_) : -1;
    // Once gone, for good: an individual put in later may not take its place.
    if (edited_ < 0) editedKey_.reset();
}

std::optional<TIndividualKey> TGodModeForm::SelectedKey() const
{
    const int row = SelectedRow(CellIndiListBox_);
    if (row < 0 || row >= static_cast<int>(shownKeys_.size())) return std::nullopt;
    return shownKeys_[static_cast<size_t>(row)];
}

void TGodModeForm::RefreshCellList(bool keepSelection)
{
    const Model& m = runner_.model();
    const std::optional<TIndividualKey> selected = keepSelection ? SelectedKey() : std::nullopt;
    TCellEditorList list = CellEditorList(m, x_, y_);
    CapLabel_->setText(FromStd(list.Capacity));
    FreeCapLabel_->setText(FromStd(list.Count));
    CellIndiListBox_->clear();
    for (const std::string& line : list.Lines) CellIndiListBox_->addItem(FromStd(line));
    shownKeys_ = std::move(list.Keys);
    const int row = selected ? FindIndividual(m, x_, y_, *selected) : -1;
    if (row >= 0) CellIndiListBox_->setCurrentRow(row);
}

void TGodModeForm::RefreshFields()
{
    const TIndividualFields f = IndividualFields(runner_.model(), x_, y_, edited_);
    Label1_->setText(FromStd(f.Label));
    AgeEdit_->setText(FromStd(f.Age));
    SizeEdit_->setText(FromStd(f.Size));
    LastRepEdit_->setText(FromStd(f.LastReproduction));
}

void TGodModeForm::PutIntoCell()
{
    const int species = SelectedRow(SpeciesPoolListBox_);
    runner_.BetweenSteps(this, [this, species] {
        FindEdited(); // settled before the newcomer arrives
        if (edited_ < 0) RefreshFields();
        std::string refusal;
        try {
            refusal = marovi::PutIntoCell(runner_.model(), x_, y_, species);
        } catch (const std::exception& e) {
            refusal = e.what();
        }
        RefreshCellList();
        if (!refusal.empty()) ShowMessage(this, QStringLiteral("MAROVI"), FromStd(refusal));
    });
}

void TGodModeForm::Kill()
{
    const std::optional<TIndividualKey> key = SelectedKey();
    if (!key) {
        ShowMessage(this, QStringLiteral("MAROVI"), QStringLiteral("please select indivdual to kill!"));
        return;
    }
    runner_.BetweenSteps(this, [this, key] {
        Model& m = runner_.model();
        // The line chosen may have moved, or died, since the list was shown.
        const int row = FindIndividual(m, x_, y_, *key);
        if (row >= 0) RemoveIndividual(m, x_, y_, m.Cell(x_, y_).Individuals[static_cast<size_t>(row)].Species, row);
        LetGoEdited();
        RefreshFields();
        RefreshCellList();
    });
}

void TGodModeForm::Edit()
{
    const std::optional<TIndividualKey> key = SelectedKey();
    if (!key) {
        ShowMessage(this, QStringLiteral("MAROVI"), QStringLiteral("please select indivdual to edit!"));
        return;
    }
    runner_.BetweenSteps(this, [this, key] {
        editedKey_ = key;
        FindEdited();
        RefreshFields();
    });
}

void TGodModeForm::PreviewSize()
{
    if (!editedKey_) return;
    const std::string text = AgeEdit_->text().toStdString();
    runner_.BetweenSteps(this, [this, text] {
        FindEdited();
        if (edited_ >= 0) SizeEdit_->setText(FromStd(marovi::PreviewSize(runner_.model(), x_, y_, edited_, text)));
    });
}

void TGodModeForm::UpdateIndividual()
{
    if (!editedKey_) return;
    const std::string age = AgeEdit_->text().toStdString(), lastReproduction = LastRepEdit_->text().toStdString();
    runner_.BetweenSteps(this, [this, age, lastReproduction] {
        Model& m = runner_.model();
        FindEdited();
        if (edited_ < 0) { // died since it was chosen: nobody else takes its values
            RefreshFields();
            RefreshCellList(true);
            return;
        }
        QString error;
        try {
            marovi::UpdateIndividual(m, x_, y_, edited_, age, lastReproduction);
        } catch (const std::exception& e) {
            error = FromStd(e.what());
        }
        editedKey_ = IndividualKey(m, x_, y_, edited_); // a new age is a new time of settling
        RefreshFields();
        RefreshCellList();
        if (!error.isEmpty()) ShowError(this, error);
    });
}

void TGodModeForm::ClearCell()
{
    runner_.BetweenSteps(this, [this] {
        marovi::ClearCell(runner_.model().Cell(x_, y_));
        LetGoEdited();
        RefreshFields();
        RefreshCellList();
    });
}

void TGodModeForm::closeEvent(QCloseEvent* event)
{
    runner_.BetweenSteps(this, [this] {
        x_ = y_ = 0;
        LetGoEdited();
        RefreshCellList();
    });
    QWidget::closeEvent(event);
}

bool TGodModeForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == AgeEdit_ && event->type() == QEvent::MouseButtonPress) PreviewSize();
    return QWidget::eventFilter(watched, event);
}

} // namespace marovi::app
