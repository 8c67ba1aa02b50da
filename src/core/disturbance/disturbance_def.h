#pragma once
#include <array>
#include <cstdint>

#include "model/types.h"

namespace marovi {

// One disturbance regime. X1 is the smaller x and X2 the larger, but Y2 the smaller y
// and Y1 the larger (the placement rectangle's convention).
struct TDisturbanceDef {
    int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    double XSize = 0.0, XSizeDev = 0.0, YSize = 0.0, YSizeDev = 0.0;
    bool Clipping = false;
    std::array<double, SeasonsPerYear> Probability{};
    int32_t LastEvent = 0;
    double Severity = 0.0;
    uint8_t Substrate = 0;
    double Direction = 0.0; // radians, mathematical sense
    double Deviation = 0.0; // radians
    int32_t Subevents = 0;
};

} // namespace marovi
