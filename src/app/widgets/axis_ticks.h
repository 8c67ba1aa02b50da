#pragma once

namespace marovi::app {

// The round step for an axis range of that span: the smallest 1, 2 or 5 times a power of
// ten that divides the span into at most `intervals` steps and is not below `minInterval`
// (1 where the values are whole numbers: time steps, cells, counts).
double RoundTickInterval(double span, int intervals, double minInterval = 0);

} // namespace marovi::app
