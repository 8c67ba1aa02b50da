#pragma once
#include <QList>
#include <QString>
#include <string>
#include <optional>
#include <utility>
#include <vector>

class QAbstractAxis;
class QValueAxis;
class QXYSeries;

namespace marovi::app {

// The lowest and highest coordinate of the points of the series along one direction;
// none without points.
std::optional<std::pair<double, double>> PointRange(const QList<QXYSeries*>& series, Qt::Orientation direction);

// Sets a value axis to a range with round ends, as a chart that scales itself shows it
// (a logarithmic axis to the range itself, kept positive); an empty range is widened.
void SetAxisRange(QAbstractAxis* axis, double min, double max);

// A fixed range with ticks at round values inside it, at most `intervals` of them.
void SetFixedAxisRange(QValueAxis* axis, double min, double max, int intervals = 10);

// A chart title of several lines (the title is rich text).
QString ChartTitle(const std::vector<std::string>& lines);

} // namespace marovi::app
