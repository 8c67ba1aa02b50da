#include "widgets/axis_ticks.h"

#include <algorithm>
#include <cmath>

namespace marovi::app {

namespace {

// The smallest 1, 2 or 5 times a power of ten that is at least v (v > 0).
double RoundUp(double v)
{
    const double power = std::pow(10.0, std::floor(std::log10(v)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= v * (1 - 1e-12)) return m * power;
    return 10 * power;
}

} // namespace

double RoundTickInterval(double span, int intervals, double minInterval)
{
    double step = span > 0 && std::isfinite(span) ? RoundUp(span / std::max(1, intervals)) : 1;
    if (minInterval > 0) step = std::max(step, RoundUp(minInterval));
    return step;
}

} // namespace marovi::app
