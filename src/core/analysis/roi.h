#pragma once
#include <vector>

#include "model/types.h"

namespace marovi {
struct Model;

// The species composition of a region of interest: counts per species slot 0..SpeciesMax,
// their total and the shares of it (0 when the region holds nobody).
struct TRoiCounts {
    TSpeciesCounts Counts{};
    long long Total = 0;
    std::vector<double> Relative;
};

// The first point of a new definition: every individual of the region's cells.
TRoiCounts RoiDefinitionCounts(const Model& m, int x0, int y0, int x1, int y1);
// The point of every time step: only individuals larger than MinSize.
TRoiCounts RoiStepCounts(const Model& m, int x0, int y0, int x1, int y1);

// "disturbe ROI": asks the next time step to clear the whole region.
void RequestRoiDisturbance(Model& m, int x0, int y0, int x1, int y1);

} // namespace marovi
