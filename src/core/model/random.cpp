#include "model/random.h"

#include <cmath>
#include <cstdlib>

namespace marovi {

namespace {

int32_t Subtract(int32_t a, int32_t b)
{
    int32_t d = a - b;
    return d < TRandom::MZ ? d + TRandom::MBIG : d;
}

} // namespace

void TRandom::SeedRandom(int32_t seed)
{
    // |INT32_MIN| does not fit; computed in 64 bits, then reduced like the original.
    int64_t idum = -std::llabs(static_cast<int64_t>(seed));
    int32_t mj = static_cast<int32_t>(std::llabs(MSEED - std::llabs(idum)) % MBIG);
    Table[55] = mj;
    int32_t mk = 1;
    for (int i = 1; i <= 54; ++i) {
        int ii = (21 * i) % 55;
        Table[ii] = mk;
        mk = mj - mk;
        if (mk < MZ) mk += MBIG;
        mj = Table[ii];
    }
    // Four times over the table, as a lap does.
    for (int k = 1; k <= 4; ++k) NextLap();
    // These values count as a lap drawn in full: the next draw starts the first lap.
    Next = Lap;
    Laps = 0;
    Uniform();
}

// Value i of the new lap is value i of the old one less value i + 31 (counted round the 55),
// taken in the order i = 1..55: the old value for i <= 24, the one just made for the others.
// Three runs without overlap, each one plain loop.
void TRandom::NextLap()
{
    int32_t* t = Table;
    for (int i = 1; i <= 24; ++i) t[i] = Subtract(t[i], t[i + 31]);
    for (int i = 25; i <= 48; ++i) t[i] = Subtract(t[i], t[i - 24]);
    for (int i = 49; i <= 55; ++i) t[i] = Subtract(t[i], t[i - 24]);
    Next = 0;
    ++Laps;
}

void TRandom::SkipTo(uint64_t drawn)
{
    if (drawn <= Drawn()) return;
    uint64_t left = drawn - Drawn();
    while (left > static_cast<uint64_t>(Lap - Next)) {
        left -= static_cast<uint64_t>(Lap - Next);
        NextLap();
    }
    Next += static_cast<int32_t>(left);
}

double TRandom::PolarFactor(double rsq) { return std::sqrt(-2.0 * std::log(rsq) / rsq); }

double TRandom::GaussPair()
{
    double a, b, rsq;
    DrawPolarPair(a, b, rsq);
    double fac = PolarFactor(rsq);
    GaussValue = a * fac;
    GaussCached = 1;
    return b * fac;
}

} // namespace marovi
