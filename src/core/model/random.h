#pragma once
#include <cstdint>

namespace marovi {

// The one random stream of a simulation: Knuth's subtractive generator (ran3 of
// Numerical Recipes) with a polar Box-Muller normal draw that caches its second deviate.
class TRandom {
public:
    static constexpr int32_t MBIG = 1000000000;
    static constexpr int32_t MSEED = 161803398;
    static constexpr int32_t MZ = 0;
    static constexpr double FAC = 1.0E-9;

    void SeedRandom(int32_t seed);
    double Uniform();
    // Trunc(Uniform() * n): 0..n-1 for n >= 1, 0 for n = 0, n+1..0 for negative n.
    int32_t RandomInt(int32_t n) { return static_cast<int32_t>(Uniform() * n); }
    double Gauss()
    {
        if (GaussCached == 1) {
            GaussCached = 0;
            return GaussValue;
        }
        return GaussPair();
    }

    // Generator state, public so that tests and files can inspect it.
    int32_t Table[56] = {};  // 1..55 used
    int32_t Next = 0, NextP = 0;
    int32_t GaussCached = 0;
    double GaussValue = 0.0;

private:
    // Draws a new pair, caches one deviate and returns the other.
    double GaussPair();
};

inline double TRandom::Uniform()
{
    if (++Next == 56) Next = 1;
    if (++NextP == 56) NextP = 1;
    int32_t mj = Table[Next] - Table[NextP];
    if (mj < MZ) mj += MBIG;
    Table[Next] = mj;
    return mj * FAC;
}

} // namespace marovi
