#include "main_form.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include "abundance_chart.h"
#include "app_texts.h"
#include "chart_view.h"
#include "messages.h"
#include "model/model.h"
#include "model/simulation.h"
#include "model/status_line.h"
#include "status_list_model.h"
#include "step_runner.h"
#include "widgets/named.h"

namespace marovi::app {

namespace {

} // namespace

TMainForm::TMainForm(TStepRunner& runner, TStartFillSetting& startFill, TClock clock, QWidget* parent)
    : QWidget(parent), runner_(runner), model_(runner.model()), startFill_(startFill), clock_(clock), statusList_(std::move(clock))
{
    setObjectName(QStringLiteral("MainForm"));
    InitStartupModel(model_, ClockSeed());
    BuildControls();
    setWindowTitle(StartCaption());
    runTimer_.setInterval(0);
    connect(&runTimer_, &QTimer::timeout, this, &TMainForm::RunTick);
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildControls()
{
    InitButton1_ = NamedButton("InitButton1", "new", "create new simulation / reset current simulation to timestep 0");
    StartButton1_ = NamedButton("StartButton1", "run");
    EndButton2_ = NamedButton("EndButton2", "stop");
    EndButton2_->setEnabled(false);
    SingleStepButton_ = NamedButton("SingleStepButton", "+1");
    saveButton_ = NamedButton("saveButton", "save simulation", "save current simulation to file");
    LoadButton_ = NamedButton("LoadButton", "load simulation", "load simulation from file");
    auto* saveData = NamedButton("SaveDataButton", "save data", "save status list to text file");
    auto* saveIndividuals = NamedButton("SaveIndividualsButton", "save individuals", "export all individals as textfile");
    auto* extractSpecies = NamedButton("ExtractSpeciesButton", "extract species", "export species list as textfile");
    auto* extinction = NamedButton("ExtinctionButton", "extinction time");
    CloseButton_ = NamedButton("CloseButton", "&Exit");

    const struct {
        const char* Name;
        const char* Caption;
        TToolWindow Window;
    } tools[] = {
        {"ShowSimulationButton", "show simulation", TToolWindow::ShowSimulation},
        {"SpeciesPoolButton", "species pool", TToolWindow::SpeciesPool},
        {"DisturbanceButton", "disturbances", TToolWindow::Disturbances},
        {"LandscapeEditorButton", "landscape editor", TToolWindow::LandscapeEditor},
        {"AdditionalButton", "additional", TToolWindow::Additional},
        {"ClusterButton", "cluster diversity", TToolWindow::ClusterDiversity},
        {"SuccessionButton", "succsession", TToolWindow::Succession},
        {"RankPlotButton", "rank plot", TToolWindow::RankPlot},
        {"AgeDistributionButton", "age distribution", TToolWindow::AgeDistribution},
        {"AboutButton", "about", TToolWindow::About},
    };

    auto* run = new QGroupBox(QStringLiteral("simulation"));
    auto* runLayout = new QGridLayout(run);
    runLayout->addWidget(InitButton1_, 0, 0);
    runLayout->addWidget(SingleStepButton_, 0, 1);
    runLayout->addWidget(StartButton1_, 1, 0);
    runLayout->addWidget(EndButton2_, 1, 1);
    auto* files = new QGroupBox(QStringLiteral("files"));
    auto* filesLayout = new QVBoxLayout(files);
    for (QPushButton* b : {saveButton_, LoadButton_, saveData, saveIndividuals, extractSpecies}) filesLayout->addWidget(b);
    auto* windows = new QGroupBox(QStringLiteral("windows"));
    auto* windowsLayout = new QVBoxLayout(windows);
    for (const auto& t : tools) {
        QPushButton* b = NamedButton(t.Name, t.Caption);
        windowsLayout->addWidget(b);
        const TToolWindow which = t.Window;
        connect(b, &QPushButton::clicked, this, [this, which] { OpenToolWindow(which); });
    }
    windowsLayout->addWidget(extinction);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(run);
    buttons->addWidget(files);
    buttons->addWidget(windows);
    buttons->addStretch();
    buttons->addWidget(CloseButton_);

    chart_ = new TAbundanceChart;
    chartView_ = Named(new TChartView(chart_), "Chart1");
    chartView_->setToolTip(QStringLiteral("species abundance over time"));
    chartView_->setMinimumSize(560, 300);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    Label11_ = Named(new QLabel, "Label11");
    Label11_->setFont(fixed);
    Label11_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    listModel_ = new TStatusListModel(statusList_, this);
    ListBox1_ = Named(new QListView, "ListBox1");
    ListBox1_->setToolTip(QStringLiteral("simulation status information"));
    ListBox1_->setFont(fixed);
    ListBox1_->setUniformItemSizes(true);
    ListBox1_->setModel(listModel_);
    ListBox1_->setMinimumHeight(150);
    // The header label scrolls sideways with the list, so columns stay above their values.
    headerArea_ = Named(new QScrollArea, "HeaderArea");
    headerArea_->setFrameShape(QFrame::NoFrame);
    headerArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headerArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    headerArea_->setContentsMargins(0, 0, 0, 0);
    Label11_->setContentsMargins(ListBox1_->frameWidth() + 3, 0, 0, 0);
    headerArea_->setWidget(Label11_);
    headerArea_->setFixedHeight(QFontMetrics(fixed).height() + 4);
    // Whatever changes first, the list's lines or the header text, the header follows the
    // list's offset; it is at least as wide as the lines, so that it can follow to the end.
    const auto align = [this] {
        QScrollBar* lines = ListBox1_->horizontalScrollBar();
        Label11_->setMinimumWidth(lines->maximum() + ListBox1_->viewport()->width());
        headerArea_->horizontalScrollBar()->setValue(lines->value());
    };
    connect(ListBox1_->horizontalScrollBar(), &QScrollBar::valueChanged, this, align);
    connect(ListBox1_->horizontalScrollBar(), &QScrollBar::rangeChanged, this, align);
    connect(headerArea_->horizontalScrollBar(), &QScrollBar::rangeChanged, this, align);

    StaticText1_ = Named(new QLabel(QStringLiteral("loading data, please wait.....")), "StaticText1");
    StaticText2_ = Named(new QLabel(QStringLiteral("loading data, please wait.....")), "StaticText2");
    for (QLabel* notice : {StaticText1_, StaticText2_}) {
        notice->setVisible(false);
        notice->setStyleSheet(QStringLiteral("color: #a00000; font-weight: bold"));
    }

    TrackBar1_ = Named(new QSlider(Qt::Horizontal), "TrackBar1");
    TrackBar1_->setRange(1, 100);
    TrackBar1_->setValue(10);
    TrackBar1_->setToolTip(QStringLiteral("update statistics and data every n-th timestep"));
    TrackBar1_->setMinimumWidth(120);
    Label6_ = Named(new QLabel(QStringLiteral("10")), "Label6");
    Label6_->setMinimumWidth(30);
    connect(TrackBar1_, &QSlider::valueChanged, this, [this](int v) { Label6_->setText(QString::number(v)); });
    Label5_ = Named(new QLabel, "Label5");
    Label5_->setMinimumWidth(200);
    TimeLabel_ = Named(new QLabel(QStringLiteral("0")), "TimeLabel");
    TimeLabel_->setMinimumWidth(60);
    auto* Label3 = Named(new QLabel(QStringLiteral("free memory: ")), "Label3");
    Label4_ = Named(new QLabel, "Label4");

    // Two rows, so that the window fits a screen 1024 pixels wide.
    auto* statusBar = new QHBoxLayout;
    statusBar->addWidget(new QLabel(QStringLiteral("update every")));
    statusBar->addWidget(TrackBar1_);
    statusBar->addWidget(Label6_);
    statusBar->addSpacing(12);
    statusBar->addWidget(new QLabel(QStringLiteral("time step")));
    statusBar->addWidget(TimeLabel_);
    statusBar->addWidget(Label5_);
    statusBar->addStretch();
    auto* memoryBar = new QHBoxLayout;
    memoryBar->addStretch();
    memoryBar->addWidget(Label3);
    memoryBar->addWidget(Label4_);

    auto* right = new QVBoxLayout;
    right->addWidget(StaticText1_);
    right->addWidget(chartView_, 3);
    right->addWidget(StaticText2_);
    right->addWidget(headerArea_);
    right->addWidget(ListBox1_, 2);
    right->addLayout(statusBar);
    right->addLayout(memoryBar);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(right, 1);
    resize(QSize(1100, 760).boundedTo(screen()->availableGeometry().size()));

    SaveDialog1_ = MakeFileDialog(this, "SaveDialog1", true, QStringLiteral("Marovi grid file (*.mgf)"), QStringLiteral("mgf"));
    OpenDialog1_ = MakeFileDialog(this, "OpenDialog1", false, QStringLiteral("Marovi grid file (*.mgf)"), QStringLiteral("mgf"));
    SaveDialog2_ = MakeFileDialog(this, "SaveDialog2", true, QStringLiteral("text file (*.txt)"), QStringLiteral("txt"));
    IndividualListSaveDialog_ =
        MakeFileDialog(this, "IndividualListSaveDialog", true, QStringLiteral("Textfile (*.txt)"), QStringLiteral("txt"));

    connect(InitButton1_, &QPushButton::clicked, this, &TMainForm::NewSimulation);
    connect(StartButton1_, &QPushButton::clicked, this, &TMainForm::Run);
    connect(EndButton2_, &QPushButton::clicked, this, &TMainForm::Stop);
    connect(SingleStepButton_, &QPushButton::clicked, this, &TMainForm::SingleStep);
    connect(CloseButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(saveButton_, &QPushButton::clicked, this, &TMainForm::SaveSimulation);
    connect(LoadButton_, &QPushButton::clicked, this, &TMainForm::LoadSimulation);
    connect(saveData, &QPushButton::clicked, this, &TMainForm::SaveData);
    connect(saveIndividuals, &QPushButton::clicked, this, &TMainForm::SaveIndividuals);
    connect(extractSpecies, &QPushButton::clicked, this, &TMainForm::ExtractSpecies);
    connect(extinction, &QPushButton::clicked, this, &TMainForm::ShowExtinctionTimes);
}

void TMainForm::ShowStatusHeader()
{
    Label11_->setText(headerStart_ + QString::fromStdString(StatusHeader(model_)));
    Label11_->adjustSize();
}

void TMainForm::SetToolWindow(TToolWindow which, QWidget* window)
{
    toolWindows_[which] = window;
}

void TMainForm::OpenToolWindow(TToolWindow which)
{
    // The analysis windows need a simulation to look at.
    const bool needsSimulation = which < TToolWindow::SpeciesPool;
    if (needsSimulation && !initialised_) return;
    const auto found = toolWindows_.find(which);
    if (found == toolWindows_.end() || !found->second) return; // that window is not part of the program yet
    found->second->show();
    found->second->raise();
    found->second->activateWindow();
}

void TMainForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) setWindowTitle(ActiveCaption(model_.FileName));
    QWidget::changeEvent(event);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (loopActive_) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}

void TMainForm::ClearForNewLandscape()
{
    const auto view = toolWindows_.find(TToolWindow::ShowSimulation);
    if (view != toolWindows_.end() && view->second) view->second->hide();
    chart_->ClearPoints();
    statusList_.Reset();
    StatusListChanged(0);
}

void TMainForm::ShowExtinctionTimes()
{
    runner_.BetweenSteps(this, [this] {
        ShowMessage(this, QStringLiteral("MAROVI"), QString::fromStdString(ExtinctionTimesText(model_)), true);
    });
}

} // namespace marovi::app
