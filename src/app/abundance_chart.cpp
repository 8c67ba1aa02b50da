#include "abundance_chart.h"

#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

#include "model/species_moves.h"
#include "widgets/chart_tools.h"

namespace marovi::app {

TAbundanceChart::TAbundanceChart()
    : axisX_(new QValueAxis), axisLeft_(new QValueAxis), axisRight_(new QValueAxis)
{
    addAxis(axisX_, Qt::AlignBottom);
    addAxis(axisLeft_, Qt::AlignLeft);
    addAxis(axisRight_, Qt::AlignRight);
    for (QValueAxis* axis : {axisX_, axisLeft_, axisRight_}) axis->setLabelFormat(QStringLiteral("%g"));
    legend()->setAlignment(Qt::AlignRight);
    QFont small = legend()->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    legend()->setFont(small);
    setMargins(QMargins(2, 2, 2, 2));
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(100);
    connect(&flushTimer_, &QTimer::timeout, this, &TAbundanceChart::Flush);
    UpdateAxes();
}

void TAbundanceChart::Rebuild(const std::vector<TSpeciesLine>& species)
{
    ReplaceSeries(species);
    empty_ = true;
    automatic_ = true;
    UpdateAxes();
}

void TAbundanceChart::ReplaceSeries(const std::vector<TSpeciesLine>& species)
{
    removeAllSeries();
    series_.clear();
    points_.clear();
    auto add = [this](const QString& title, const QColor& colour, QValueAxis* yAxis) {
        auto* s = new QLineSeries;
        s->setName(title);
        QPen pen(colour);
        pen.setWidthF(1.5);
        s->setPen(pen);
        addSeries(s);
        s->attachAxis(axisX_);
        s->attachAxis(yAxis);
        series_.push_back(s);
        points_.emplace_back();
    };
    for (const TSpeciesLine& line : species) add(line.Title, line.Colour, axisLeft_);
    add(QStringLiteral("Shannon"), Qt::black, axisRight_);
}

void TAbundanceChart::AddPoint(int t, const TSpeciesCounts& counts, double shannon)
{
    const int diversity = DiversitySeriesIndex();
    for (int s = 0; s < diversity && s < static_cast<int>(counts.size()); ++s) {
        points_[static_cast<size_t>(s)].append(QPointF(t, counts[static_cast<size_t>(s)]));
        maxCount_ = std::max(maxCount_, static_cast<double>(counts[static_cast<size_t>(s)]));
    }
    if (diversity >= 0) points_[static_cast<size_t>(diversity)].append(QPointF(t, shannon));
    maxDiversity_ = std::max(maxDiversity_, shannon);
    minT_ = empty_ ? t : std::min(minT_, static_cast<double>(t));
    maxT_ = empty_ ? t : std::max(maxT_, static_cast<double>(t));
    empty_ = false;
    dirty_ = true;
    if (!flushTimer_.isActive()) flushTimer_.start();
}

void TAbundanceChart::ClearPoints()
{
    for (auto& p : points_) p.clear();
    empty_ = true;
    dirty_ = true;
    maxCount_ = maxDiversity_ = 0;
    Flush();
}

void TAbundanceChart::FollowSpecies(const TSpeciesMoves& moves, const std::vector<TSpeciesLine>& species)
{
    if (points_.empty()) {
        Rebuild(species);
        return;
    }
    // The time range and the axes stay; only the curves move.
    const QList<QPointF> diversity = points_.back();
    points_.pop_back();
    std::vector<QList<QPointF>> counts = MovedBySpecies(std::move(points_), moves, species.size());
    ReplaceSeries(species);
    maxCount_ = 0;
    for (size_t s = 0; s < counts.size(); ++s) {
        for (const QPointF& p : counts[s]) maxCount_ = std::max(maxCount_, p.y());
        points_[s] = std::move(counts[s]);
    }
    points_.back() = diversity;
    dirty_ = true;
    Flush();
}

void TAbundanceChart::SetTimeRange(double min, double max)
{
    automatic_ = false;
    SetFixedAxisRange(axisX_, min, max, WholeNumberTicks);
}

void TAbundanceChart::SetAutomatic()
{
    automatic_ = true;
    UpdateAxes();
}

void TAbundanceChart::Flush()
{
    flushTimer_.stop();
    if (dirty_)
        for (size_t s = 0; s < series_.size(); ++s) series_[s]->replace(points_[s]);
    dirty_ = false;
    UpdateAxes();
}

void TAbundanceChart::UpdateAxes()
{
    // Round axis ends and ticks, as a chart that scales itself shows them.
    if (automatic_) SetAxisRange(axisX_, minT_, maxT_ > minT_ ? maxT_ : minT_ + 1, WholeNumberTicks);
    SetAxisRange(axisLeft_, 0, std::max(1.0, maxCount_));
    SetAxisRange(axisRight_, 0, std::max(0.1, maxDiversity_));
}

} // namespace marovi::app
