#include "roi_form.h"

#include <QChart>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "analysis/roi.h"
#include "chart_view.h"
#include "main_form.h"
#include "messages.h"
#include "model/model.h"
#include "model/species_moves.h"
#include "step_runner.h"
#include "widgets/chart_tools.h"
#include "widgets/named.h"

namespace marovi::app {

namespace {

// A chart of one value per species over the time steps, with a legend of the species.
QChart* MakeChart(const char* title, const char* valueTitle, QValueAxis*& time, QValueAxis*& value)
{
    auto* chart = new QChart;
    chart->setTitle(QString::fromLatin1(title));
    chart->legend()->setAlignment(Qt::AlignRight);
    QFont small = chart->legend()->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    chart->legend()->setFont(small);
    chart->setMargins(QMargins(2, 2, 2, 2));
    time = new QValueAxis;
    value = new QValueAxis;
    time->setTitleText(QStringLiteral("time step"));
    value->setTitleText(QString::fromLatin1(valueTitle));
    for (QValueAxis* axis : {time, value}) axis->setLabelFormat(QStringLiteral("%g"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(value, Qt::AlignLeft);
    return chart;
}

} // namespace

TROIForm::TROIForm(TStepRunner& runner, QWidget* parent) : QWidget(parent, Qt::Window), runner_(runner)
{
    setObjectName(QStringLiteral("ROIForm"));
    setWindowTitle(QStringLiteral("ROI"));
    chart1_ = MakeChart("absolute abundances", "individuals", time1_, value1_);
    chart2_ = MakeChart("relative abundances", "share", time2_, value2_);
    view1_ = new TChartView(chart1_);
    view1_->setObjectName(QStringLiteral("Chart1"));
    view2_ = new TChartView(chart2_);
    view2_->setObjectName(QStringLiteral("Chart2"));
    // High enough for the legend of ten species.
    for (TChartView* v : {view1_, view2_}) v->setMinimumSize(420, 270);

    auto* reset = NamedButton("ResetButton", "reset ROI");
    auto* disturb = NamedButton("DisturbButton", "disturbe ROI");
    auto* clear = NamedButton("ClearButton", "clear graph");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(reset);
    buttons->addWidget(disturb);
    buttons->addStretch();
    buttons->addWidget(clear);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view1_, 1);
    layout->addWidget(view2_, 1);
    layout->addLayout(buttons);
    resize(560, 620);

    connect(reset, &QPushButton::clicked, this, &TROIForm::ResetRoi);
    connect(disturb, &QPushButton::clicked, this, &TROIForm::DisturbRoi);
    connect(clear, &QPushButton::clicked, this, &TROIForm::ClearGraph);
}

TROIForm::~TROIForm() = default;

void TROIForm::SetMainForm(TMainForm* form)
{
    connect(form, &TMainForm::ChartsUpdated, this, &TROIForm::UpdateRoiCharts);
    connect(form, &TMainForm::SimulationReset, this, [this] {
        if (active_) ResetRoiCharts();
    });
}

void TROIForm::RebuildSeries()
{
    const Model& m = runner_.model();
    chart1_->removeAllSeries();
    chart2_->removeAllSeries();
    absolute_.clear();
    relative_.clear();
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        const QColor colour(static_cast<QRgb>(m.SpeciesColor[static_cast<size_t>(s)]));
        const QString title = QStringLiteral("Species %1").arg(s + 1);
        for (auto [chart, list, time, value] : {std::tuple(chart1_, &absolute_, time1_, value1_),
                                                std::tuple(chart2_, &relative_, time2_, value2_)}) {
            auto* series = new QLineSeries;
            series->setName(title);
            QPen pen(colour);
            pen.setWidthF(1.5);
            series->setPen(pen);
            chart->addSeries(series);
            series->attachAxis(time);
            series->attachAxis(value);
            list->push_back(series);
        }
    }
    maxAbsolute_ = maxRelative_ = 0;
}

void TROIForm::FollowSpeciesMoves(const TSpeciesMoves& moves)
{
    if (!active_) return;
    const size_t count = static_cast<size_t>(runner_.model().SpeciesMax + 1);
    auto pointsOf = [](const std::vector<QLineSeries*>& series) {
        std::vector<QList<QPointF>> points;
        for (QLineSeries* s : series) points.push_back(s->points());
        return points;
    };
    const std::vector<QList<QPointF>> absolute = MovedBySpecies(pointsOf(absolute_), moves, count);
    const std::vector<QList<QPointF>> relative = MovedBySpecies(pointsOf(relative_), moves, count);
    RebuildSeries();
    for (size_t s = 0; s < count; ++s) {
        absolute_[s]->replace(absolute[s]);
        relative_[s]->replace(relative[s]);
        for (const QPointF& p : absolute[s]) maxAbsolute_ = std::max(maxAbsolute_, p.y());
        for (const QPointF& p : relative[s]) maxRelative_ = std::max(maxRelative_, p.y());
    }
    SetTimeMinimum(minTime_);
}

void TROIForm::AddPoint(double x, const std::vector<double>& absolute, const std::vector<double>& relative)
{
    for (size_t s = 0; s < absolute_.size() && s < absolute.size(); ++s) {
        absolute_[s]->append(x, absolute[s]);
        relative_[s]->append(x, relative[s]);
        maxAbsolute_ = std::max(maxAbsolute_, absolute[s]);
        maxRelative_ = std::max(maxRelative_, relative[s]);
    }
    maxTime_ = std::max(maxTime_, x);
    SetTimeMinimum(minTime_);
}

// The time axes start at `min` and reach the latest point; the value axes scale themselves.
void TROIForm::SetTimeMinimum(double min)
{
    minTime_ = min;
    const double max = maxTime_ > minTime_ ? maxTime_ : minTime_ + 0.1;
    for (QValueAxis* time : {time1_, time2_}) SetFixedAxisRange(time, minTime_, max, WholeNumberTicks);
    SetAxisRange(value1_, 0, std::max(1.0, maxAbsolute_));
    SetAxisRange(value2_, 0, std::max(0.1, maxRelative_));
}

void TROIForm::DefineRoi(int x0, int y0, int x1, int y1)
{
    runner_.BetweenSteps(this, [this, x0, y0, x1, y1] {
        const Model& m = runner_.model();
        x0_ = x0;
        y0_ = y0;
        x1_ = x1;
        y1_ = y1;
        active_ = true;
        RebuildSeries();
        const TRoiCounts counts = RoiDefinitionCounts(m, x0_, y0_, x1_, y1_);
        std::vector<double> absolute;
        for (int s = 0; s <= m.SpeciesMax; ++s) absolute.push_back(counts.Counts[static_cast<size_t>(s)]);
        // The first point belongs to the time of the definition, like every later one.
        maxTime_ = m.TimeStep + 1;
        minTime_ = m.TimeStep;
        AddPoint(m.TimeStep, absolute, counts.Relative);
        emit RoiChanged();
    });
}

void TROIForm::UpdateRoiCharts()
{
    if (!active_) return;
    runner_.BetweenSteps(this, [this] {
        const Model& m = runner_.model();
        const TRoiCounts counts = RoiStepCounts(m, x0_, y0_, x1_, y1_);
        std::vector<double> absolute;
        for (int s = 0; s <= m.SpeciesMax; ++s) absolute.push_back(counts.Counts[static_cast<size_t>(s)]);
        AddPoint(m.TimeStep, absolute, counts.Relative);
    });
}

void TROIForm::ResetRoiCharts()
{
    runner_.BetweenSteps(this, [this] {
        const Model& m = runner_.model();
        // A loaded simulation may bring another grid size or species count.
        x1_ = std::min(x1_, m.XMax);
        y1_ = std::min(y1_, m.YMax);
        x0_ = std::min(x0_, x1_);
        y0_ = std::min(y0_, y1_);
        if (static_cast<int>(absolute_.size()) != m.SpeciesMax + 1) RebuildSeries();
        for (QLineSeries* s : absolute_) s->clear();
        for (QLineSeries* s : relative_) s->clear();
        maxAbsolute_ = maxRelative_ = 0;
        maxTime_ = 0.1;
        SetTimeMinimum(0);
    });
}

void TROIForm::ClearGraph()
{
    runner_.BetweenSteps(this, [this] {
        for (QLineSeries* s : absolute_) s->clear();
        for (QLineSeries* s : relative_) s->clear();
        maxAbsolute_ = maxRelative_ = 0;
        const int t = runner_.model().TimeStep;
        maxTime_ = t;
        SetTimeMinimum(t - 1);
    });
}

void TROIForm::ResetRoi()
{
    if (!AskYesNo(this, QStringLiteral("realy?"), QStringLiteral("reset ROI and close window?"))) return;
    runner_.BetweenSteps(this, [this] {
        const Model& m = runner_.model();
        x0_ = y0_ = 0;
        x1_ = m.XMax;
        y1_ = m.YMax;
        active_ = false;
        close();
        emit RoiChanged();
    });
}

void TROIForm::DisturbRoi()
{
    runner_.BetweenSteps(this, [this] { RequestRoiDisturbance(runner_.model(), x0_, y0_, x1_, y1_); });
}

} // namespace marovi::app
