#include "widgets/chart_tools.h"

#include <QLogValueAxis>
#include <QValueAxis>
#include <QXYSeries>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace marovi::app {

namespace {

// An empty range gets room around its one value.
void Widen(double& min, double& max)
{
    if (max > min) return;
    if (min == 0) {
        max = 1;
        return;
    }
    const double pad = std::abs(min) * 0.1;
    max = min + pad;
    min -= pad;
}

// More ticks than any axis has room for: a fixed interval this fine is not kept.
constexpr double MostTicks = 200;

void SetRangeAndInterval(QValueAxis* axis, double min, double max, double step)
{
    axis->setTickAnchor(0);
    if (axis->tickType() != QValueAxis::TicksDynamic) {
        axis->setRange(min, max); // a fixed tick count meanwhile
        axis->setTickInterval(step);
        axis->setTickType(QValueAxis::TicksDynamic);
    } else if (step >= axis->tickInterval()) {
        axis->setTickInterval(step); // fewer ticks over the old range
        axis->setRange(min, max);
    } else {
        axis->setRange(min, max); // fewer ticks at the old interval than at the new one
        axis->setTickInterval(step);
    }
}

double StepFor(double min, double max, const TAxisTicks& ticks)
{
    const double span = max - min;
    if (ticks.Interval > 0 && span / ticks.Interval <= MostTicks) return ticks.Interval;
    return RoundTickInterval(span, ticks.Intervals, ticks.MinInterval);
}

bool Finite(double min, double max) { return std::isfinite(min) && std::isfinite(max) && std::isfinite(max - min); }

} // namespace

std::optional<std::pair<double, double>> PointRange(const QList<QXYSeries*>& series, Qt::Orientation direction)
{
    std::optional<std::pair<double, double>> range;
    for (const QXYSeries* s : series)
        for (const QPointF& p : s->points()) {
            const double v = direction == Qt::Horizontal ? p.x() : p.y();
            if (!range) range = std::make_pair(v, v);
            range->first = std::min(range->first, v);
            range->second = std::max(range->second, v);
        }
    return range;
}

void SetAxisRange(QAbstractAxis* axis, double min, double max, TAxisTicks ticks)
{
    if (!Finite(min, max)) return;
    if (auto* log = qobject_cast<QLogValueAxis*>(axis)) {
        min = std::max(min, 1e-6);
        max = std::max(max, min * 10);
        log->setRange(min, max);
        return;
    }
    auto* value = qobject_cast<QValueAxis*>(axis);
    if (!value) return;
    Widen(min, max);
    const double step = StepFor(min, max, ticks);
    SetRangeAndInterval(value, ticks.RoundMin ? std::floor(min / step) * step : min, std::ceil(max / step) * step, step);
}

void SetFixedAxisRange(QValueAxis* axis, double min, double max, TAxisTicks ticks)
{
    if (!Finite(min, max)) return;
    Widen(min, max);
    SetRangeAndInterval(axis, min, max, StepFor(min, max, ticks));
}

QString ChartTitle(const std::vector<std::string>& lines)
{
    QStringList html;
    for (const std::string& line : lines) html << QString::fromStdString(line).toHtmlEscaped();
    return html.join(QStringLiteral("<br>"));
}

} // namespace marovi::app
