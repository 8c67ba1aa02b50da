#include <gtest/gtest.h>

#include <cmath>

#include "landscape/flow.h"
#include "model/grid.h"
#include "model/step.h"
#include "test_support.h"

namespace {

using namespace marovi;

long long LarvaeInGrid(const Model& m, int species = -1)
{
    long long n = 0;
    for (const TCell& c : m.Cells) n += species < 0 ? c.LarvaeCount : c.Larvae[static_cast<size_t>(species)];
    return n;
}

// One species at (x, y) with `adults` reproducing adults and the given fecundity.
Model Parents(int adults, double fecundity, int32_t seed = 9)
{
    Model m = test::MakeModel(21, 21, 1, 100, seed);
    m.SpeciesPool[0].Fecundity[0] = fecundity;
    for (int i = 0; i < adults; ++i) test::Place(m, 10, 10, 0, 5, 0);
    return m;
}

TEST(Release, LarvaeAreTheRoundedCellTotal)
{
    struct Case { int adults; double fecundity; long long larvae; };
    for (Case c : {Case{1, 0.4, 0}, Case{3, 0.4, 1}, Case{2, 1.25, 2}, Case{2, 1.75, 4}, Case{4, 0.625, 2}}) {
        Model m = Parents(c.adults, c.fecundity);
        ReleaseLarvae(m, 10, 10);
        EXPECT_EQ(LarvaeInGrid(m), c.larvae) << c.adults << " x " << c.fecundity;
        for (const TIndividual& ind : m.Cell(10, 10).Individuals) EXPECT_EQ(ind.LastReproduction, 5);
    }
}

TEST(Release, NoLarvaeMeansNoDraws)
{
    Model m = Parents(1, 0.4);
    const int next = m.Random.Next;
    ReleaseLarvae(m, 10, 10);
    EXPECT_EQ(m.Random.Next, next);
    EXPECT_EQ(m.Cell(10, 10).Individuals[0].LastReproduction, 5); // marked although no larva results
    m.OnlyGlobalDrift = true;
    m.Cell(10, 10).Individuals[0].Age = 9;
    ReleaseLarvae(m, 10, 10);
    EXPECT_EQ(m.Cell(10, 10).Individuals[0].LastReproduction, 5); // not even counted
}

TEST(Release, DrawOrderOfPatchAndLarvae)
{
    for (bool torus : {true, false}) {
        Model m = Parents(3, 4.0, 21);
        m.Torus = torus;
        m.SpeciesPool[0].DispersalDistance = 6.0;
        m.SpeciesPool[0].PatchSize = 3.0;
        NewFlowGrid(m.FlowGrid, 1, 1, 0.3, 1.1, 1.7);
        TRandom r = m.Random;
        ReleaseLarvae(m, 10, 10);

        Model expected = Parents(3, 4.0, 21);
        expected.Torus = torus;
        auto exponential = [&](double d) {
            double u = r.Uniform();
            return u == 0 ? 0.0 : d * -std::log(u);
        };
        double angle = r.Gauss() * 1.1 + 0.3;
        double dist = exponential(6.0) * 1.7;
        double cx = 10 + std::cos(angle) * dist, cy = 10 + std::sin(angle) * dist;
        int lost = 0;
        for (int i = 0; i < 12; ++i) {
            double a = r.Gauss() * 1.1 + 0.3; // the angle first, then the kernel's draw
            double d = exponential(3.0) * 1.7;
            int tx = static_cast<int>(std::nearbyint(cx + std::cos(a) * d));
            int ty = static_cast<int>(std::nearbyint(cy + std::sin(a) * d));
            if (WrapCoordinates(expected, tx, ty)) {
                expected.Cell(tx, ty).Larvae[0] += 1;
                expected.Cell(tx, ty).LarvaeCount += 1;
            } else {
                ++lost;
            }
        }
        for (int x = 0; x < 21; ++x)
            for (int y = 0; y < 21; ++y) {
                ASSERT_EQ(m.Cell(x, y).Larvae, expected.Cell(x, y).Larvae) << x << "," << y;
                ASSERT_EQ(m.Cell(x, y).LarvaeCount, expected.Cell(x, y).LarvaeCount);
            }
        EXPECT_EQ(LarvaeInGrid(m) + lost, 12);
        EXPECT_EQ(m.Random.Next, r.Next);
        EXPECT_EQ(m.Random.GaussCached, r.GaussCached);
    }
}

TEST(Release, WrapAroundOrLoss)
{
    // A parent at the edge with a long dispersal distance: on a torus every larva lands,
    // without it many are lost.
    for (bool torus : {true, false}) {
        Model m = test::MakeModel(5, 5, 1, 100, 4);
        m.Torus = torus;
        m.SpeciesPool[0].Fecundity[0] = 50.0;
        m.SpeciesPool[0].DispersalDistance = 0.0;
        m.SpeciesPool[0].PatchSize = 3.0;
        test::Place(m, 0, 4, 0, 5);
        ReleaseLarvae(m, 0, 4);
        if (torus)
            EXPECT_EQ(LarvaeInGrid(m), 50);
        else {
            EXPECT_LT(LarvaeInGrid(m), 50);
            EXPECT_GT(LarvaeInGrid(m), 0);
        }
    }
}

TEST(Release, ZeroDistancesOrZeroSpeedKeepLarvaeAtHome)
{
    for (int variant = 0; variant < 3; ++variant) {
        Model m = Parents(2, 10.0, 5 + variant);
        if (variant == 0) {
            m.SpeciesPool[0].DispersalDistance = 0.0;
            m.SpeciesPool[0].PatchSize = 0.0;
        } else {
            NewFlowGrid(m.FlowGrid, 1, 1, 1.0, 2.0, 0.0); // flow speed 0
            m.DispersalKernel = variant == 1 ? TKernel::Diffusion : TKernel::Uniform;
            m.PatchKernel = variant == 1 ? TKernel::Uniform : TKernel::Diffusion;
        }
        ReleaseLarvae(m, 10, 10);
        EXPECT_EQ(m.Cell(10, 10).Larvae[0], 20) << variant;
        EXPECT_EQ(LarvaeInGrid(m), 20) << variant;
    }
}

TEST(Release, KernelsScaleTheirOwnDraw)
{
    Model m = test::MakeModel(1, 1, 1, 1, 77);
    TRandom r = m.Random;
    EXPECT_EQ(KernelDraw(m, TKernel::Uniform, 3.0), 3.0 * r.Uniform());
    EXPECT_EQ(KernelDraw(m, TKernel::Diffusion, 2.0), 2.0 * std::fabs(r.Gauss()));
    double u = r.Uniform();
    EXPECT_EQ(KernelDraw(m, TKernel::Exponential, 1.5), 1.5 * -std::log(u));
    u = r.Uniform();
    EXPECT_EQ(KernelDraw(m, static_cast<TKernel>(9), 1.5), 1.5 * -std::log(u)); // unknown code: exponential
    EXPECT_EQ(m.Random.Next, r.Next);
    // u = 0 gives distance 0 rather than infinity.
    Model zero = test::MakeModel(1, 1, 1, 1);
    zero.Random = TRandom{}; // an unseeded stream returns 0
    EXPECT_EQ(KernelDraw(zero, TKernel::Exponential, 4.0), 0.0);
}

TEST(Release, FluctuatingFactorIsDrawnForEverySpecies)
{
    Model m = test::MakeModel(11, 11, 3, 100, 31);
    m.FluctRepro = true;
    m.FluctReproMin = 0;
    m.FluctReproMax = 3;
    m.SpeciesPool[1].Fecundity[0] = 2.0;
    test::Place(m, 5, 5, 1, 4); // only species 1 present
    TRandom r = m.Random;
    ReleaseLarvae(m, 5, 5);
    int f0 = r.RandomInt(4);
    int f1 = r.RandomInt(4);
    (void)f0;
    long long expected = 2LL * f1;
    if (expected > 0) {
        r.Gauss();
        r.Uniform();
        for (long long i = 0; i < expected; ++i) {
            r.Gauss();
            r.Uniform();
        }
    }
    r.RandomInt(4); // species 2, with no individuals, draws its factor too
    EXPECT_EQ(LarvaeInGrid(m), expected);
    EXPECT_GT(expected, 0);
    EXPECT_EQ(m.Random.Next, r.Next);
}

// External drift ---------------------------------------------------------------------------

Model DriftModel(int32_t seed)
{
    Model m = test::MakeModel(2, 2, 4, 10, seed);
    m.SpeciesPool[1].GlobalDrift = true;
    m.SpeciesPool[3].GlobalDrift = true;
    m.AnyGlobalDrift = true;
    m.ExternalDriftProb = 1.0;
    m.MaxDriftLarvae = 40;
    m.LastAbundance = TSpeciesCounts{5, 3, 8, 2};
    return m;
}

TEST(ExternalDrift, NothingWithoutDriftingSpecies)
{
    Model m = DriftModel(3);
    m.AnyGlobalDrift = false;
    const int next = m.Random.Next;
    ExternalDrift(m, 0, 0);
    EXPECT_EQ(m.Random.Next, next);
    EXPECT_EQ(m.Cell(0, 0).LarvaeCount, 0);
}

TEST(ExternalDrift, ProbabilityZeroCostsOneDraw)
{
    Model m = DriftModel(3);
    m.ExternalDriftProb = 0.0;
    TRandom r = m.Random;
    ExternalDrift(m, 0, 0);
    r.Uniform();
    EXPECT_EQ(m.Random.Next, r.Next);
    EXPECT_EQ(m.Cell(0, 0).LarvaeCount, 0);
}

TEST(ExternalDrift, UniformPicksKeepOnlyDriftingPresentFertileSpecies)
{
    Model m = DriftModel(8);
    m.SpeciesPool[3].Fecundity[0] = 0.0; // drifts in name only
    TRandom r = m.Random;
    ExternalDrift(m, 1, 1);
    TSpeciesCounts expected{};
    r.Uniform();
    int n = r.RandomInt(40);
    for (int i = 0; i < n; ++i) {
        int s = r.RandomInt(4);
        if (s == 1) expected[1] += 1;
    }
    EXPECT_EQ(m.Cell(1, 1).Larvae, expected);
    EXPECT_EQ(m.Cell(1, 1).LarvaeCount, expected[1]);
    EXPECT_GT(expected[1], 0);
    EXPECT_EQ(m.Random.Next, r.Next);
    // A drifting species absent in the last census gets no larvae either.
    m.LastAbundance[1] = 0;
    m.Cell(0, 0).Larvae.fill(0);
    ExternalDrift(m, 0, 0);
    EXPECT_EQ(m.Cell(0, 0).LarvaeCount, 0);
}

TEST(ExternalDrift, ProportionalPicks)
{
    Model m = DriftModel(12);
    m.ProportionalDrift = true;
    m.SpeciesPool[0].Fecundity[0] = 0.25; // w = Round(5 x 0.25) = Round(1.25) = 1
    m.SpeciesPool[1].Fecundity[0] = 0.5;  // w = Round(1.5) = 2
    m.SpeciesPool[2].Fecundity[0] = 0.0;  // w = 0
    m.SpeciesPool[3].Fecundity[0] = 1.25; // w = Round(2.5) = 2
    TRandom r = m.Random;
    ExternalDrift(m, 0, 1);
    const double w[4] = {1, 2, 0, 2};
    TSpeciesCounts expected{};
    r.Uniform();
    int n = r.RandomInt(40);
    for (int i = 0; i < n; ++i) {
        double u = r.Uniform(), sum = 0;
        int s = 0;
        for (;; ++s) {
            sum += w[s] / 5;
            if (sum >= u || s == 3) break;
        }
        if (s == 1 || s == 3) expected[static_cast<size_t>(s)] += 1; // species 0 does not drift
    }
    EXPECT_EQ(m.Cell(0, 1).Larvae, expected);
    EXPECT_EQ(m.Random.Next, r.Next);

    // Nothing to pick: no uniform is drawn per larva.
    Model none = DriftModel(12);
    none.ProportionalDrift = true;
    none.LastAbundance.fill(0);
    TRandom q = none.Random;
    ExternalDrift(none, 0, 1);
    q.Uniform();
    q.RandomInt(40);
    EXPECT_EQ(none.Random.Next, q.Next);
    EXPECT_EQ(none.Cell(0, 1).LarvaeCount, 0);
}

TEST(ExternalDrift, CommonRhythmWeights)
{
    for (bool proportional : {false, true}) {
        Model m = DriftModel(17);
        m.OldReproInterval = false;
        m.ProportionalDrift = proportional;
        m.SpeciesPool[0].GlobalDrift = true;
        m.SpeciesPool[0].ReproInterval = 2; // out of rhythm in step 3
        m.TimeStep = 3;
        TRandom r = m.Random;
        ExternalDrift(m, 1, 0);
        // Weights: species 1 and 3 (LastAbundance 3 and 2 when proportional), normalised.
        double w[4] = {0, proportional ? 3.0 : 1.0, 0, proportional ? 2.0 : 1.0};
        double total = w[1] + w[3];
        for (double& v : w) v /= total;
        TSpeciesCounts expected{};
        r.Uniform();
        int n = r.RandomInt(40);
        for (int i = 0; i < n; ++i) {
            double u = r.Uniform(), sum = 0;
            int s = 0;
            for (; s < 3; ++s) {
                sum += w[s];
                if (sum >= u) break;
            }
            expected[static_cast<size_t>(s)] += 1;
        }
        EXPECT_EQ(m.Cell(1, 0).Larvae, expected) << proportional;
        EXPECT_EQ(m.Random.Next, r.Next);
    }
    // No weight at all: stop before the per-larva draws.
    Model m = DriftModel(17);
    m.OldReproInterval = false;
    for (TSpecies& s : m.SpeciesPool) s.ReproInterval = 2;
    m.TimeStep = 5;
    TRandom r = m.Random;
    ExternalDrift(m, 1, 0);
    r.Uniform();
    r.RandomInt(40);
    EXPECT_EQ(m.Random.Next, r.Next);
    EXPECT_EQ(m.Cell(1, 0).LarvaeCount, 0);
}

} // namespace
