#include "model/random.h"

#include <cmath>
#include <cstdlib>

namespace marovi {

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
    for (int k = 1; k <= 4; ++k)
        for (int i = 1; i <= 55; ++i) {
            Table[i] -= Table[1 + ((i + 30) % 55)];
            if (Table[i] < MZ) Table[i] += MBIG;
        }
    Next = 0;
    NextP = 31;
    Uniform();
}

double TRandom::GaussPair()
{
    double a, b, rsq;
    do {
        a = 2.0 * Uniform() - 1.0;
        b = 2.0 * Uniform() - 1.0;
        rsq = a * a + b * b;
    } while (!(rsq > 0.0 && rsq < 1.0));
    double fac = std::sqrt(-2.0 * std::log(rsq) / rsq);
    GaussValue = a * fac;
    GaussCached = 1;
    return b * fac;
}

} // namespace marovi
