#pragma once
#include <QList>
#include <QString>
#include <string>
#include <optional>
#include <utility>
#include <vector>

#include "widgets/axis_ticks.h"

class QAbstractAxis;
class QValueAxis;
class QXYSeries;

namespace marovi::app {

// The lowest and highest coordinate of the points of the series along one direction;
// none without points.
std::optional<std::pair<double, double>> PointRange(const QList<QXYSeries*>& series, Qt::Orientation direction);

// How a value axis ticks: at round values 1, 2 or 5 times a power of ten, with at most
// `Intervals` steps over the range and no step finer than `MinInterval`; or every
// `Interval` where a chart fixes it.
// An axis that scales itself rounds its minimum down to a tick unless `RoundMin` is off.
struct TAxisTicks {
    int Intervals = 8;
    double MinInterval = 0;
    double Interval = 0;
    bool RoundMin = true;
};
// An axis of whole numbers (time steps, ranks, ages, counts) ticks at whole numbers.
inline constexpr TAxisTicks WholeNumberTicks{8, 1, 0};

// Every axis of every chart changes its range through these two. Qt Charts lays out the
// ticks of the old interval over a new range at once (a range of thousands at an interval
// of 0.1 builds tens of thousands of tick items and freezes the window), so the interval
// and the range are changed in the order in which no step in between has more ticks than
// the axis had before or will have after.
//
// A value axis fitted to a range as a chart that scales itself shows it: the ends widened
// to ticks (a logarithmic axis takes the range itself, kept positive); an empty range is
// widened first.
void SetAxisRange(QAbstractAxis* axis, double min, double max, TAxisTicks ticks = {});
// A fixed range with ticks at round values inside it.
void SetFixedAxisRange(QValueAxis* axis, double min, double max, TAxisTicks ticks = {});

// A chart title of several lines (the title is rich text).
QString ChartTitle(const std::vector<std::string>& lines);

} // namespace marovi::app
