// The landscape view's window: its controls, the settings they hold, navigation, the
// buttons to the companion windows, and the clicks on the map.
#include "landscape_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSlider>
#include <QVBoxLayout>

#include "disturbance/disturbance.h"
#include "god_mode_form.h"
#include "main_form.h"
#include "messages.h"
#include "model/species_moves.h"
#include "model/model.h"
#include "model/numeric.h"
#include "roi_form.h"
#include "step_runner.h"
#include "widgets/named.h"
#include "util/format.h"
#include "view/cell_info.h"
#include "view/view_texts.h"
#include "widgets/map_chart.h"
#include "widgets/species_names.h"

namespace marovi::app {

namespace {

QCheckBox* Check(const char* name, const char* caption, bool checked = false)
{
    auto* box = Named(new QCheckBox(QString::fromLatin1(caption)), name);
    box->setChecked(checked);
    return box;
}

QSlider* Slider(const char* name, int min, int max)
{
    auto* slider = Named(new QSlider(Qt::Horizontal), name);
    slider->setRange(min, max);
    return slider;
}

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

} // namespace

TVisulaize::TVisulaize(TStepRunner& runner, QWidget* parent)
    : QWidget(parent, Qt::Window), runner_(runner), modes_(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("Visulaize"));
    setWindowTitle(QStringLiteral("VerUdira"));
    BuildControls();
    ConnectControls();
    setMinimumSize(500, 640);
    resize(900, 740);
    saveDialog_ = MakeFileDialog(this, "SaveDialog1", true, QStringLiteral("scalable vector graphics (*.svg)"),
                                 QStringLiteral("svg"));
    // The start-up grid: every species in the list, all of it in view.
    RebuildSeries();
    runner_.BetweenSteps(this, [this] {
        const Model& m = runner_.model();
        SetViewWindow(true, m.YMax, m.XMax, 0, 0);
    });
}

TVisulaize::~TVisulaize() = default;

void TVisulaize::BuildControls()
{
    chartArea_ = Named(new QWidget, "ChartArea");
    chartArea_->setMinimumSize(200, 200);
    chart_ = Named(new TMapChart(chartArea_), "Chart1");
    chart_->setToolTip(QStringLiteral("middle click or Shift + left click on a cell: cell information, or in God mode "
                                      "the cell editor, or an end of the transect being picked\n"
                                      "click on an individual: its information"));
    chart_->AfterDraw = [this](QPainter& p) { DrawOverlays(p); };
    chartArea_->installEventFilter(this);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(chartArea_, 0, 0);
    layout->addWidget(BuildButtonColumn(), 0, 1, Qt::AlignTop);
    layout->addWidget(BuildSettingsPanel(), 1, 0, 1, 2);
    layout->setRowStretch(0, 1);
    layout->setColumnStretch(0, 1);
}

// A narrow window stacks the settings in two rows and puts the buttons in two columns, so
// that every control keeps its whole caption down to the window's minimum size.
void TVisulaize::ArrangeForWidth()
{
    const int wide = settingsRows_[0]->minimumSizeHint().width() + settingsRows_[1]->minimumSizeHint().width() +
                     settings_->spacing() + layout()->contentsMargins().left() + layout()->contentsMargins().right();
    const bool narrow = width() < wide;
    settings_->setDirection(narrow ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    buttons_->setDirection(narrow ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

QWidget* TVisulaize::BuildButtonColumn()
{
    auto* navigation = new QWidget;
    auto* layout = new QVBoxLayout(navigation);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* zoomIn = NamedButton("ZoomInButton", QStringLiteral("Zoom +"));
    auto* zoomOut = NamedButton("ZoomOutButton", QStringLiteral("Zoom -"));
    layout->addWidget(zoomIn);
    layout->addWidget(zoomOut);

    // The cross of arrows, with a button in its middle that redraws. Each arrow points to
    // the cells it brings into view: the left button of the cross shows the cells to the
    // right, its top button the cells above.
    auto* cross = new QGridLayout;
    cross->setSpacing(2);
    const struct {
        const char* Name;
        const char* Glyph;
        const char* Hint;
        int Row, Column, Navigation;
    } arrows[] = {
        {"BitBtn5", "\u25B2", "show the cells above", 0, 1, static_cast<int>(TNavigation::Up)},
        {"BitBtn1", "\u25B6", "show the cells to the right", 1, 0, static_cast<int>(TNavigation::Left)},
        {"BitBtn2", "\u25CF", "redraw", 1, 1, -1},
        {"BitBtn3", "\u25C0", "show the cells to the left", 1, 2, static_cast<int>(TNavigation::Right)},
        {"BitBtn4", "\u25BC", "show the cells below", 2, 1, static_cast<int>(TNavigation::Down)},
    };
    for (const auto& a : arrows) {
        auto* b = NamedButton(a.Name, QString::fromUtf8(a.Glyph), a.Hint);
        b->setFixedSize(34, 28);
        cross->addWidget(b, a.Row, a.Column);
        const int navigation = a.Navigation;
        connect(b, &QPushButton::clicked, this, [this, navigation] {
            if (navigation < 0)
                AxesChanged();
            else
                Navigate(navigation);
        });
    }
    layout->addLayout(cross);
    auto* viewAll = NamedButton("viewallButton", QStringLiteral("view all"));
    auto* fit = NamedButton("TestButton", QStringLiteral("fit chart"));
    auto* stretch = NamedButton("resestScaleButton", QStringLiteral("stretch"));
    for (QPushButton* b : {viewAll, fit, stretch}) layout->addWidget(b);
    layout->addStretch();

    auto* actions = new QWidget;
    auto* actionLayout = new QVBoxLayout(actions);
    actionLayout->setContentsMargins(0, 0, 0, 0);
    GoodModeButton_ = NamedButton("GoodModeButton", QStringLiteral("God mode"),
                                  "while on, a middle click or Shift + left click on a cell edits it");
    GoodModeButton_->setCheckable(true);
    auto* god = GoodModeButton_;
    auto* roi = NamedButton("ROIButton", QStringLiteral("define ROI"));
    auto* rov = NamedButton("ROVButton", QStringLiteral("virtual ROV"));
    auto* extra = NamedButton("ExtraDistButton", QStringLiteral("extra disturbance"));
    PauseButton_ = NamedButton("PauseButton", QStringLiteral("pause"));
    for (QPushButton* b : {god, roi, rov, extra, PauseButton_}) actionLayout->addWidget(b);
    actionLayout->addStretch();

    auto* column = new QWidget;
    buttons_ = new QBoxLayout(QBoxLayout::TopToBottom, column);
    buttons_->setContentsMargins(0, 0, 0, 0);
    buttons_->setSpacing(16);
    buttons_->addWidget(navigation);
    buttons_->addWidget(actions);

    connect(zoomIn, &QPushButton::clicked, this, [this] { Navigate(static_cast<int>(TNavigation::ZoomIn)); });
    connect(zoomOut, &QPushButton::clicked, this, [this] { Navigate(static_cast<int>(TNavigation::ZoomOut)); });
    connect(viewAll, &QPushButton::clicked, this, &TVisulaize::ViewAll);
    connect(fit, &QPushButton::clicked, this, &TVisulaize::FitChart);
    connect(stretch, &QPushButton::clicked, this, &TVisulaize::ResetChartSize);
    connect(god, &QPushButton::clicked, this, &TVisulaize::ToggleGodMode);
    connect(roi, &QPushButton::clicked, this, &TVisulaize::DefineRoi);
    connect(rov, &QPushButton::clicked, this, &TVisulaize::ShowRovWindow);
    connect(extra, &QPushButton::clicked, this, &TVisulaize::RequestExtraDisturbance);
    connect(PauseButton_, &QPushButton::clicked, this, [this] {
        if (mainForm_) mainForm_->TogglePause();
    });
    return column;
}

QWidget* TVisulaize::BuildSettingsPanel()
{
    // Display modes, two columns; the species of "abundance" beside it.
    auto* modeBox = new QGroupBox;
    auto* modeLayout = new QGridLayout(modeBox);
    const struct {
        const char* Name;
        const char* Caption;
        TDisplayMode Mode;
    } modes[] = {
        {"noneRadioButton", "none", TDisplayMode::None},
        {"SingleSpeciesRadioButton", "abundance", TDisplayMode::Abundance},
        {"dominanzRadioButton", "dominance", TDisplayMode::Dominance},
        {"stateRadioButton", "states", TDisplayMode::States},
        {"GuildeRadioButton", "guilde", TDisplayMode::Guild},
        {"DiversityRadioButton", "eveness", TDisplayMode::Evenness},
        {"turnoverCheckBox", "turnover", TDisplayMode::Turnover},
        {"disturbanceRadioButton", "disturbance", TDisplayMode::Disturbance},
        {"CapacityRadioButton", "capacity", TDisplayMode::Capacity},
    };
    int row = 0;
    for (const auto& m : modes) {
        auto* radio = Named(new QRadioButton(QString::fromLatin1(m.Caption)), m.Name);
        modes_->addButton(radio, static_cast<int>(m.Mode));
        const bool second = row >= 5;
        modeLayout->addWidget(radio, second ? row - 5 + 2 : row, second ? 1 : 0);
        ++row;
    }
    modes_->button(static_cast<int>(TDisplayMode::Dominance))->setChecked(true);
    ComboBox1_ = Named(new QComboBox, "ComboBox1");
    ComboBox1_->setMinimumContentsLength(10);
    ComboBox1_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    modeLayout->addWidget(ComboBox1_, 1, 1);

    auto* ofBox = new QGroupBox(QStringLiteral("domi./abund. of"));
    auto* ofLayout = new QVBoxLayout(ofBox);
    AdultRadioButton_ = Named(new QRadioButton(QStringLiteral("adults")), "AdultRadioButton");
    LarvaeRadioButton_ = Named(new QRadioButton(QStringLiteral("larvae (@t-1)")), "LarvaeRadioButton");
    AdultRadioButton_->setChecked(true);
    ofLayout->addWidget(AdultRadioButton_);
    ofLayout->addWidget(LarvaeRadioButton_);
    ShowSpeciesCheckBox_ = Check("ShowSpeciesCheckBox", "individuals");
    ROVCheckBox_ = Check("ROVCheckBox", "ROV course");
    ShowFlowCheckBox_ = Check("ShowFlowCheckBox", "flowdirection");
    auto* overlays = new QVBoxLayout;
    overlays->addWidget(ofBox);
    for (QCheckBox* c : {ShowSpeciesCheckBox_, ROVCheckBox_, ShowFlowCheckBox_}) overlays->addWidget(c);
    overlays->addStretch();

    auto* displayBox = new QGroupBox(QStringLiteral("display"));
    auto* displayLayout = new QGridLayout(displayBox);
    TrackBar1_ = Slider("TrackBar1", 0, 100);
    TrackBar1_->setToolTip(QStringLiteral("delay before each redraw"));
    displayLayout->addWidget(new QLabel(QStringLiteral("fast")), 0, 0);
    displayLayout->addWidget(TrackBar1_, 0, 1);
    displayLayout->addWidget(new QLabel(QStringLiteral("slow")), 0, 2);
    Label5_ = Named(new QLabel(QStringLiteral("miniaml size")), "Label5");
    minSizeLabel_ = Named(new QLabel, "minSizeLabel");
    minSizeLabel_->setMinimumWidth(40);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(Label5_);
    sizeRow->addWidget(minSizeLabel_);
    sizeRow->addStretch();
    displayLayout->addLayout(sizeRow, 1, 0, 1, 3);
    minSizeTrackBar_ = Slider("minSizeTrackBar", 0, 20);
    DistAgeBar_ = Slider("DistAgeBar", 0, 2000);
    DistAgeBar_->setTickInterval(250);
    DistAgeBar_->setTickPosition(QSlider::TicksBelow);
    DistAgeBar_->setVisible(false);
    displayLayout->addWidget(minSizeTrackBar_, 2, 0, 1, 3);
    displayLayout->addWidget(DistAgeBar_, 3, 0, 1, 3);
    displayLayout->setRowStretch(4, 1);

    BackgroundCheckBox_ = Check("BackgroundCheckBox", "gray background", true);
    BorderCheckBox_ = Check("BorderCheckBox", "draw cell borders", true);
    BorderCheckBox_->setToolTip(QStringLiteral("outlines of the cells, drawn where a cell is 2 pixels or larger"));
    GridCheckBox_ = Check("GridCheckBox", "draw gird", true);
    auto* looks = new QVBoxLayout;
    for (QCheckBox* c : {BackgroundCheckBox_, BorderCheckBox_, GridCheckBox_}) looks->addWidget(c);
    looks->addStretch();

    // Saving frames: once by the buttons, or after every redraw by the check boxes.
    // Vector frames are scalable vector graphics.
    auto* snapBox = new QGroupBox(QStringLiteral("auto snapshoots"));
    auto* snapLayout = new QGridLayout(snapBox);
    BMPCheckBox_ = Check("BMPCheckBox", "BMP");
    WMFCheckBox_ = Check("WMFCheckBox", "WMF");
    autoPOVSave_ = Check("autoPOVSave", "POV");
    auto* bmpOut = NamedButton("BMPOutButton", QStringLiteral("BMP"));
    auto* metaOut = NamedButton("MetaButton", QStringLiteral("WMF"));
    auto* povOut = NamedButton("POV_OUTButton", QStringLiteral("POV"));
    WMFCheckBox_->setToolTip(QStringLiteral("save every frame as scalable vector graphics (.svg)"));
    metaOut->setToolTip(QStringLiteral("save this frame as scalable vector graphics (.svg)"));
    int column = 0;
    for (QCheckBox* c : {BMPCheckBox_, WMFCheckBox_, autoPOVSave_}) snapLayout->addWidget(c, 0, column++);
    column = 0;
    for (QPushButton* b : {bmpOut, metaOut, povOut}) {
        b->setMinimumWidth(48);
        snapLayout->addWidget(b, 1, column++);
    }
    PovFileEdit_ = Named(new QLineEdit(FromStd(fileBase_)), "PovFileEdit");
    PovDirEdit_ = Named(new QLineEdit(FromStd(saveDir_)), "PovDirEdit");
    PovFileEdit_->setToolTip(QStringLiteral("file name of saved frames"));
    PovDirEdit_->setToolTip(QStringLiteral("directory of saved frames, ending with a separator"));
    snapLayout->addWidget(new QLabel(QStringLiteral("file")), 2, 0);
    snapLayout->addWidget(PovFileEdit_, 2, 1, 1, 2);
    snapLayout->addWidget(new QLabel(QStringLiteral("dir")), 3, 0);
    snapLayout->addWidget(PovDirEdit_, 3, 1, 1, 2);

    connect(bmpOut, &QPushButton::clicked, this, [this] {
        runner_.BetweenSteps(this, [this] {
            const Model& m = runner_.model();
            SaveFrame(SnapshotName(saveDir_, fileBase_, m.TimeStep, ".BMP"), false);
        });
    });
    connect(metaOut, &QPushButton::clicked, this, [this] {
        runner_.BetweenSteps(this, [this] {
            const Model& m = runner_.model();
            SaveFrame(SnapshotName(saveDir_, fileBase_, m.TimeStep, ".svg"), true);
        });
    });
    connect(povOut, &QPushButton::clicked, this, [this] { runner_.BetweenSteps(this, [this] { SaveScene(); }); });

    // Two rows that stand side by side in a wide window.
    settingsRows_[0] = new QWidget;
    auto* first = new QHBoxLayout(settingsRows_[0]);
    first->setContentsMargins(0, 0, 0, 0);
    first->addWidget(modeBox);
    first->addLayout(overlays);
    settingsRows_[1] = new QWidget;
    auto* second = new QHBoxLayout(settingsRows_[1]);
    second->setContentsMargins(0, 0, 0, 0);
    second->addWidget(displayBox, 1);
    second->addLayout(looks);
    second->addWidget(snapBox);
    auto* panel = new QWidget;
    settings_ = new QBoxLayout(QBoxLayout::LeftToRight, panel);
    settings_->setContentsMargins(0, 0, 0, 0);
    settings_->addWidget(settingsRows_[0]);
    settings_->addWidget(settingsRows_[1], 1);
    return panel;
}

void TVisulaize::ConnectControls()
{
    connect(modes_, &QButtonGroup::idClicked, this, [this] { ModeChosen(); });
    connect(ComboBox1_, &QComboBox::currentIndexChanged, this, [this] {
        modes_->button(static_cast<int>(TDisplayMode::Abundance))->setChecked(true);
        ModeChosen();
    });
    for (QRadioButton* r : {AdultRadioButton_, LarvaeRadioButton_})
        connect(r, &QRadioButton::clicked, this, &TVisulaize::RefreshView);
    connect(ShowSpeciesCheckBox_, &QCheckBox::clicked, this, &TVisulaize::RefreshView);
    // The overlays need no new frame.
    for (QCheckBox* c : {ROVCheckBox_, ShowFlowCheckBox_})
        connect(c, &QCheckBox::clicked, chart_, qOverload<>(&QWidget::update));
    connect(minSizeTrackBar_, &QSlider::valueChanged, this, &TVisulaize::MinSizeChanged);
    connect(DistAgeBar_, &QSlider::valueChanged, this, &TVisulaize::DisturbanceAgeChanged);
    connect(BackgroundCheckBox_, &QCheckBox::clicked, this, &TVisulaize::GrayBackgroundClicked);
    connect(BorderCheckBox_, &QCheckBox::clicked, this, &TVisulaize::BorderClicked);
    connect(GridCheckBox_, &QCheckBox::clicked, this, &TVisulaize::GridClicked);
    connect(PovFileEdit_, &QLineEdit::textChanged, this, [this](const QString& t) { fileBase_ = t.toStdString(); });
    connect(PovDirEdit_, &QLineEdit::textChanged, this, [this](const QString& t) { saveDir_ = t.toStdString(); });
    connect(chart_, &TMapChart::AxesChangedByUser, this, &TVisulaize::AxesChanged);
    connect(chart_, &TMapChart::BackgroundClicked, this, &TVisulaize::BackgroundClicked);
    connect(chart_, &TMapChart::DiscClicked, this, [this](Qt::MouseButton, int disc) { DiscClicked(disc); });
    connect(chart_, &TMapChart::DoubleClicked, this, &TVisulaize::ChartDoubleClicked);
}

// ---- wiring ----

void TVisulaize::SetMainForm(TMainForm* form)
{
    mainForm_ = form;
    connect(form, &TMainForm::ChartsUpdated, this, [this] {
        if (isVisible()) RefreshView();
    });
    connect(form, &TMainForm::SimulationReset, this, [this] {
        CancelRovPick();
        RebuildSeries();
        runner_.BetweenSteps(this, [this] {
            const Model& m = runner_.model();
            SetViewWindow(true, m.YMax, m.XMax, 0, 0);
        });
        ResetChartSize();
    });
    connect(form, &TMainForm::PauseChanged, this,
            [this](bool paused) { PauseButton_->setText(paused ? QStringLiteral("resume") : QStringLiteral("pause")); });
    connect(form, &TMainForm::Closed, this, &QWidget::close);
}

void TVisulaize::SetRoiForm(TROIForm* form)
{
    roiForm_ = form;
    connect(form, &TROIForm::RoiChanged, chart_, qOverload<>(&QWidget::update));
}

void TVisulaize::SetRovWindow(QWidget* window)
{
    rovWindow_ = window;
}

void TVisulaize::ShowRovWindow()
{
    if (!rovWindow_) return;
    rovWindow_->show();
    rovWindow_->raise();
    rovWindow_->activateWindow();
}

// ---- window events ----

void TVisulaize::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    BackgroundCheckBox_->setChecked(grayBackground_);
    BorderCheckBox_->setChecked(drawCellBorders_);
    GridCheckBox_->setChecked(drawGrid_);
    chart_->SetGridLines(drawGrid_);
    if (!fitted_) ResetChartSize();
    // The map may have been hidden for many steps.
    runner_.BetweenSteps(this, [this] { Render(false); });
}

void TVisulaize::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous()) return; // minimised: the view is still there
    CancelRovPick();
    emit Hidden();
}

void TVisulaize::resizeEvent(QResizeEvent* event)
{
    ArrangeForWidth();
    QWidget::resizeEvent(event);
}

void TVisulaize::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        runner_.BetweenSteps(this, [this] {
            const double minSize = runner_.model().MinSize;
            // Only shown: moving the slider here must not round the threshold.
            const QSignalBlocker block(minSizeTrackBar_);
            minSizeTrackBar_->setValue(RoundToInt(minSizeTrackBar_->maximum() * minSize));
            minSizeLabel_->setText(FromStd(ShortestText(minSize)));
        });
    QWidget::changeEvent(event);
}

bool TVisulaize::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == chartArea_ && event->type() == QEvent::Resize) {
        if (fitted_)
            FitChart();
        else
            ResetChartSize();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- operations of the run control ----

void TVisulaize::RebuildSeries()
{
    runner_.BetweenSteps(this, [this] {
        const Model& m = runner_.model();
        godMode_ = false;
        GoodModeButton_->setChecked(false);
        grayBackground_ = BackgroundCheckBox_->isChecked();
        drawCellBorders_ = BorderCheckBox_->isChecked();
        drawGrid_ = GridCheckBox_->isChecked();
        chart_->SetCellBorders(drawCellBorders_);
        chart_->SetGridLines(drawGrid_);
        const QSignalBlocker block(ComboBox1_);
        ComboBox1_->clear();
        ComboBox1_->addItems(SpeciesNames(m));
        ComboBox1_->setCurrentIndex(0);
    });
}

void TVisulaize::FollowSpeciesMoves(const TSpeciesMoves& moves)
{
    const Model& m = runner_.model();
    const int chosen = ComboBox1_->currentIndex();
    const int now = MovedTo(moves, chosen);
    {
        const QSignalBlocker block(ComboBox1_);
        ComboBox1_->clear();
        ComboBox1_->addItems(SpeciesNames(m));
        ComboBox1_->setCurrentIndex(std::max(now, 0));
    }
    if (isVisible()) RefreshView();
}

void TVisulaize::SetViewWindow(bool updateAxes, double leftMax, double bottomMax, double leftMin, double bottomMin)
{
    runner_.BetweenSteps(this, [=, this] {
        rect_ = ViewRectFromAxes(runner_.model(), leftMax, bottomMax, leftMin, bottomMin);
        if (updateAxes) {
            chart_->SetAxes(BottomAxisOf(rect_), LeftAxisOf(rect_));
            chart_->SetHomeAxes(BottomAxisOf(rect_), LeftAxisOf(rect_));
        }
        RefreshView();
    });
}

void TVisulaize::ResetChartSize()
{
    fitted_ = false;
    chart_->setGeometry(chartArea_->rect());
    chart_->update();
}

// ---- navigation ----

void TVisulaize::AxesChanged()
{
    const TAxisRange bottom = chart_->BottomAxis(), left = chart_->LeftAxis();
    SetViewWindow(false, left.Max, bottom.Max, left.Min, bottom.Min);
}

void TVisulaize::Navigate(int navigation)
{
    TAxisRange bottom = chart_->BottomAxis(), left = chart_->LeftAxis();
    marovi::Navigate(static_cast<TNavigation>(navigation), bottom, left);
    chart_->SetAxes(bottom, left);
    AxesChanged();
}

void TVisulaize::ViewAll()
{
    runner_.BetweenSteps(this, [this] {
        const Model& m = runner_.model();
        SetViewWindow(true, m.YDim, m.XDim, 0, 0);
    });
}

void TVisulaize::FitChart()
{
    ResetChartSize();
    const TChartGeometry g = FitChartGeometry(chart_->BottomAxis(), chart_->LeftAxis(), chart_->width(),
                                              chart_->height(), chartArea_->width(), chartArea_->height());
    chart_->setGeometry(g.Left, g.Top, g.Width, g.Height);
    fitted_ = true;
}

// ---- settings ----

void TVisulaize::ModeChosen()
{
    if (modes_->checkedId() == static_cast<int>(TDisplayMode::Disturbance)) {
        minSizeTrackBar_->setEnabled(false);
        minSizeTrackBar_->setVisible(false);
        DistAgeBar_->setVisible(true);
        DistAgeBar_->setEnabled(true);
        {
            const QSignalBlocker block(DistAgeBar_);
            DistAgeBar_->setValue(maxDisturbanceAge_);
        }
        minSizeLabel_->setText(QString::number(maxDisturbanceAge_));
        Label5_->setText(QStringLiteral("max age"));
    }
    RefreshView();
}

void TVisulaize::DisturbanceAgeChanged(int age)
{
    maxDisturbanceAge_ = age;
    minSizeLabel_->setText(QString::number(age));
    RefreshView();
}

void TVisulaize::MinSizeChanged(int position)
{
    const double minSize = position / 20.0;
    minSizeLabel_->setText(FromStd(Format("%3.2f", {minSize})));
    runner_.BetweenSteps(this, [this, minSize] { runner_.model().MinSize = minSize; });
}

void TVisulaize::ShowMinSizeControls()
{
    DistAgeBar_->setVisible(false);
    DistAgeBar_->setEnabled(false);
    minSizeTrackBar_->setEnabled(true);
    minSizeTrackBar_->setVisible(true);
    minSizeLabel_->setText(FromStd(Format("%3.2f", {runner_.model().MinSize})));
    Label5_->setText(QStringLiteral("miniaml size"));
}

void TVisulaize::GrayBackgroundClicked(bool checked)
{
    grayBackground_ = checked;
    BorderCheckBox_->setEnabled(checked);
    if (!checked) {
        drawCellBorders_ = false;
        chart_->SetCellBorders(false);
        ShowMessage(this, QStringLiteral("Caution"),
                    QStringLiteral("You might not be able to pan and scroll with the mouse!\rUse the buttons on the right instead!"));
    }
    BorderCheckBox_->setChecked(drawCellBorders_);
    RefreshView();
}

void TVisulaize::BorderClicked(bool checked)
{
    if (!grayBackground_) {
        BorderCheckBox_->setChecked(false);
        return;
    }
    drawCellBorders_ = checked;
    chart_->SetCellBorders(checked);
}

void TVisulaize::GridClicked(bool checked)
{
    drawGrid_ = checked;
    chart_->SetGridLines(checked);
    RefreshView();
}

// ---- buttons ----

void TVisulaize::ToggleGodMode()
{
    godMode_ = !godMode_;
    GoodModeButton_->setChecked(godMode_);
    ShowMessage(this, QStringLiteral("MAROVI"), godMode_ ? QStringLiteral("God-Mode is on") : QStringLiteral("God-Mode is off"));
}

void TVisulaize::DefineRoi()
{
    if (!roiForm_) return;
    roiForm_->DefineRoi(rect_.X0, rect_.Y0, rect_.X1, rect_.Y1);
    roiForm_->show();
    roiForm_->raise();
}

void TVisulaize::RequestExtraDisturbance()
{
    runner_.BetweenSteps(this, [this] {
        const std::string refusal = ExtraDisturbanceRefusal(runner_.model());
        if (refusal.empty()) runner_.model().ExtraDisturbanceRequested = true;
        else ShowMessage(this, QStringLiteral("MAROVI"), FromStd(refusal));
    });
}

void TVisulaize::ChartDoubleClicked(Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier) {
        chart_->CopyToClipboard(true);
        return;
    }
    if (modifiers & Qt::ShiftModifier) {
        chart_->CopyToClipboard(false);
        return;
    }
    const QString path = ChooseFile(saveDialog_);
    if (path.isEmpty()) return;
    const QString error = chart_->SaveSvg(path);
    if (!error.isEmpty()) ShowError(this, error);
}

// ---- clicks on the map ----

void TVisulaize::BackgroundClicked(Qt::MouseButton button, QPointF value)
{
    if (button != Qt::MiddleButton) return;
    const int x = TruncToInt(value.x()), y = TruncToInt(value.y());
    runner_.BetweenSteps(this, [this, x, y] {
        const Model& m = runner_.model();
        // The axes may reach beyond the grid; there is no cell to tell of.
        if (x < 0 || y < 0 || x > m.XMax || y > m.YMax) return;
        if (PickRovCell(x, y)) return;
        if (godMode_) {
            if (godModeForm_) godModeForm_->OpenCellEditor(x, y);
            AxesChanged();
            return;
        }
        ShowMessage(this, QStringLiteral("MAROVI"), FromStd(CellInfoText(m, x, y)), true);
    });
}

void TVisulaize::DiscClicked(int disc)
{
    const TMapDisc d = chart_->Frame().Discs.at(static_cast<size_t>(disc));
    runner_.BetweenSteps(this, [this, d] {
        const Model& m = runner_.model();
        if (d.X < 0 || d.Y < 0 || d.X >= m.XDim || d.Y >= m.YDim) return; // a frame of an earlier grid
        ShowMessage(this, QStringLiteral("MAROVI"), FromStd(IndividualInfoText(m, d.X, d.Y)));
    });
}

// ---- ROV transect picking ----

void TVisulaize::StartRovPick()
{
    selectingRovStart_ = true;
    selectingRovEnd_ = false;
    rovPickActive_ = true;
}

void TVisulaize::CancelRovPick()
{
    const bool wasActive = rovPickActive_;
    selectingRovStart_ = selectingRovEnd_ = rovPickActive_ = false;
    if (wasActive) emit RovPickCancelled();
}

bool TVisulaize::PickRovCell(int x, int y)
{
    if (selectingRovStart_) {
        ShowMessage(this, QStringLiteral("attention"), QStringLiteral("now select endpoint of ROV transect!"));
        rovStart_ = QPoint(x, y);
        selectingRovEnd_ = true;
        selectingRovStart_ = false;
        return true;
    }
    if (selectingRovEnd_) {
        ShowMessage(this, QStringLiteral("attention"), QStringLiteral("ROV transect complete!"));
        rovEnd_ = QPoint(x, y);
        selectingRovEnd_ = false;
        rovPickActive_ = false;
        // Between steps, so that the handlers may read the model.
        runner_.BetweenSteps(this, [this] { emit RovPicked(rovStart_, rovEnd_); });
        return true;
    }
    return false;
}

void TVisulaize::SetRovCourse(const std::vector<QPoint>& cells)
{
    rovCourse_ = cells;
    chart_->update();
}

} // namespace marovi::app
