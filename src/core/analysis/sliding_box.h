#pragma once
#include <optional>
#include <string>
#include <vector>

namespace marovi {
struct Model;

struct TSlidingBoxStep {
    double X = 0;                 // step * increase + 1
    double Mean = 0, Min = 0, Max = 0;
};

// Diversity of square boxes of growing side at random places: per step, `replicates` boxes
// of side + 1 cells per edge; the side starts at 1 and grows by `increase`. Draws the box
// corners from the simulation's random stream. A step whose box leaves a grid without
// wrap-around reports 0 for all three values.
std::vector<TSlidingBoxStep> SlidingBoxDiversity(Model& m, int steps, int replicates, int increase, bool byState);

// The three fields of "calc": sample steps and replicates at least 1, the increase of the
// side at least 0. A refusal names the field.
struct TSlidingBoxEntries {
    int Steps = 0, Replicates = 0, Increase = 0;
};
TSlidingBoxEntries ReadSlidingBoxEntries(const std::string& steps, const std::string& replicates,
                                         const std::string& increase);

// The growth of the box side the window proposes for a window from x1 to x2: the width
// spread over the sample steps, rounded; 0 when there are no steps.
int SlidingBoxIncrease(int x1, int x2, int steps);

// The three plotted curves: the values themselves, or with `reciprocal` their inverses
// (average 1/mean, max 1/min, min 1/max), a point being left out where the value is 0.
struct TSlidingBoxPlot {
    double X = 0;
    std::optional<double> Average, Min, Max;
};
std::vector<TSlidingBoxPlot> SlidingBoxPlot(const std::vector<TSlidingBoxStep>& steps, bool reciprocal);

} // namespace marovi
