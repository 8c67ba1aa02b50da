#pragma once
// What the window benchmarks share: the fastest repetition as a statistic (the others wait
// for a busy machine), and a main() that stands up an application on the offscreen platform.
#include <vector>

double Fastest(const std::vector<double>& v);
