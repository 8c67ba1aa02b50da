#include "analysis/virtual_rov_form.h"

#include <QBarSeries>
#include <QBarSet>
#include <QButtonGroup>
#include <QChart>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHideEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPercentBarSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <system_error>

#include "analysis/chart_texts.h"
#include "analysis/transect.h"
#include "chart_view.h"
#include "files/pov_scene.h"
#include "files/safe_file.h"
#include "messages.h"
#include "model/model.h"
#include "step_runner.h"
#include "widgets/chart_tools.h"
#include "widgets/named.h"
#include "view/landscape_view.h"
#include "widgets/typed_text.h"

namespace marovi::app {

namespace {

QLineEdit* Edit(const char* name, const QString& text, int width = 60)
{
    auto* edit = Named(new QLineEdit(text), name);
    edit->setMaximumWidth(width);
    return edit;
}

QStringList ToQt(const std::vector<std::string>& lines)
{
    QStringList list;
    for (const std::string& line : lines) list << QString::fromStdString(line);
    return list;
}

} // namespace

TvirtualROVForm::TvirtualROVForm(TStepRunner& runner, TVisulaize* view, QWidget* parent)
    : QWidget(parent, Qt::Window), runner_(runner), view_(view), transect_(std::make_unique<TRovTransect>()),
      chartMode_(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("virtualROVForm"));
    setWindowTitle(QStringLiteral("virtual ROV"));

    // The walk.
    RandomStartCheckBox_ = Named(new QCheckBox(QStringLiteral("random start position")), "RandomStartCheckBox");
    RandomStartCheckBox_->setChecked(true);
    xStartEdit_ = Edit("xStartEdit", QStringLiteral("0"));
    yStartEdit_ = Edit("yStartEdit", QStringLiteral("0"));
    xStartEdit_->setEnabled(false);
    yStartEdit_->setEnabled(false);
    LengthEdit_ = Edit("LengthEdit", QStringLiteral("25"));
    auto* walk = new QGroupBox(QStringLiteral("random walk"));
    auto* walkForm = new QFormLayout(walk);
    walkForm->addRow(RandomStartCheckBox_);
    auto* start = new QHBoxLayout;
    start->addWidget(xStartEdit_);
    start->addWidget(yStartEdit_);
    start->addStretch();
    walkForm->addRow(QStringLiteral("Start"), start);
    walkForm->addRow(QStringLiteral("Length"), LengthEdit_);

    // The four step probabilities laid out as a cross by the way each step goes on the map
    // (row 0 at the bottom): "up" steps to x - 1, "down" to x + 1, "left" to y - 1 and
    // "right" to y + 1.
    pUpEdit_ = Edit("pUpEdit", QStringLiteral("0.25"));
    pLeftEdit_ = Edit("pLeftEdit", QStringLiteral("0.25"));
    pRightEdit_ = Edit("pRightEdit", QStringLiteral("0.25"));
    pDownEdit_ = Edit("pDownEdit", QStringLiteral("0.25"));
    auto* moves = new QGroupBox(QStringLiteral("movement propabilities"));
    moves->setToolTip(QStringLiteral("probability of each step going that way on the map"));
    auto* cross = new QGridLayout(moves);
    const struct {
        QLineEdit* Field;
        const char* Caption;
        int Row, Column;
    } directions[] = {
        {pRightEdit_, "up (y+1)", 0, 1},
        {pUpEdit_, "left (x-1)", 2, 0},
        {pDownEdit_, "right (x+1)", 2, 2},
        {pLeftEdit_, "down (y-1)", 4, 1},
    };
    for (const auto& d : directions) {
        auto* caption = new QLabel(QString::fromLatin1(d.Caption));
        caption->setBuddy(d.Field);
        cross->addWidget(caption, d.Row, d.Column, Qt::AlignHCenter);
        cross->addWidget(d.Field, d.Row + 1, d.Column);
    }

    auto* startButton = NamedButton("StartROVButton", "start ROV...");
    selectButton_ = NamedButton("SelectROVButton", "select ROV ");
    selectButton_->setToolTip(
        QStringLiteral("straight transect: two middle clicks (or Shift + left clicks) in the landscape view"));
    cancelButton_ = NamedButton("CancelSelectButton", "cancel");
    cancelButton_->setVisible(false);
    pickLabel_ = Named(new QLabel(QStringLiteral("waiting for two middle clicks\n(or Shift + left clicks)\nin the landscape view")), "PickLabel");
    pickLabel_->setVisible(false);
    pickLabel_->setStyleSheet(QStringLiteral("color: #a00000"));
    auto* resample = NamedButton("ResampleButton", "resample");
    auto* save = NamedButton("SaveResultsButton", "save results");

    auto* pov = new QGroupBox(QStringLiteral("POV-Ray"));
    auto* povForm = new QFormLayout(pov);
    POVFileName_ = Edit("POVFileName", QStringLiteral("ROVtransect"), 400);
    PovOutDir_ = Edit("PovOutDir", QDir::toNativeSeparators(QDir::tempPath() + QStringLiteral("/rovtest")), 400);
    povForm->addRow(QStringLiteral("file"), POVFileName_);
    povForm->addRow(QStringLiteral("directory"), PovOutDir_);
    auto* povButton = NamedButton("ROVtoPOVButton", "ROV-toPOV");
    povForm->addRow(povButton);

    // What the chart shows.
    auto* modesLayout = new QHBoxLayout;
    const struct {
        const char* Name;
        const char* Caption;
        TTransectChart Mode;
    } radios[] = {
        {"SpeciesRadioButton", "species", TTransectChart::Species},
        {"GuildsRadioButton", "guilds", TTransectChart::Guilds},
        {"BetaSpeciesRadioButton", "beta-diversity(species)", TTransectChart::BetaSpecies},
        {"BetaGuildsRadioButton", "beta-diversity(guildes)", TTransectChart::BetaGuilds},
    };
    for (const auto& r : radios) {
        auto* radio = Named(new QRadioButton(QString::fromLatin1(r.Caption)), r.Name);
        chartMode_->addButton(radio, static_cast<int>(r.Mode));
        modesLayout->addWidget(radio);
    }
    chartMode_->button(static_cast<int>(TTransectChart::Species))->setChecked(true);
    StackedCheckBox_ = Named(new QCheckBox(QStringLiteral("relative/absoulte")), "StackedCheckBox");
    StackedCheckBox_->setChecked(true);
    modesLayout->addSpacing(12);
    modesLayout->addWidget(StackedCheckBox_);
    modesLayout->addStretch();

    auto* controls = new QVBoxLayout;
    controls->addWidget(walk);
    controls->addWidget(moves);
    controls->addWidget(startButton);
    auto* select = new QHBoxLayout;
    select->addWidget(selectButton_);
    select->addWidget(cancelButton_);
    controls->addLayout(select);
    controls->addWidget(pickLabel_);
    controls->addWidget(resample);
    controls->addWidget(save);
    controls->addWidget(pov);
    controls->addStretch();
    auto* controlsBox = new QWidget;
    controlsBox->setLayout(controls);
    controlsBox->setMaximumWidth(260);

    chart_ = new QChart;
    chart_->setTitle(QStringLiteral("virtual ROV transect"));
    chart_->setMargins(QMargins(2, 2, 2, 2));
    chart_->legend()->setAlignment(Qt::AlignRight);
    Chart1_ = Named(new TChartView(chart_), "Chart1");
    Chart1_->setMinimumSize(420, 260);
    ListBox1_ = Named(new QListWidget, "ListBox1");
    ListBox1_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ListBox1_->setMinimumHeight(120);

    auto* right = new QVBoxLayout;
    right->addLayout(modesLayout);
    right->addWidget(Chart1_, 3);
    right->addWidget(ListBox1_, 2);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(controlsBox);
    layout->addLayout(right, 1);
    resize(980, 680);

    SaveDialog1_ = MakeFileDialog(this, "SaveDialog1", true, QStringLiteral("textfiles (*.txt)"), QStringLiteral("txt"));

    connect(RandomStartCheckBox_, &QCheckBox::toggled, this, [this](bool random) {
        xStartEdit_->setEnabled(!random);
        yStartEdit_->setEnabled(!random);
    });
    connect(startButton, &QPushButton::clicked, this, &TvirtualROVForm::StartRov);
    connect(selectButton_, &QPushButton::clicked, this, &TvirtualROVForm::SelectRov);
    connect(cancelButton_, &QPushButton::clicked, this, &TvirtualROVForm::CancelSelection);
    connect(resample, &QPushButton::clicked, this, &TvirtualROVForm::Resample);
    connect(save, &QPushButton::clicked, this, &TvirtualROVForm::SaveResults);
    connect(povButton, &QPushButton::clicked, this, &TvirtualROVForm::ExportScene);
    connect(chartMode_, &QButtonGroup::idClicked, this, &TvirtualROVForm::ChartModeChanged);
    connect(StackedCheckBox_, &QCheckBox::clicked, this, &TvirtualROVForm::ChartModeChanged);
    if (view_) {
        connect(view_, &TVisulaize::RovPicked, this, &TvirtualROVForm::RovPicked);
        connect(view_, &TVisulaize::RovPickCancelled, this, &TvirtualROVForm::EndWait);
        connect(view_, &QObject::destroyed, this, &TvirtualROVForm::EndWait);
    }
}

TvirtualROVForm::~TvirtualROVForm()
{
    if (waiting_ && view_) view_->CancelRovPick();
}

QStringList TvirtualROVForm::Lines() const
{
    QStringList lines;
    for (int i = 0; i < ListBox1_->count(); ++i) lines << ListBox1_->item(i)->text();
    return lines;
}

void TvirtualROVForm::SetLines(const QStringList& lines)
{
    ListBox1_->clear();
    ListBox1_->addItems(lines);
}

void TvirtualROVForm::StartRov()
{
    TRandomWalkEntries e;
    e.RandomStart = RandomStartCheckBox_->isChecked();
    e.X = Typed(xStartEdit_);
    e.Y = Typed(yStartEdit_);
    e.Length = Typed(LengthEdit_);
    e.PUp = Typed(pUpEdit_);
    e.PDown = Typed(pDownEdit_);
    e.PLeft = Typed(pLeftEdit_);
    e.PRight = Typed(pRightEdit_);
    TRandomWalk walk;
    if (!Attempt(this, [&] { walk = RandomWalkOf(e); })) return; // the previous transect stays
    runner_.BetweenSteps(this, [this, walk] {
        Model& m = runner_.model();
        TRovTransect t;
        if (!Attempt(this, [&] { t = BuildRandomTransect(m, walk); })) return;
        *transect_ = std::move(t);
        SetLines(QStringList{QString::fromStdString(TransectHeader(m))} + ToQt(transect_->Lines));
        ShowTransectChart();
        PublishCourse();
    });
}

void TvirtualROVForm::SelectRov()
{
    if (!view_ || waiting_) return;
    ShowMessage(this, QStringLiteral("Attention!"), QStringLiteral("please select start end end of rov transect by middle mouse"));
    // The picks are made on the map, so the view must be there to take them.
    if (!view_->isVisible()) view_->show();
    view_->raise();
    view_->StartRovPick();
    waiting_ = true;
    selectButton_->setEnabled(false);
    cancelButton_->setVisible(true);
    pickLabel_->setVisible(true);
}

void TvirtualROVForm::CancelSelection()
{
    if (!waiting_) return;
    if (view_) view_->CancelRovPick(); // the view forgets the pick; its signal ends the wait
    EndWait();
}

void TvirtualROVForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Closed by the user: middle clicks in the view show cell information again.
    if (!event->spontaneous()) CancelSelection();
}

void TvirtualROVForm::EndWait()
{
    waiting_ = false;
    selectButton_->setEnabled(true);
    cancelButton_->setVisible(false);
    pickLabel_->setVisible(false);
}

void TvirtualROVForm::RovPicked(QPoint start, QPoint end)
{
    if (!waiting_) return; // a pick that this window did not ask for
    EndWait();
    runner_.BetweenSteps(this, [this, start, end] {
        const Model& m = runner_.model();
        TRovTransect t = BuildStraightTransect(m, start.x(), start.y(), end.x(), end.y());
        if (t.Samples.empty()) return; // the ends lie less than two cells apart
        *transect_ = std::move(t);
        // The new lines follow those already listed, without a header of their own.
        const int first = ListBox1_->count();
        ListBox1_->addItems(ToQt(transect_->Lines));
        ListBox1_->scrollToItem(ListBox1_->item(first), QAbstractItemView::PositionAtTop);
        ShowTransectChart();
        PublishCourse();
    });
}

void TvirtualROVForm::Resample()
{
    runner_.BetweenSteps(this, [this] {
        const Model& m = runner_.model();
        ResampleTransect(m, *transect_);
        SetLines(QStringList{QString::fromStdString(TransectHeader(m))} + ToQt(transect_->Lines));
        ShowTransectChart();
    });
}

void TvirtualROVForm::SimulationReset()
{
    runner_.BetweenSteps(this, [this] {
        if (TransectFits(runner_.model(), *transect_)) return;
        *transect_ = TRovTransect{};
        PublishCourse();
    });
}

void TvirtualROVForm::SaveResults()
{
    const QString path = ChooseFile(SaveDialog1_);
    if (path.isEmpty()) return;
    std::vector<std::string> lines;
    for (const QString& line : Lines()) lines.push_back(line.toStdString());
    Attempt(this, [&] { WriteTextLines(path.toStdString(), lines); });
}

void TvirtualROVForm::ExportScene()
{
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (!TransectBounds(*transect_, x0, y0, x1, y1)) {
        ShowMessage(this, QStringLiteral("virtual ROV"), QStringLiteral("there is no ROV transect to export"));
        return;
    }
    const std::string directory = Typed(PovOutDir_), name = Typed(POVFileName_);
    const QString folder = directory.empty() ? QDir::currentPath() : QDir(PovOutDir_->text()).absolutePath();
    // A large box holds many individuals: the scene is written beside the user interface.
    runner_.Submit(
        this,
        [=](Model& m) {
            // The default folder does not exist before the first export.
            MakeSceneFolder(directory);
            WriteScene(m, x0, y0, x1, y1, directory, name);
        },
        [this, folder, name] {
            ShowMessage(this, QStringLiteral("virtual ROV"),
                        QStringLiteral("scene \"%1\" written to the folder %2").arg(QString::fromStdString(name), QDir::toNativeSeparators(folder)));
        },
        [this](const QString& message) { ShowError(this, message); });
}

void TvirtualROVForm::ChartModeChanged()
{
    if (transect_->Samples.size() < 2) return;
    runner_.BetweenSteps(this, [this] { ShowTransectChart(); });
}

void TvirtualROVForm::ShowTransectChart()
{
    const Model& m = runner_.model();
    const auto mode = static_cast<TTransectChart>(chartMode_->checkedId());
    const bool relative = StackedCheckBox_->isChecked();
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes()) {
        chart_->removeAxis(axis);
        delete axis;
    }
    chart_->setTitle(QString::fromStdString(TransectChartTitle(m, mode)));

    QAbstractBarSeries* series = nullptr;
    if (mode == TTransectChart::BetaSpecies || mode == TTransectChart::BetaGuilds) series = new QBarSeries;
    else if (relative) series = new QPercentBarSeries;
    else series = new QStackedBarSeries;
    for (const TTransectBars& bars : TransectChartBars(m, *transect_, mode)) {
        auto* set = new QBarSet(QString::fromStdString(bars.Title));
        const QColor colour(static_cast<QRgb>(bars.Colour));
        set->setColor(colour);
        set->setBorderColor(colour);
        for (double h : bars.Heights) set->append(h);
        series->append(set);
    }
    series->setLabelsVisible(false);
    series->setBarWidth(0.9);
    chart_->addSeries(series);
    chart_->legend()->setVisible(true);

    const int n = static_cast<int>(transect_->Samples.size());
    auto* samples = new QValueAxis;
    samples->setLabelFormat(QStringLiteral("%d"));
    auto* values = new QValueAxis;
    values->setTitleText(QString::fromStdString(TransectAxisTitle(mode, relative)));
    values->setLabelFormat(QStringLiteral("%g"));
    chart_->addAxis(samples, Qt::AlignBottom);
    chart_->addAxis(values, Qt::AlignLeft);
    series->attachAxis(samples);
    series->attachAxis(values);
    // Samples are numbered from 0, one bar each.
    SetFixedAxisRange(samples, -0.5, std::max(n, 1) - 0.5, {10, 1});
    if (qobject_cast<QPercentBarSeries*>(series)) SetFixedAxisRange(values, 0, 100);
    else SetAxisRange(values, 0, values->max());
}

void TvirtualROVForm::PublishCourse()
{
    if (!view_) return;
    std::vector<QPoint> cells;
    for (const TRovSample& s : transect_->Samples) cells.emplace_back(s.x, s.y);
    view_->SetRovCourse(cells);
}

} // namespace marovi::app
