#pragma once
#include <cmath>
#include <cstdint>

namespace marovi {

// Round half to even, saturated to the int32 range (NaN gives INT32_MIN) so that
// absurd parameters can never make the conversion undefined.
inline int32_t RoundToInt(double v)
{
    // Adding and removing 1.5 * 2^52 leaves v rounded to an integer, ties to even, in the
    // default rounding mode: the same value as nearbyint without a library call on the
    // hot path of dispersal.
    constexpr double Shift = 6755399441055744.0;
    if (std::fabs(v) < 2147483647.5) return static_cast<int32_t>((v + Shift) - Shift);
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
