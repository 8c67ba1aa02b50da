// The cluster analysis tab of the "Diversity" window.
#include "analysis/diversity_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "analysis/chart_texts.h"
#include "analysis/cluster_analysis.h"
#include "analysis/cluster_entries.h"
#include "analysis/cluster_histogram_chart.h"
#include "analysis/cluster_layout_view.h"
#include "analysis/sliding_box.h"
#include "analysis/states.h"
#include "chart_view.h"
#include "files/safe_file.h"
#include "messages.h"
#include "model/model.h"
#include "step_runner.h"
#include "util/error.h"
#include "util/format.h"
#include "widgets/busy_indicator.h"
#include "widgets/named.h"
#include "widgets/text_filler.h"
#include "widgets/typed_text.h"
#include "widgets/species_names.h"

namespace marovi::app {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QLineEdit* Edit(const char* name, int width = 60)
{
    auto* edit = Named(new QLineEdit, name);
    edit->setMaximumWidth(width);
    return edit;
}

QCheckBox* Check(const char* name, const char* caption, bool checked = false)
{
    auto* box = Named(new QCheckBox(QString::fromLatin1(caption)), name);
    box->setChecked(checked);
    return box;
}

QRadioButton* Radio(QButtonGroup* group, const char* name, const char* caption)
{
    auto* radio = Named(new QRadioButton(QString::fromLatin1(caption)), name);
    group->addButton(radio);
    return radio;
}

QLabel* Label(const char* name)
{
    auto* label = Named(new QLabel, name);
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return label;
}

// Everything one cluster analysis shows, made on the worker thread.
struct TClusterJob {
    std::shared_ptr<TClusterAnalysis> Analysis = std::make_shared<TClusterAnalysis>();
    std::vector<std::string> Report, Summary;
    TClusterHistogram Histogram;
    std::string AxisTitle;
    QImage Cells;
};

// The window's cells in their clusters' colours, row 0 of the window at the bottom.
QImage LayoutImage(const TClusterAnalysis& a, const std::vector<uint32_t>& colours)
{
    const tMerkmal_Matrix& labels = a.Labels;
    // Premultiplied, as painting wants it: a plain one was converted at every paint.
    QImage image(labels.W, labels.H, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int i = 0; i < labels.W; ++i)
        for (int j = 0; j < labels.H; ++j) {
            const int k = labels(i, j);
            if (k < 1) continue;
            const uint32_t c = colours[static_cast<size_t>(k - 1)];
            if (c != ClusterNoColour) image.setPixel(i, labels.H - 1 - j, 0xFF000000u | c);
        }
    return image;
}

} // namespace

TDiversityForm::TDiversityForm(TStepRunner& runner, QWidget* parent)
    : QWidget(parent, Qt::Window), runner_(runner), model_(runner.model()), colourRandom_(std::random_device{}())
{
    setObjectName(QStringLiteral("DiversityForm"));
    setWindowTitle(QStringLiteral("Diversity"));
    // The work of either tab shows its progress below both.
    auto* progress = Named(new QProgressBar, "ClusterProgressBar");
    busy_ = new TBusyIndicator(progress, this);
    auto* tabs = Named(new QTabWidget, "PageControl1");
    tabs->addTab(BuildClusterTab(), QStringLiteral("cluster analyse tools"));
    tabs->addTab(BuildSlidingBoxTab(), QStringLiteral("sliding box diversity"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(tabs);
    layout->addWidget(progress);
    resize(1180, 760);
    ShowEntries(DefaultClusterEntries(model_));
    Reset();
}

TDiversityForm::~TDiversityForm() = default;

QWidget* TDiversityForm::BuildClusterTab()
{
    // The analysis window.
    Editx1_ = Edit("Editx1");
    Edity1_ = Edit("Edity1");
    Editx2_ = Edit("Editx2");
    Edity2_ = Edit("Edity2");
    auto* window = new QGroupBox(QStringLiteral("window"));
    auto* windowLayout = new QGridLayout(window);
    windowLayout->addWidget(new QLabel(QStringLiteral("top x")), 0, 0);
    windowLayout->addWidget(Editx1_, 0, 1);
    windowLayout->addWidget(new QLabel(QStringLiteral("top y")), 0, 2);
    windowLayout->addWidget(Edity1_, 0, 3);
    windowLayout->addWidget(new QLabel(QStringLiteral("bottom x")), 1, 0);
    windowLayout->addWidget(Editx2_, 1, 1);
    windowLayout->addWidget(new QLabel(QStringLiteral("bottom y")), 1, 2);
    windowLayout->addWidget(Edity2_, 1, 3);
    windowLayout->setColumnStretch(4, 1);

    // What makes a feature cell.
    auto* modes = new QButtonGroup(this);
    SpeciesRadioButton_ = Radio(modes, "SpeciesRadioButton", "Species");
    StateRadioButton_ = Radio(modes, "StateRadioButton", "States");
    ShannonRadioButton_ = Radio(modes, "ShannonRadioButton", "cell(!) diversity measure ");
    SSumRadioButton_ = Radio(modes, "SSumRadioButton", "used of area");
    StateRadioButton_->setChecked(true);
    auto* stages = new QButtonGroup(this);
    useAdultsRadioButton_ = Radio(stages, "useAdultsRadioButton", "Adults");
    useLarvaeRadioButton_ = Radio(stages, "useLarvaeRadioButton", "Larvae");
    useAdultsRadioButton_->setChecked(true);
    ComboBox1_ = Named(new QComboBox, "ComboBox1");
    ComboBox2_ = Named(new QComboBox, "ComboBox2");
    for (QComboBox* c : {ComboBox1_, ComboBox2_}) c->setMaximumWidth(180);
    minEdit_ = Edit("minEdit");
    maxEdit_ = Edit("maxEdit");
    SHIMinEdit_ = Edit("SHIMinEdit", 110);
    SHIMaxEdit_ = Edit("SHIMaxEdit", 110);
    MinSSumEdit_ = Edit("MinSSumEdit");
    MaxSSumEdit_ = Edit("MaxSSumEdit");
    auto* feature = new QGroupBox(QStringLiteral("feature"));
    auto* featureLayout = new QGridLayout(feature);
    featureLayout->addWidget(SpeciesRadioButton_, 0, 0);
    featureLayout->addWidget(ComboBox1_, 0, 1, 1, 3);
    featureLayout->addWidget(new QLabel(QStringLiteral("min #indviduals")), 1, 0);
    featureLayout->addWidget(minEdit_, 1, 1);
    featureLayout->addWidget(new QLabel(QStringLiteral("max # individuals")), 1, 2);
    featureLayout->addWidget(maxEdit_, 1, 3);
    featureLayout->addWidget(StateRadioButton_, 2, 0);
    featureLayout->addWidget(ComboBox2_, 2, 1, 1, 3);
    featureLayout->addWidget(ShannonRadioButton_, 3, 0, 1, 4);
    featureLayout->addWidget(new QLabel(QStringLiteral("min diversity")), 4, 0);
    featureLayout->addWidget(SHIMinEdit_, 4, 1);
    featureLayout->addWidget(new QLabel(QStringLiteral("max diversity")), 4, 2);
    featureLayout->addWidget(SHIMaxEdit_, 4, 3);
    featureLayout->addWidget(SSumRadioButton_, 5, 0, 1, 4);
    featureLayout->addWidget(new QLabel(QStringLiteral("min sum of area")), 6, 0);
    featureLayout->addWidget(MinSSumEdit_, 6, 1);
    featureLayout->addWidget(new QLabel(QStringLiteral("max sum of area")), 6, 2);
    featureLayout->addWidget(MaxSSumEdit_, 6, 3);
    auto* stageRow = new QHBoxLayout;
    stageRow->addWidget(useAdultsRadioButton_);
    stageRow->addWidget(useLarvaeRadioButton_);
    featureLayout->addLayout(stageRow, 7, 0, 1, 4);
    featureLayout->setColumnStretch(4, 1);

    AgeCheckBox_ = Check("AgeCheckBox", "only cells with");
    MinAgeEdit_ = Edit("MinAgeEdit", 50);
    maxAgeEdit_ = Edit("maxAgeEdit", 50);
    auto* age = new QHBoxLayout;
    age->addWidget(AgeCheckBox_);
    age->addWidget(new QLabel(QStringLiteral("age between")));
    age->addWidget(MinAgeEdit_);
    age->addWidget(maxAgeEdit_);
    age->addStretch();

    CheckBox2_ = Check("CheckBox2", "close clusters", true);
    CheckBox1_ = Check("CheckBox1", "no orphaned cells", true);
    PeriodicCheckBox_ = Check("PeriodicCheckBox", "join across edges");
    PeriodicCheckBox_->setToolTip(QStringLiteral("on a wrap-around grid: clusters touching across the grid's edges are one"));
    monochromeCheckBox_ = Check("monochromeCheckBox", "monochrome");
    RahmenSichtbar_ = Check("RahmenSichtbar", "show border");
    RahmenSichtbar_->setToolTip(QStringLiteral("outlines of the cluster cells, drawn where a cell is 2 pixels or larger"));
    DisplaySizeCheckBox_ = Check("DisplaySizeCheckBox", "size/diversity graph", true);
    auto* options = new QGridLayout;
    options->addWidget(CheckBox2_, 0, 0);
    options->addWidget(CheckBox1_, 0, 1);
    options->addWidget(PeriodicCheckBox_, 1, 0);
    options->addWidget(monochromeCheckBox_, 1, 1);
    options->addWidget(RahmenSichtbar_, 2, 0);
    options->addWidget(DisplaySizeCheckBox_, 2, 1);
    options->setColumnStretch(2, 1);

    CAEdit_ = Edit("CAEdit", 110);
    CAEdit_->setReadOnly(true);
    CalcCAButton_ = NamedButton("CalcCAButton", "only calc CA");
    auto* ca = new QHBoxLayout;
    ca->addWidget(new QLabel(QStringLiteral("CA-Homogeneity")));
    ca->addWidget(CAEdit_);
    ca->addWidget(CalcCAButton_);
    ClusterButton_ = NamedButton("ClusterButton", "calc cluster stats");

    DetailsOnEdit_ = Edit("DetailsOnEdit", 50);
    DetailsOnEdit_->setText(QStringLiteral("1"));
    auto* detailsButton = NamedButton("detailsButton", "display");
    auto* NoDetailsButton = NamedButton("NoDetailsButton", "reset");
    auto* details = new QHBoxLayout;
    details->addWidget(new QLabel(QStringLiteral("display details of cluster ")));
    details->addWidget(DetailsOnEdit_);
    details->addWidget(detailsButton);
    details->addWidget(NoDetailsButton);

    minSizeLabel_ = Label("minSizeLabel");
    ClusterCountLabel_ = Label("ClusterCountLabel");
    ClusterAverageSizeLabel_ = Label("ClusterAverageSizeLabel");
    ClusterminSizeLabel_ = Label("ClusterminSizeLabel");
    ClusterMaxSizeLabel_ = Label("ClusterMaxSizeLabel");

    auto* controls = new QWidget;
    auto* left = new QVBoxLayout(controls);
    left->addWidget(window);
    left->addWidget(feature);
    left->addLayout(age);
    left->addLayout(options);
    left->addLayout(ca);
    left->addWidget(ClusterButton_);
    left->addLayout(details);
    for (QLabel* l : {minSizeLabel_, ClusterCountLabel_, ClusterAverageSizeLabel_, ClusterminSizeLabel_, ClusterMaxSizeLabel_})
        left->addWidget(l);
    left->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidget(controls);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFixedWidth(std::min(controls->sizeHint().width() + 20, 400));

    // Charts and report.
    ClusterLayoutChart_ = Named(new TClusterLayoutView, "ClusterLayoutChart");
    histogram_ = new TClusterHistogramChart;
    ClusterHistogramChart_ = Named(new TChartView(histogram_), "ClusterHistogramChart");
    ClusterHistogramChart_->SetAfterDraw([this](QPainter& p) { histogram_->DrawMean(p); });
    Memo1_ = Named(new QPlainTextEdit, "Memo1");
    Memo1_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    reportFiller_ = new TTextFiller(Memo1_);
    auto* Button3 = NamedButton("Button3", "save");
    reportDialog_ = MakeFileDialog(this, "ReportSaveDialog", true, QStringLiteral("text file (*.txt)"), QStringLiteral("txt"));
    // Both charts keep room for their titles and axis labels.
    ClusterHistogramChart_->setMinimumSize(300, 320);
    auto* charts = new QSplitter(Qt::Horizontal);
    charts->addWidget(ClusterLayoutChart_);
    charts->addWidget(ClusterHistogramChart_);
    charts->setChildrenCollapsible(false);
    charts->setSizes({1000, 1000});
    auto* report = new QWidget;
    auto* reportLayout = new QVBoxLayout(report);
    reportLayout->setContentsMargins(0, 0, 0, 0);
    reportLayout->addWidget(Memo1_);
    reportLayout->addWidget(Button3, 0, Qt::AlignLeft);
    auto* right = new QSplitter(Qt::Vertical);
    right->addWidget(charts);
    right->addWidget(report);
    right->setChildrenCollapsible(false);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);

    auto* tab = new QWidget;
    auto* layout = new QHBoxLayout(tab);
    layout->addWidget(scroll);
    layout->addWidget(right, 1);

    for (QLineEdit* e : {Editx1_, Edity1_, Editx2_, Edity2_}) {
        connect(e, &QLineEdit::textEdited, this, [this] { windowEdited_ = true; });
        connect(e, &QLineEdit::editingFinished, this, [this] { runner_.BetweenSteps(this, [this] { ReadWindow(); }); });
    }
    connect(ComboBox1_, &QComboBox::activated, SpeciesRadioButton_, [this] { SpeciesRadioButton_->setChecked(true); });
    connect(ComboBox2_, &QComboBox::activated, StateRadioButton_, [this] { StateRadioButton_->setChecked(true); });
    connect(CalcCAButton_, &QPushButton::clicked, this, &TDiversityForm::CalcCA);
    connect(ClusterButton_, &QPushButton::clicked, this, &TDiversityForm::CalcClusters);
    connect(detailsButton, &QPushButton::clicked, this, &TDiversityForm::ShowDetails);
    connect(NoDetailsButton, &QPushButton::clicked, this, &TDiversityForm::ShowTable);
    connect(Button3, &QPushButton::clicked, this, &TDiversityForm::SaveReport);
    return tab;
}

TClusterEntries TDiversityForm::Entries() const
{
    TClusterEntries e;
    e.Mode = SpeciesRadioButton_->isChecked()   ? TClusterMode::Species
             : ShannonRadioButton_->isChecked() ? TClusterMode::Diversity
             : SSumRadioButton_->isChecked()    ? TClusterMode::Area
                                                : TClusterMode::States;
    e.Species = std::max(ComboBox1_->currentIndex(), 0);
    e.State = std::max(ComboBox2_->currentIndex(), 0);
    e.Larvae = useLarvaeRadioButton_->isChecked();
    e.X1 = Typed(Editx1_);
    e.Y1 = Typed(Edity1_);
    e.X2 = Typed(Editx2_);
    e.Y2 = Typed(Edity2_);
    e.MinCount = Typed(minEdit_);
    e.MaxCount = Typed(maxEdit_);
    e.DiversityLo = Typed(SHIMinEdit_);
    e.DiversityHi = Typed(SHIMaxEdit_);
    e.AreaLo = Typed(MinSSumEdit_);
    e.AreaHi = Typed(MaxSSumEdit_);
    e.AgeRestricted = AgeCheckBox_->isChecked();
    e.MinAge = Typed(MinAgeEdit_);
    e.MaxAge = Typed(maxAgeEdit_);
    e.Close = CheckBox2_->isChecked();
    e.NoOrphans = CheckBox1_->isChecked();
    e.Periodic = PeriodicCheckBox_->isChecked() && PeriodicCheckBox_->isEnabled();
    return e;
}

void TDiversityForm::ShowEntries(const TClusterEntries& e)
{
    const std::pair<QLineEdit*, const std::string*> fields[] = {
        {Editx1_, &e.X1},         {Edity1_, &e.Y1},         {Editx2_, &e.X2},          {Edity2_, &e.Y2},
        {minEdit_, &e.MinCount},  {maxEdit_, &e.MaxCount},  {SHIMinEdit_, &e.DiversityLo}, {SHIMaxEdit_, &e.DiversityHi},
        {MinSSumEdit_, &e.AreaLo}, {MaxSSumEdit_, &e.AreaHi}, {MinAgeEdit_, &e.MinAge},   {maxAgeEdit_, &e.MaxAge},
    };
    for (const auto& [edit, text] : fields) {
        edit->setText(Q(*text));
        edit->setCursorPosition(0); // long numbers show their first digits
    }
}

void TDiversityForm::Reset()
{
    runner_.BetweenSteps(this, [this] {
        const TClusterEntries e = DefaultClusterEntries(model_);
        setWindowTitle(Q(AnalysisCaption(model_)));
        ComboBox1_->clear();
        ComboBox1_->addItems(SpeciesNames(model_));
        ComboBox1_->addItem(QStringLiteral("any"));
        ComboBox2_->clear();
        for (int k = 0; k <= StateCount; ++k) ComboBox2_->addItem(Q(StateName(k)));
        SHIMinEdit_->setText(Q(e.DiversityLo));
        SHIMaxEdit_->setText(Q(e.DiversityHi));
        SHIMaxEdit_->setCursorPosition(0);
        PeriodicCheckBox_->setEnabled(model_.Torus);
        windowEdited_ = false;
        ShowWindow(0, 0, model_.XMax, model_.YMax);
        ReadWindow();
    });
}

void TDiversityForm::Refresh()
{
    ClusterLayoutChart_->update();
    ClusterHistogramChart_->viewport()->update();
}

bool TDiversityForm::Busy() const { return busy_->Busy() || reportFiller_->Filling(); }

void TDiversityForm::showEvent(QShowEvent* event)
{
    runner_.BetweenSteps(this, [this] { FillOnShow(); });
    QWidget::showEvent(event);
}

void TDiversityForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        runner_.BetweenSteps(this, [this] { setWindowTitle(Q(AnalysisCaption(model_))); });
    QWidget::changeEvent(event);
}

void TDiversityForm::FillOnShow()
{
    if (!windowEdited_) ShowWindow(0, 0, model_.XMax, model_.YMax);
    minSizeLabel_->setText(Q(Format("min. indivdual size = %4.2f", {model_.MinSize})));
    minEdit_->setText(QStringLiteral("1"));
    maxEdit_->setText(QString::number(model_.HighCapacity));
    PeriodicCheckBox_->setEnabled(model_.Torus);
    ReadWindow();
}

void TDiversityForm::ShowWindow(int x1, int y1, int x2, int y2)
{
    Editx1_->setText(QString::number(x1));
    Edity1_->setText(QString::number(y1));
    Editx2_->setText(QString::number(x2));
    Edity2_->setText(QString::number(y2));
}

// The four window fields limited to the grid and shown again; the sliding box's growth and
// the layout chart's axes follow them.
void TDiversityForm::ReadWindow()
{
    if (readingWindow_) return; // the error box takes the focus from the field
    readingWindow_ = true;
    try {
        const TClusterRequest r = ReadClusterEntries(model_, Entries(), true);
        ShowWindow(r.X1, r.Y1, r.X2, r.Y2);
        int steps = 0;
        if (ParseInt(Typed(SampleCountEdit_), steps) && steps > 0)
            IncreaseByEdit_->setText(QString::number(SlidingBoxIncrease(r.X1, r.X2, steps)));
        ClusterLayoutChart_->SetWindow(r.X1, r.Y1, r.X2, r.Y2);
    } catch (const Error& e) {
        ShowError(this, Q(e.what()));
    }
    readingWindow_ = false;
}

void TDiversityForm::Submit(std::function<void(Model&)> work, std::function<void()> done)
{
    busy_->Start();
    CalcCAButton_->setEnabled(false);
    ClusterButton_->setEnabled(false);
    auto finish = [this] {
        busy_->Stop();
        CalcCAButton_->setEnabled(true);
        ClusterButton_->setEnabled(true);
    };
    runner_.Submit(
        this, std::move(work),
        [finish, done = std::move(done)] {
            finish();
            done();
        },
        [this, finish](const QString& message) {
            finish();
            ShowError(this, message);
        });
}

void TDiversityForm::CalcCA()
{
    if (Busy()) return;
    auto text = std::make_shared<std::string>();
    auto request = std::make_shared<TClusterRequest>();
    Submit(
        [e = Entries(), text, request](Model& m) {
            *request = ReadClusterEntries(m, e, true);
            *text = ClusterCAText(m, *request);
        },
        [this, text, request] {
            ShowWindow(request->X1, request->Y1, request->X2, request->Y2);
            CAEdit_->setText(Q(*text));
        });
}

void TDiversityForm::CalcClusters()
{
    if (Busy()) return;
    ClusterLayoutChart_->Clear();
    histogram_->Clear();
    const bool sizes = DisplaySizeCheckBox_->isChecked(), monochrome = monochromeCheckBox_->isChecked(),
               border = RahmenSichtbar_->isChecked();
    auto job = std::make_shared<TClusterJob>();
    // The random cluster colours avoid the plot's background.
    const uint32_t background = ClusterLayoutChart_->Background() & 0xFFFFFF;
    Submit(
        [e = Entries(), sizes, monochrome, background, job, seed = colourRandom_()](Model& m) {
            TClusterAnalysis& a = *job->Analysis;
            a = RunClusterAnalysis(m, ReadClusterEntries(m, e));
            job->Report = ClusterReport(m, a);
            job->Summary = ClusterSummaryLabels(a);
            job->Histogram = ClusterHistogram(m, a, sizes);
            job->AxisTitle = ClusterHistogramAxisTitle(m, sizes);
            std::mt19937 random(seed);
            const std::vector<uint32_t> colours =
                ClusterColours(m, a, monochrome, background, random);
            job->Cells = LayoutImage(a, colours);
            // The details need the records only.
            a.Features = tMerkmal_Matrix();
            a.Labels = tMerkmal_Matrix();
        },
        [this, job, border] {
            const TClusterRequest& r = job->Analysis->Request;
            analysis_ = job->Analysis;
            ShowWindow(r.X1, r.Y1, r.X2, r.Y2);
            CAEdit_->setText(Q(analysis_->CAText));
            ClusterLayoutChart_->SetWindow(r.X1, r.Y1, r.X2, r.Y2);
            ClusterLayoutChart_->SetCells(std::move(job->Cells), r.X1, r.Y1, border);
            QLabel* labels[] = {ClusterCountLabel_, ClusterAverageSizeLabel_, ClusterminSizeLabel_, ClusterMaxSizeLabel_};
            for (size_t i = 0; i < 4; ++i) labels[i]->setText(Q(job->Summary[i]));
            histogram_->SetBars(job->Histogram, Q(job->AxisTitle));
            ShowReport(std::move(job->Report));
        });
}

void TDiversityForm::ShowReport(std::vector<std::string> lines) { reportFiller_->Show(std::move(lines)); }

void TDiversityForm::ShowDetails()
{
    int n = 0;
    if (!analysis_ || !ParseInt(Typed(DetailsOnEdit_), n)) return;
    runner_.BetweenSteps(this, [this, n] {
        const std::vector<std::string> lines = ClusterDetails(model_, *analysis_, n);
        if (!lines.empty()) ShowReport(lines);
    });
}

void TDiversityForm::ShowTable()
{
    if (analysis_) runner_.BetweenSteps(this, [this] { ShowReport(ClusterTableReport(model_, *analysis_)); });
}

void TDiversityForm::SaveReport()
{
    const QString path = ChooseFile(reportDialog_);
    if (path.isEmpty()) return;
    reportFiller_->Finish();
    std::vector<std::string> lines;
    const QString text = Memo1_->toPlainText();
    if (!text.isEmpty())
        for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(line.toStdString());
    try {
        WriteTextLines(path.toStdString(), lines);
    } catch (const Error& e) {
        ShowError(this, Q(e.what()));
    }
}

} // namespace marovi::app
