#pragma once
#include <cstdint>

namespace marovi {

// The one random stream of a simulation: Knuth's subtractive generator (ran3 of
// Numerical Recipes) with a polar Box-Muller normal draw that caches its second deviate.
//
// The generator's 55 lagged values are renewed a lap at a time: when the last of a lap has
// been drawn, all 55 next values are made at once (the same subtractions in the same order),
// and a draw only reads the next one. So the values come out as one by one, while a draw
// stays a read and a place in the stream is a count that can be skipped to cheaply.
class TRandom {
public:
    static constexpr int32_t MBIG = 1000000000;
    static constexpr int32_t MSEED = 161803398;
    static constexpr int32_t MZ = 0;
    static constexpr double FAC = 1.0E-9;
    static constexpr int32_t Lap = 55;

    void SeedRandom(int32_t seed);
    double Uniform()
    {
        if (Next == Lap) NextLap();
        return Table[++Next] * FAC;
    }
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

    // The uniforms of one accepted pair of the polar method (a drawn before b, rejected pairs
    // passed over) and its squared radius; no deviate is made or cached.
    void DrawPolarPair(double& a, double& b, double& rsq)
    {
        do {
            a = 2.0 * Uniform() - 1.0;
            b = 2.0 * Uniform() - 1.0;
            rsq = a * a + b * b;
        } while (!(rsq > 0.0 && rsq < 1.0));
    }
    // The factor that turns a pair into its two deviates: a * factor and b * factor.
    static double PolarFactor(double rsq);

    // Uniforms drawn since seeding (or construction): a place in the stream.
    uint64_t Drawn() const { return Laps * Lap + static_cast<uint64_t>(Next); }
    // Passes over uniforms until Drawn() is `drawn` (nothing when it is already there).
    void SkipTo(uint64_t drawn);
    // Passes over n uniforms.
    void Skip(uint32_t n)
    {
        if (n <= static_cast<uint32_t>(Lap - Next)) Next += static_cast<int32_t>(n);
        else SkipTo(Drawn() + n);
    }

    // Generator state, public so that tests can inspect it: the values of the current lap,
    // Table[1..Next] drawn, Table[Next+1..55] still to come.
    int32_t Table[56] = {};
    int32_t Next = 0;
    uint64_t Laps = 0;
    int32_t GaussCached = 0;
    double GaussValue = 0.0;

private:
    // Makes the values of the next lap from those of the current one.
    void NextLap();
    // Draws a new pair, caches one deviate and returns the other.
    double GaussPair();
};

} // namespace marovi
