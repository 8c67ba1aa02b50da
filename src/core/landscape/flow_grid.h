#pragma once
#include <vector>

namespace marovi {

struct TFlowCell {
    double Direction = 0.0; // radians, 0 = +x, counter-clockwise
    double Deviation = 0.0; // standard deviation of the drift angle, radians
    double Speed = 0.0;     // multiplier of every dispersal distance
};

struct TFlowGrid {
    int XCount = 0;
    int YCount = 0;
    std::vector<TFlowCell> Cells; // x-major: Cells[x * YCount + y]

    TFlowCell& Cell(int x, int y) { return Cells[static_cast<size_t>(x) * YCount + y]; }
    const TFlowCell& Cell(int x, int y) const { return Cells[static_cast<size_t>(x) * YCount + y]; }
};

} // namespace marovi
