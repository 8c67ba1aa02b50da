#pragma once
#include <cmath>
#include <cstdint>

namespace marovi {

// Round half to even, saturated to the int32 range (NaN gives INT32_MIN) so that
// absurd parameters can never make the conversion undefined.
inline int32_t RoundToInt(double v)
{
    double r = std::nearbyint(v);
    if (!(r >= -2147483648.0)) return INT32_MIN;
    if (r > 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(r);
}

// Trunc toward zero, saturated like RoundToInt.
inline int32_t TruncToInt(double v)
{
    double r = std::trunc(v);
    if (!(r >= -2147483648.0)) return INT32_MIN;
    if (r > 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(r);
}

} // namespace marovi
