#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "disturbance/disturbance.h"
#include "model/grid.h"
#include "model/simulation.h"
#include "model/step.h"
#include "test_support.h"

namespace {

using namespace marovi;
using Cells = std::set<std::pair<int, int>>;

Cells Disturbed(const Model& m)
{
    Cells cells;
    for (int x = 0; x < m.XDim; ++x)
        for (int y = 0; y < m.YDim; ++y)
            if (m.Cell(x, y).DisturbanceCount > 0) cells.insert({x, y});
    return cells;
}

// One footprint of a fixed size and direction; the centre is drawn over the whole grid.
TDisturbanceDef Footprint(Model& m, double size, double direction, double probability = 1.0)
{
    AddDisturbance(m, 0, 0, m.XMax, m.YMax, false, size, 0.0, size, 0.0, probability, 1.0, direction, 0.0, 4, 1);
    TDisturbanceDef d = m.Disturbances.back();
    m.Disturbances.pop_back();
    return d;
}

// Replays the centre draws of one footprint: (cx, cy).
std::pair<int, int> Centre(TRandom& r, const TDisturbanceDef& d)
{
    int cx = d.X1 + r.RandomInt(d.X2 - d.X1);
    int cy = d.Y2 + r.RandomInt(d.Y1 - d.Y2);
    return {cx, cy};
}

TEST(Disturbance, StandardDefinition)
{
    Model m = test::MakeModel(30, 20, 1, 5);
    AddStandardDisturbance(m);
    const TDisturbanceDef& d = m.Disturbances.at(0);
    EXPECT_EQ(d.X1, 0);
    EXPECT_EQ(d.Y1, 0);
    EXPECT_EQ(d.X2, 29);
    EXPECT_EQ(d.Y2, 19);
    EXPECT_EQ(d.XSize, 10.0);
    EXPECT_EQ(d.XSizeDev, 2.0);
    EXPECT_EQ(d.YSize, 10.0);
    EXPECT_EQ(d.YSizeDev, 2.0);
    EXPECT_FALSE(d.Clipping);
    EXPECT_EQ(d.Probability[0], 1.5);
    EXPECT_EQ(d.Severity, 1.0);
    EXPECT_EQ(d.Substrate, 1);
    EXPECT_EQ(d.Direction, 0.0);
    EXPECT_DOUBLE_EQ(d.Deviation, 2 * M_PI);
    EXPECT_EQ(d.Subevents, 1);
    EXPECT_EQ(d.LastEvent, 0);
    EXPECT_EQ(test::ErrorText([&] { AddDisturbance(m, 0, 0, 1, 1, false, 1, 0, 1, 0, 1, 1, 0, 0, 256, 1); }),
              "substrate 256 out of range!");
    EXPECT_EQ(m.Disturbances.size(), 1u);
}

TEST(Disturbance, ElevenByElevenBlock)
{
    Model m = test::MakeModel(40, 40, 1, 5, 81);
    const TDisturbanceDef d = Footprint(m, 10.0, 0.0);
    TRandom r = m.Random;
    ApplyDisturbance(m, d);
    r.Uniform();
    auto [cx, cy] = Centre(r, d);
    Cells expected;
    for (int x = cx - 5; x <= cx + 5; ++x)
        for (int y = cy - 5; y <= cy + 5; ++y) {
            int wx = x, wy = y;
            WrapCoordinates(m, wx, wy);
            expected.insert({wx, wy});
        }
    EXPECT_EQ(Disturbed(m), expected);
    EXPECT_EQ(m.DisturbedCellCount, 121);
    EXPECT_EQ(m.DisturbanceEventCount, 1);
    const TCell& c = m.Cell(cx, cy);
    EXPECT_EQ(c.Substrate, 4u);
    EXPECT_EQ(c.CellAge, 0);
}

TEST(Disturbance, RotatedFootprintUsesTheRoundedBackRotation)
{
    Model m = test::MakeModel(40, 40, 1, 5, 82);
    const double a = M_PI / 4;
    const TDisturbanceDef d = Footprint(m, 10.0, a);
    TRandom r = m.Random;
    ApplyDisturbance(m, d);
    r.Uniform();
    auto [cx, cy] = Centre(r, d);
    const double angle = r.Gauss() * 0.0 + a;
    const double c = std::cos(-angle), s = std::sin(-angle);
    Cells expected;
    for (int dx = -9; dx <= 9; ++dx) // wider than the reach Round(sqrt(50)) + 1 = 8
        for (int dy = -9; dy <= 9; ++dy) {
            int rx = static_cast<int>(std::nearbyint(dx * c - dy * s));
            int ry = static_cast<int>(std::nearbyint(dy * c + dx * s));
            if (std::abs(rx) <= 5 && std::abs(ry) <= 5) expected.insert({cx + dx, cy + dy});
        }
    EXPECT_EQ(Disturbed(m), expected);
    EXPECT_EQ(expected.size(), 113u);
    EXPECT_TRUE(expected.count({cx, cy + 7}));
    EXPECT_FALSE(expected.count({cx + 5, cy + 5}));
}

TEST(Disturbance, FootprintSizesAndDrawOrder)
{
    Model m = test::MakeModel(50, 50, 1, 5, 83);
    AddDisturbance(m, 5, 40, 45, 10, false, 6.0, 2.5, 3.0, 1.5, 1.0, 1.0, 0.3, 0.7, 9, 2);
    const TDisturbanceDef d = m.Disturbances[0];
    TRandom r = m.Random;
    ApplyDisturbance(m, d);
    long long cells = 0;
    r.Uniform();
    for (int k = 0; k < 2; ++k) {
        auto [cx, cy] = Centre(r, d);
        EXPECT_GE(cx, 5);
        EXPECT_LE(cx, 44);
        EXPECT_GE(cy, 10); // Y2 + RandomInt(Y1 - Y2)
        EXPECT_LE(cy, 40);
        double a = r.Gauss() * 0.7 + 0.3;
        int sx = std::abs(static_cast<int>(std::nearbyint(r.Gauss() * 2.5 + 6.0)));
        int sy = std::abs(static_cast<int>(std::nearbyint(r.Gauss() * 1.5 + 3.0)));
        int hx = static_cast<int>(std::nearbyint(sx / 2.0)), hy = static_cast<int>(std::nearbyint(sy / 2.0));
        int reach = static_cast<int>(std::nearbyint(std::sqrt(hx * hx + hy * hy))) + 1;
        double c = std::cos(-a), s = std::sin(-a);
        for (int dx = -reach; dx <= reach; ++dx)
            for (int dy = -reach; dy <= reach; ++dy) {
                int rx = static_cast<int>(std::nearbyint(dx * c - dy * s));
                int ry = static_cast<int>(std::nearbyint(dy * c + dx * s));
                if (std::abs(rx) <= hx && std::abs(ry) <= hy) ++cells;
            }
    }
    EXPECT_EQ(m.DisturbedCellCount, cells);
    EXPECT_EQ(m.DisturbanceEventCount, 1);
    EXPECT_EQ(m.Random.Next, r.Next); // no individuals, so no severity draws
}

TEST(Disturbance, HalfExtentsRoundHalfToEven)
{
    // Sizes 1, 3, 5, 7 give half extents 0, 2, 2, 4: blocks of 1, 5, 5 and 9 cells a side.
    struct Case { double size; int side; };
    for (Case k : {Case{1, 1}, Case{3, 5}, Case{5, 5}, Case{7, 9}, Case{0.4, 1}, Case{-7, 9}}) {
        Model m = test::MakeModel(30, 30, 1, 5, 84);
        ApplyDisturbance(m, Footprint(m, k.size, 0.0));
        EXPECT_EQ(m.DisturbedCellCount, k.side * k.side) << k.size;
    }
}

TEST(Disturbance, EdgesWrapOrCutTheFootprint)
{
    for (bool torus : {true, false}) {
        Model m = test::MakeModel(12, 12, 1, 5, 85);
        m.Torus = torus;
        AddDisturbance(m, 0, 12, 1, 11, false, 4.0, 0.0, 4.0, 0.0, 1.0, 1.0, 0.0, 0.0, 1, 1); // centre (0, 11)
        ApplyDisturbance(m, m.Disturbances[0]);
        // A 5 x 5 block around (0, 11): 9 cells inside the grid, 25 with wrap-around.
        EXPECT_EQ(m.DisturbedCellCount, torus ? 25 : 9);
        EXPECT_EQ(m.Cell(11, 0).DisturbanceCount, torus ? 1 : 0);
        EXPECT_EQ(m.Cell(2, 9).DisturbanceCount, 1);
    }
}

TEST(Disturbance, ClippingInBothYOrders)
{
    // Y1 > Y2 (the placement convention): cells between the two y values pass.
    Model m = test::MakeModel(30, 30, 1, 5, 86);
    AddDisturbance(m, 10, 17, 14, 13, true, 20.0, 0.0, 20.0, 0.0, 1.0, 1.0, 0.0, 0.0, 1, 1);
    ApplyDisturbance(m, m.Disturbances[0]);
    Cells expected;
    for (int x = 10; x <= 14; ++x)
        for (int y = 13; y <= 17; ++y) expected.insert({x, y});
    EXPECT_EQ(Disturbed(m), expected);
    // Y1 < Y2: no cell passes the y test, the event is still counted.
    Model n = test::MakeModel(30, 30, 1, 5, 86);
    AddDisturbance(n, 10, 13, 14, 17, true, 20.0, 0.0, 20.0, 0.0, 1.0, 1.0, 0.0, 0.0, 1, 1);
    ApplyDisturbance(n, n.Disturbances[0]);
    EXPECT_EQ(n.DisturbedCellCount, 0);
    EXPECT_EQ(n.DisturbanceEventCount, 1);
}

TEST(Disturbance, ProbabilityGivesWholeEventsPlusAChance)
{
    for (double p : {1.0, 2.0, 3.0}) {
        Model m = test::MakeModel(10, 10, 1, 5, 87);
        for (int step = 0; step < 20; ++step) ApplyDisturbance(m, Footprint(m, 0.0, 0.0, p));
        EXPECT_EQ(m.DisturbanceEventCount, 20 * p);
    }
    Model m = test::MakeModel(10, 10, 1, 5, 88);
    TRandom r = m.Random;
    ApplyDisturbance(m, Footprint(m, 0.0, 0.0, 2.5));
    int expected = 0;
    for (double p = 2.5; p > 0; p -= 1) {
        if (r.Uniform() < p) {
            ++expected;
            Centre(r, Footprint(m, 0.0, 0.0));
            r.Gauss();
            r.Gauss();
            r.Gauss();
        }
    }
    EXPECT_EQ(m.DisturbanceEventCount, expected);
    EXPECT_EQ(m.Random.Next, r.Next); // three uniforms for p = 2.5
    for (double p : {0.0, -1.0}) {
        Model z = test::MakeModel(10, 10, 1, 5, 89);
        TRandom q = z.Random;
        ApplyDisturbance(z, Footprint(z, 0.0, 0.0, p));
        q.Uniform(); // the first pass always draws
        EXPECT_EQ(z.DisturbanceEventCount, 0);
        EXPECT_EQ(z.Random.Next, q.Next);
    }
}

TEST(Disturbance, SubeventsPlaceSeveralFootprints)
{
    Model m = test::MakeModel(20, 20, 1, 5, 90);
    AddDisturbance(m, 0, 0, 19, 19, false, 0.0, 0.0, 0.0, 0.0, 1.0, 1.0, 0.0, 0.0, 1, 3);
    ApplyDisturbance(m, m.Disturbances[0]);
    EXPECT_EQ(m.DisturbanceEventCount, 1); // one event ...
    EXPECT_EQ(m.DisturbedCellCount, 3);    // ... three single-cell footprints
    Model none = test::MakeModel(20, 20, 1, 5, 90);
    AddDisturbance(none, 0, 0, 19, 19, false, 5.0, 0.0, 5.0, 0.0, 1.0, 1.0, 0.0, 0.0, 1, 0);
    ApplyDisturbance(none, none.Disturbances[0]);
    EXPECT_EQ(none.DisturbanceEventCount, 1);
    EXPECT_EQ(none.DisturbedCellCount, 0);
}

TEST(Disturbance, SeverityDrawsOncePerIndividual)
{
    for (double severity : {1.0, 0.0, 0.5}) {
        Model m = test::MakeModel(1, 1, 2, 20, 91);
        for (int i = 0; i < 12; ++i) test::Place(m, 0, 0, i % 2, 10);
        m.PrevLarvaeAt(0, 0)[1] = 4;
        m.Cell(0, 0).Larvae[1] = 3;
        m.Cell(0, 0).LarvaeCount = 3;
        TRandom r = m.Random;
        std::vector<int> survivors;
        for (int i = 0; i < 12; ++i)
            if (!(r.Uniform() <= severity)) survivors.push_back(i % 2);
        DisturbCell(m, 0, 0, 6, severity);
        const TCell& c = m.Cell(0, 0);
        ASSERT_EQ(c.Individuals.size(), survivors.size()) << severity;
        for (size_t i = 0; i < survivors.size(); ++i) EXPECT_EQ(c.Individuals[i].Species, survivors[i]);
        if (severity != 0.5) {
            // 1 kills all; 0 kills only on a draw of exactly 0.
            EXPECT_EQ(c.IndividualCount, severity == 1.0 ? 0 : 12);
        }
        EXPECT_EQ(m.Random.Next, r.Next);
        EXPECT_EQ(c.Substrate, 6u);
        EXPECT_EQ(c.DisturbanceCount, 1);
        EXPECT_EQ(m.PrevLarvaeAt(0, 0), TSpeciesCounts{});
        EXPECT_EQ(c.LarvaeCount, 3); // larvae of the step are not touched
        EXPECT_TRUE(test::CellInvariants(m));
    }
    // Severity 0 still kills on a draw of exactly 0 (an unseeded stream returns 0).
    Model z = test::MakeModel(1, 1, 1, 5);
    test::Place(z, 0, 0, 0, 3);
    z.Random = TRandom{};
    DisturbCell(z, 0, 0, 1, 0.0);
    EXPECT_EQ(z.Cell(0, 0).IndividualCount, 0);
}

TEST(Disturbance, RegionOfInterestClearsTheRectangle)
{
    Model m = test::MakeModel(8, 8, 1, 5, 92);
    InitialFill(m, 7);
    TDisturbanceDef roi;
    roi.X1 = 2;
    roi.Y1 = 3;
    roi.X2 = 4;
    roi.Y2 = 5;
    roi.XSize = 2;
    roi.YSize = 2;
    roi.Clipping = true;
    roi.Probability[0] = 1;
    m.RoiDisturbance = roi;
    m.RoiDisturbanceRequested = true;
    SimulationStep(m);
    EXPECT_FALSE(m.RoiDisturbanceRequested);
    EXPECT_EQ(m.DisturbanceEventCount, 1);
    EXPECT_EQ(m.DisturbedCellCount, 9);
    EXPECT_EQ(Disturbed(m).size(), 9u);
    for (int x = 2; x <= 4; ++x)
        for (int y = 3; y <= 5; ++y) {
            EXPECT_EQ(m.Cell(x, y).IndividualCount, 0);
            EXPECT_EQ(m.Cell(x, y).Substrate, 1u);
            EXPECT_EQ(m.Cell(x, y).CellAge, 0);
            EXPECT_EQ(m.Cell(x, y).DisturbanceCount, 1);
        }
    EXPECT_TRUE(test::CellInvariants(m));

    // The two Gaussian draws come right after the census, before any clearing.
    Model direct = test::MakeModel(8, 8, 1, 5, 93);
    TRandom q = direct.Random;
    ApplyRoiDisturbance(direct, roi);
    q.Gauss();
    q.Gauss();
    EXPECT_EQ(direct.Random.Next, q.Next);
    EXPECT_EQ(direct.Random.GaussCached, q.GaussCached);
}

TEST(Disturbance, ExtraDisturbance)
{
    // An empty list leaves the request pending.
    Model m = test::MakeModel(10, 10, 1, 5, 94);
    m.ExtraDisturbanceRequested = true;
    ApplyExtraDisturbance(m);
    EXPECT_TRUE(m.ExtraDisturbanceRequested);
    StepAndRefreshModel(m);
    EXPECT_TRUE(m.ExtraDisturbanceRequested);

    // A rare definition still produces at least one event after the step.
    AddDisturbance(m, 0, 0, 9, 9, false, 0.0, 0.0, 0.0, 0.0, 0.01, 1.0, 0.0, 0.0, 1, 1);
    const int before = m.DisturbanceEventCount;
    ApplyExtraDisturbance(m);
    EXPECT_GE(m.DisturbanceEventCount, before + 1);
    EXPECT_FALSE(m.ExtraDisturbanceRequested);

    // A first definition that can never fire drops the request instead of looping for ever.
    for (double p : {0.0, -0.5, std::nan("")}) {
        Model n = test::MakeModel(10, 10, 1, 5, 95);
        AddDisturbance(n, 0, 0, 9, 9, false, 0.0, 0.0, 0.0, 0.0, p, 1.0, 0.0, 0.0, 1, 1);
        AddDisturbance(n, 0, 0, 9, 9, false, 0.0, 0.0, 0.0, 0.0, 1.0, 1.0, 0.0, 0.0, 1, 1);
        n.ExtraDisturbanceRequested = true;
        const int next = n.Random.Next;
        ApplyExtraDisturbance(n);
        EXPECT_FALSE(n.ExtraDisturbanceRequested);
        EXPECT_EQ(n.DisturbanceEventCount, 0);
        EXPECT_EQ(n.Random.Next, next);
        if (p == 0.0) {
            EXPECT_EQ(ExtraDisturbanceRefusal(n), "the first disturbance definition never occurs (probability 0): it can not be forced!");
        }
    }
    EXPECT_EQ(ExtraDisturbanceRefusal(m), "");
}

TEST(Disturbance, StepAppliesDefinitionsInListOrderOnCopies)
{
    Model m = test::MakeModel(10, 10, 1, 5, 96);
    AddDisturbance(m, 0, 0, 9, 9, false, 0.0, 0.0, 0.0, 0.0, 1.0, 1.0, 0.0, 0.0, 2, 1);
    AddDisturbance(m, 0, 0, 9, 9, false, 30.0, 0.0, 30.0, 0.0, 1.0, 1.0, 0.0, 0.0, 8, 1);
    SimulationStep(m);
    EXPECT_EQ(m.DisturbanceEventCount, 2);
    for (const TCell& c : m.Cells) EXPECT_EQ(c.Substrate, 8u); // the second, covering all, came last
    EXPECT_EQ(m.Disturbances[0].LastEvent, 0);
}

} // namespace
