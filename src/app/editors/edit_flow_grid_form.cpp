#include "editors/edit_flow_grid_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editors/flow_chart.h"
#include "files/flow_grid_file.h"
#include "landscape/flow_editor.h"
#include "messages.h"
#include "model/model.h"
#include "step_runner.h"
#include "util/error.h"
#include "widgets/named.h"

namespace marovi::app {

namespace {

QLineEdit* Edit(const char* name)
{
    auto* edit = Named(new QLineEdit, name);
    edit->setMaximumWidth(140);
    return edit;
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Long numbers show their first digits.
void Show(QLineEdit* edit, const std::string& text)
{
    edit->setText(Text(text));
    edit->setCursorPosition(0);
}

} // namespace

TEditFlowGridForm::TEditFlowGridForm(TStepRunner& runner, QWidget* parent)
    : QWidget(parent, Qt::Window), runner_(runner), model_(runner.model())
{
    setObjectName(QStringLiteral("EditFlowGridForm"));
    setWindowTitle(QStringLiteral("edit flow field"));

    Chart1_ = Named(new TFlowChart, "Chart1");
    ShowDevCheckBox_ = Named(new QCheckBox(QStringLiteral("show deviation")), "ShowDevCheckBox");
    ShowDevCheckBox_->setChecked(true);

    localGroup_ = Named(new QGroupBox(QStringLiteral(" local flow cell")), "LocalGroupBox");
    auto* local = new QFormLayout(localGroup_);
    CellLabel_ = Named(new QLabel, "CellLabel");
    local->addRow(CellLabel_);
    DirEdit_ = Edit("DirEdit");
    devEdit_ = Edit("devEdit");
    speedEdit_ = Edit("speedEdit");
    DirEdit_->setToolTip(QStringLiteral("compass bearing the flow goes to: 0 = north, 90 = east, clockwise"));
    local->addRow(QStringLiteral("bearing (°, 0 = north, clockwise)"), DirEdit_);
    local->addRow(QStringLiteral("deviation (°)"), devEdit_);
    local->addRow(QStringLiteral("speed"), speedEdit_);
    auto* UpdateLocalButton = NamedButton("UpdateLocalButton", "update");
    local->addRow(UpdateLocalButton);

    auto* grid = new QGroupBox(QStringLiteral("flow grid"));
    auto* gridLayout = new QGridLayout(grid);
    xDimEdit_ = Edit("xDimEdit");
    yDimEdit_ = Edit("yDimEdit");
    gridLayout->addWidget(new QLabel(QStringLiteral("x")), 0, 0);
    gridLayout->addWidget(xDimEdit_, 0, 1);
    gridLayout->addWidget(new QLabel(QStringLiteral("y")), 0, 2);
    gridLayout->addWidget(yDimEdit_, 0, 3);
    auto* NewFlowGridButton = NamedButton("NewFlowGridButton", "new flow grid");
    gridLayout->addWidget(NewFlowGridButton, 1, 0, 1, 4);

    auto* files = new QGroupBox(QStringLiteral("files"));
    auto* filesLayout = new QGridLayout(files);
    auto* LoadButton = NamedButton("LoadButton", "load");
    auto* SaveButton = NamedButton("SaveButton", "save");
    auto* ImportButton = NamedButton("ImportButton", "import txt");
    auto* ExportButton = NamedButton("ExportButton", "export txt");
    filesLayout->addWidget(LoadButton, 0, 0);
    filesLayout->addWidget(SaveButton, 0, 1);
    filesLayout->addWidget(ImportButton, 1, 0);
    filesLayout->addWidget(ExportButton, 1, 1);

    auto* display = new QGroupBox(QStringLiteral("display"));
    auto* displayLayout = new QFormLayout(display);
    displayLayout->addRow(ShowDevCheckBox_);
    ArrowSizeEdit_ = Edit("ArrowSizeEdit");
    SpeedFactorEdit_ = Edit("SpeedFactorEdit");
    SpeedFactorEdit_->setReadOnly(true);
    displayLayout->addRow(QStringLiteral("arrow size"), ArrowSizeEdit_);
    displayLayout->addRow(QStringLiteral("speed factor"), SpeedFactorEdit_);

    auto* controls = new QVBoxLayout;
    controls->addWidget(localGroup_);
    controls->addWidget(grid);
    controls->addWidget(files);
    controls->addWidget(display);
    controls->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Chart1_, 1);
    layout->addLayout(controls);
    resize(900, 620);

    const QString binary = QStringLiteral("MAROVI flow grid (*.mfg)"), text = QStringLiteral("text file (*.txt)");
    OpenDialog_ = MakeFileDialog(this, "OpenDialog", false, binary, QStringLiteral("mfg"));
    SaveDialog_ = MakeFileDialog(this, "SaveDialog", true, binary, QStringLiteral("mfg"));
    ImportDialog_ = MakeFileDialog(this, "ImportDialog", false, text, QStringLiteral("txt"));
    ExportDialog_ = MakeFileDialog(this, "ExportDialog", true, text, QStringLiteral("txt"));

    connect(Chart1_, &TFlowChart::ArrowClicked, this, &TEditFlowGridForm::ArrowClicked);
    connect(ShowDevCheckBox_, &QCheckBox::toggled, Chart1_, &TFlowChart::SetShowDeviation);
    connect(UpdateLocalButton, &QPushButton::clicked, this, &TEditFlowGridForm::UpdateLocalClicked);
    connect(NewFlowGridButton, &QPushButton::clicked, this, &TEditFlowGridForm::NewFlowGridClicked);
    connect(ArrowSizeEdit_, &QLineEdit::textEdited, this, &TEditFlowGridForm::ArrowSizeEdited);
    connect(LoadButton, &QPushButton::clicked, this, [this] {
        FileOperation(OpenDialog_, [](Model& m, const std::string& path) { LoadFlowGrid(m.FlowGrid, path); }, true);
    });
    connect(SaveButton, &QPushButton::clicked, this, [this] {
        FileOperation(SaveDialog_, [](Model& m, const std::string& path) { SaveFlowGrid(m.FlowGrid, path); }, false);
    });
    connect(ImportButton, &QPushButton::clicked, this, [this] {
        FileOperation(ImportDialog_, [](Model& m, const std::string& path) { ImportFlowGridText(m, path); }, true);
    });
    connect(ExportButton, &QPushButton::clicked, this, [this] {
        FileOperation(ExportDialog_, [](Model& m, const std::string& path) { ExportFlowGridText(m, path); }, false);
    });
}

void TEditFlowGridForm::SetBackground(const QImage& landscape) { Chart1_->SetBackground(landscape); }

void TEditFlowGridForm::Refresh()
{
    if (isVisible()) runner_.BetweenSteps(this, [this] { FillOnActivate(); });
}

void TEditFlowGridForm::showEvent(QShowEvent* event)
{
    runner_.BetweenSteps(this, [this] { FillOnActivate(); });
    QWidget::showEvent(event);
}

void TEditFlowGridForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) runner_.BetweenSteps(this, [this] { FillOnActivate(); });
    QWidget::changeEvent(event);
}

void TEditFlowGridForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        ClearSelectedCell();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TEditFlowGridForm::FillOnActivate()
{
    SpeedFactorEdit_->setText(Text(SpeedFactorText(TFlowChart::SpeedFactor)));
    ArrowSizeEdit_->setText(QString::number(Chart1_->ArrowSize()));
    ShowFlowGrid();
    ShowSelectedCell();
}

void TEditFlowGridForm::ShowFlowGrid()
{
    const TFlowGrid& grid = model_.FlowGrid;
    selX_ = KeptSelection(selX_, grid.XCount);
    selY_ = KeptSelection(selY_, grid.YCount);
    xDimEdit_->setText(QString::number(grid.XCount));
    yDimEdit_->setText(QString::number(grid.YCount));
    Chart1_->SetFlowGrid(grid);
    Chart1_->SetSelection(selX_, selY_);
}

void TEditFlowGridForm::ShowSelectedCell()
{
    const TFlowGrid& grid = model_.FlowGrid;
    CellLabel_->setText(Text(FlowCellCaption(selX_, selY_)));
    if (selX_ >= grid.XCount || selY_ >= grid.YCount) return;
    const TFlowCellEntries e = FlowCellEntriesOf(grid.Cell(selX_, selY_));
    Show(DirEdit_, e.Direction);
    Show(devEdit_, e.Deviation);
    Show(speedEdit_, e.Speed);
}

void TEditFlowGridForm::ArrowClicked(int arrow, Qt::MouseButton button)
{
    if (button != Qt::LeftButton && button != Qt::RightButton) return;
    runner_.BetweenSteps(this, [this, arrow, button] {
        const int ny = model_.FlowGrid.YCount;
        if (ny < 1) return;
        selX_ = arrow / ny;
        selY_ = arrow % ny;
        // A right click clears the cell under the pointer, which becomes the selected one.
        if (button == Qt::RightButton) {
            ClearFlowCell(model_, selX_, selY_);
            ShowFlowGrid();
        }
        Chart1_->SetSelection(selX_, selY_);
        ShowSelectedCell();
    });
}

void TEditFlowGridForm::UpdateLocalClicked()
{
    const TFlowCellEntries e{DirEdit_->text().toStdString(), devEdit_->text().toStdString(), speedEdit_->text().toStdString()};
    runner_.BetweenSteps(this, [this, e] {
        std::vector<std::string> errors;
        UpdateFlowCell(model_, selX_, selY_, e, errors);
        ShowFlowGrid();
        ShowSelectedCell();
        ShowMessages(errors);
    });
}

void TEditFlowGridForm::ClearSelectedCell()
{
    runner_.BetweenSteps(this, [this] {
        ClearFlowCell(model_, selX_, selY_);
        ShowFlowGrid();
        ShowSelectedCell();
    });
}

void TEditFlowGridForm::NewFlowGridClicked()
{
    const TFlowCellEntries e{DirEdit_->text().toStdString(), devEdit_->text().toStdString(), speedEdit_->text().toStdString()};
    const std::string xCount = xDimEdit_->text().toStdString(), yCount = yDimEdit_->text().toStdString();
    runner_.BetweenSteps(this, [this, e, xCount, yCount] {
        const TNewFlowGridPlan plan = PlanNewFlowGrid(model_, xCount, yCount, e);
        // The questions come after every model access of this action: a time step may run
        // while they wait for an answer.
        ShowMessages(plan.Errors);
        const QString caption = QStringLiteral("Attention"), question = QStringLiteral("More flow cells than grid cells! Proceed ?");
        const bool proceedX = !plan.AskX || AskYesNo(this, caption, question);
        const bool proceedY = !plan.AskY || AskYesNo(this, caption, question);
        runner_.BetweenSteps(this, [this, plan, proceedX, proceedY] {
            QString failure;
            try {
                CreatePlannedFlowGrid(model_, plan, proceedX, proceedY);
            } catch (const Error& error) {
                failure = QString::fromStdString(error.what());
            }
            ShowFlowGrid();
            ShowSelectedCell();
            if (!failure.isEmpty()) ShowError(this, failure);
        });
    });
}

void TEditFlowGridForm::ArrowSizeEdited()
{
    int size = 0;
    if (ReadArrowSize(ArrowSizeEdit_->text().toStdString(), size)) Chart1_->SetArrowSize(size);
}

void TEditFlowGridForm::FileOperation(QFileDialog* dialog, void (*operation)(Model&, const std::string&), bool replacesGrid)
{
    const QString path = ChooseFile(dialog);
    if (path.isEmpty()) return;
    runner_.BetweenSteps(this, [this, operation, replacesGrid, path = path.toStdString()] {
        QString failure;
        try {
            operation(model_, path);
        } catch (const Error& error) {
            failure = QString::fromStdString(error.what());
        }
        if (replacesGrid) {
            selX_ = selY_ = 0;
            ShowFlowGrid();
            ShowSelectedCell();
        }
        if (!failure.isEmpty()) ShowError(this, failure);
    });
}

void TEditFlowGridForm::ShowMessages(const std::vector<std::string>& messages)
{
    for (const std::string& message : messages) ShowMessage(this, QStringLiteral("MAROVI"), Text(message));
}

} // namespace marovi::app
