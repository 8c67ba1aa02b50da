#include "widgets/chart_tools.h"

#include <QLogValueAxis>
#include <QValueAxis>
#include <QXYSeries>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace marovi::app {

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

void SetAxisRange(QAbstractAxis* axis, double min, double max)
{
    if (auto* log = qobject_cast<QLogValueAxis*>(axis)) {
        min = std::max(min, 1e-6);
        max = std::max(max, min * 10);
        log->setRange(min, max);
        return;
    }
    auto* value = qobject_cast<QValueAxis*>(axis);
    if (!value) return;
    if (!(max > min)) {
        const double pad = min == 0 ? 1 : std::abs(min) * 0.1;
        min -= min == 0 ? 0 : pad;
        max += pad;
    }
    value->setRange(min, max);
    value->applyNiceNumbers();
}

void SetFixedAxisRange(QValueAxis* axis, double min, double max, int intervals)
{
    axis->setRange(min, max);
    // 1, 2 or 5 times a power of ten.
    const double span = max - min;
    if (!(span > 0)) return;
    double step = std::pow(10.0, std::floor(std::log10(span / intervals)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (span / (m * step) <= intervals) {
            step *= m;
            break;
        }
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
}

QString ChartTitle(const std::vector<std::string>& lines)
{
    QStringList html;
    for (const std::string& line : lines) html << QString::fromStdString(line).toHtmlEscaped();
    return html.join(QStringLiteral("<br>"));
}

} // namespace marovi::app
