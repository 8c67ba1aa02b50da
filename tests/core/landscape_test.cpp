#include <gtest/gtest.h>

#include <cmath>

#include "disturbance/disturbance.h"
#include "landscape/flow.h"
#include "landscape/landscape.h"
#include "model/grid.h"
#include "model/simulation.h"
#include "test_support.h"

namespace {

using namespace marovi;

uint32_t Rgb(int r, int g, int b) { return static_cast<uint32_t>(r << 16 | g << 8 | b); }

TEST(Landscape, SetCellCapacityClampsAndResetsSubstrate)
{
    Model m = test::MakeModel(2, 2, 1, 0);
    m.Cell(1, 0).Substrate = 3;
    SetCellCapacity(m, 1, 0, 40);
    EXPECT_EQ(m.Cell(1, 0).Capacity, 40);
    EXPECT_EQ(m.Cell(1, 0).Substrate, 255u);
    EXPECT_GE(m.Cell(1, 0).Individuals.capacity(), 40u);
    SetCellCapacity(m, 1, 0, 101);
    EXPECT_EQ(m.Cell(1, 0).Capacity, 100);
    SetCellCapacity(m, 1, 0, -3);
    EXPECT_EQ(m.Cell(1, 0).Capacity, 0);
}

TEST(Landscape, RandomLandscapeOneDrawPerCellInColumnOrder)
{
    Model m = test::MakeModel(4, 3, 1, 0, 19);
    m.HighCapacity = 12;
    m.LowCapacity = 3;
    TRandom r = m.Random;
    RandomLandscape(m, 0.4);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 3; ++y) EXPECT_EQ(m.Cell(x, y).Capacity, r.Uniform() <= 0.4 ? 12 : 3);
    EXPECT_EQ(m.Random.Next, r.Next);
    RandomLandscape(m, 1.0);
    for (const TCell& c : m.Cells) EXPECT_EQ(c.Capacity, 12);
    m.HighCapacity = 500;
    RandomLandscape(m, 1.0);
    for (const TCell& c : m.Cells) EXPECT_EQ(c.Capacity, 100);
}

TEST(Landscape, FractalThreeByThree)
{
    for (int32_t seed : {1, 2, 3, 4}) {
        Model m = test::MakeModel(3, 3, 1, 0, seed);
        TRandom r = m.Random;
        FractalLandscape(m, 10, 5, true, 0.5);
        const double d = r.Gauss() * 10.0;
        EXPECT_EQ(m.Random.Next, r.Next); // exactly one Gaussian draw
        const int centre = d > 0 ? 5 : 10, rim = d > 0 ? 10 : 5;
        EXPECT_EQ(m.Cell(1, 1).Capacity, centre) << seed;
        for (auto [x, y] : {std::pair{0, 0}, {2, 2}, {1, 0}, {0, 1}, {2, 1}, {1, 2}}) EXPECT_EQ(m.Cell(x, y).Capacity, rim);
        // Continuous: capacity Round(5 f), f normalised between the lowest and the highest
        // centre value (d and 0).
        Model c = test::MakeModel(3, 3, 1, 0, seed);
        FractalLandscape(c, 10, 5, false, 0.5);
        if (d > 0) {
            EXPECT_EQ(c.Cell(1, 1).Capacity, 5);
            EXPECT_EQ(c.Cell(1, 0).Capacity, 2); // Round(5 x 1/3)
            EXPECT_EQ(c.Cell(0, 0).Capacity, 0);
        } else {
            EXPECT_EQ(c.Cell(1, 1).Capacity, 0);
            EXPECT_EQ(c.Cell(1, 0).Capacity, 3); // Round(5 x 2/3)
            EXPECT_EQ(c.Cell(0, 0).Capacity, 5);
        }
    }
}

TEST(Landscape, FractalWithoutRangeIsFlat)
{
    for (int side : {1, 2}) {
        Model m = test::MakeModel(side, side, 1, 0, 7);
        const int next = m.Random.Next;
        FractalLandscape(m, 10, 5, true, 0.5);
        EXPECT_EQ(m.Random.Next, next); // the first call returns at once
        for (const TCell& c : m.Cells) EXPECT_EQ(c.Capacity, 10); // level 0 everywhere: not above pHigh
        FractalLandscape(m, 10, 5, false, 0.5);
        for (const TCell& c : m.Cells) EXPECT_EQ(c.Capacity, 0);
    }
    Model m = test::MakeModel(2, 2, 1, 0, 7);
    FractalLandscape(m, 10, 5, true, -0.1); // every level is above a negative threshold
    for (const TCell& c : m.Cells) EXPECT_EQ(c.Capacity, 5);
}

TEST(Landscape, ContinuousFractalSpansTheDifference)
{
    Model m = test::MakeModel(17, 13, 1, 0, 11);
    FractalLandscape(m, 10, 5, false, 0.5);
    int lo = 100, hi = -1;
    for (const TCell& c : m.Cells) {
        lo = std::min(lo, c.Capacity);
        hi = std::max(hi, c.Capacity);
    }
    EXPECT_GE(lo, 0);
    EXPECT_LE(hi, 5);
    EXPECT_EQ(hi, 5);
}

TEST(Landscape, ImageCapacities)
{
    Model m = test::MakeModel(2, 2, 1, 0);
    m.HighCapacity = 10;
    m.LowCapacity = 5;
    InitialFill(m, 1);
    // 2 x 2 image, top row first: greys 0 (black), 0.9 and white.
    TGreyImage img{2, 2, {Rgb(0, 0, 0), Rgb(230, 230, 230), Rgb(255, 255, 255), Rgb(26, 26, 26)}};
    // grey(230) = Round(230)/255 = 0.902; grey(26) = 0.102.
    LandscapeFromImage(m, img);
    const double gMax = 230.0 / 255, gMin = 0.0;
    auto expected = [&](double grey) {
        double v = 1 - grey;
        if (v < 0.1) return 0;
        return 5 + static_cast<int>(std::nearbyint((v - gMin) / (gMax - gMin) * 5));
    };
    // Landscape row y = 1 (top) samples image row 0; row 0 samples image row 1.
    EXPECT_EQ(m.Cell(0, 1).Capacity, expected(0.0)); // 5 + Round(1/0.902 x 5) = 11: above HighCapacity
    EXPECT_EQ(m.Cell(0, 1).Capacity, 11);
    EXPECT_EQ(m.Cell(1, 1).Capacity, 0); // darkness 0.098 < 0.1
    EXPECT_EQ(m.Cell(0, 0).Capacity, 0); // white
    EXPECT_EQ(m.Cell(1, 0).Capacity, expected(26.0 / 255));
    for (const TCell& c : m.Cells) {
        EXPECT_EQ(c.IndividualCount, 0); // the image clears every cell
        EXPECT_EQ(c.Substrate, 255u);
    }
}

TEST(Landscape, ImageEdgeCases)
{
    Model m = test::MakeModel(3, 3, 1, 0);
    LandscapeFromImage(m, TGreyImage{2, 1, {Rgb(255, 255, 255), Rgb(255, 255, 255)}});
    for (const TCell& c : m.Cells) EXPECT_EQ(c.Capacity, 0); // pure white
    LandscapeFromImage(m, TGreyImage{});
    for (const TCell& c : m.Cells) EXPECT_EQ(c.Capacity, 0); // an empty image reads as white
    // One grey has no range: the full grey scale is used, darkness 0.6 -> 5 + Round(0.6 x 5) = 8.
    LandscapeFromImage(m, TGreyImage{1, 1, {Rgb(102, 102, 102)}});
    for (const TCell& c : m.Cells) EXPECT_EQ(c.Capacity, 8);
    // Darkness far below the smallest grey gives a negative value: clamped to 0.
    m.LowCapacity = 0;
    m.HighCapacity = 100;
    LandscapeFromImage(m, TGreyImage{1, 3, {Rgb(0, 0, 0), Rgb(20, 20, 20), Rgb(200, 200, 200)}});
    for (const TCell& c : m.Cells) {
        EXPECT_GE(c.Capacity, 0);
        EXPECT_LE(c.Capacity, 100);
    }
    // A one-pixel-wide image for a wider grid: the sampled column never leaves the image.
    Model wide = test::MakeModel(5, 1, 1, 0);
    LandscapeFromImage(wide, TGreyImage{1, 1, {Rgb(0, 0, 0)}});
    for (const TCell& c : wide.Cells) EXPECT_EQ(c.Capacity, 10);
}

TEST(Landscape, Painting)
{
    Model m = test::MakeModel(6, 5, 1, 3);
    m.Cell(2, 2).Substrate = 4;
    PaintCapacity(m, 4, 2, 3, 1, 7); // right to left, top to bottom
    int painted = 0;
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 5; ++y) {
            bool inside = x >= 2 && x <= 4 && y >= 1 && y <= 3;
            EXPECT_EQ(m.Cell(x, y).Capacity, inside ? 7 : 3);
            painted += inside;
        }
    EXPECT_EQ(painted, 9);
    EXPECT_EQ(m.Cell(2, 2).Substrate, 4u); // painting leaves the substrate
    EXPECT_EQ(m.CapacityScaleMin, 5);
    EXPECT_EQ(m.CapacityScaleMax, 10);
    PaintCapacity(m, -5, 99, 0, 0, 20); // clamped to the grid
    EXPECT_EQ(m.Cell(0, 0).Capacity, 20);
    EXPECT_EQ(m.Cell(5, 0).Capacity, 20);
    EXPECT_EQ(m.CapacityScaleMax, 20);
    PaintCapacity(m, 0, 0, 0, 0, 0);
    EXPECT_EQ(m.CapacityScaleMin, 5); // 0 leaves the scale
    PaintCapacity(m, 0, 0, 0, 0, 2);
    EXPECT_EQ(m.CapacityScaleMin, 2);
    PaintCapacity(m, 1, 1, 0, 0, 250);
    EXPECT_EQ(m.Cell(1, 0).Capacity, 100);
    EXPECT_EQ(m.CapacityScaleMax, 100);
    PaintCapacity(m, 1, 1, 0, 0, -8);
    EXPECT_EQ(m.Cell(1, 0).Capacity, 0);
    Model empty;
    PaintCapacity(empty, 0, 1, 0, 1, 5); // no grid: nothing to paint
}

TEST(Landscape, CapacityColourScale)
{
    Model m;
    EXPECT_EQ(CapacityColour(m, 0), 0xFFFFFFu);
    EXPECT_EQ(CapacityColour(m, 5), Rgb(100, 0, 0));
    EXPECT_EQ(CapacityColour(m, 10), Rgb(200, 0, 0));
    EXPECT_EQ(CapacityColour(m, 7), Rgb(140, 0, 0));
    EXPECT_EQ(CapacityColour(m, 13), Rgb(4, 0, 0)); // 260 wraps
    EXPECT_EQ(CapacityColour(m, 1), Rgb(20, 0, 0));
    EXPECT_EQ(CapacityColour(m, -1), Rgb(236, 0, 0)); // -20 wraps
    m.CapacityScaleMax = 5;
    EXPECT_EQ(CapacityColour(m, 8), Rgb(100, 0, 0)); // no range: the darkest red
}

TEST(Landscape, ProbabilityFields)
{
    EXPECT_EQ(ApplyHighProbField(0.5, 0.3), 0.3);
    EXPECT_EQ(ApplyHighProbField(0.5, 1.2), 0.5);
    EXPECT_EQ(ApplyHighProbField(0.5, -0.1), 0.5);
    EXPECT_EQ(ApplyHighProbField(0.5, 1.0), 1.0);
    EXPECT_EQ(ApplyLowProbField(0.5, 0.25), 0.75);
    EXPECT_EQ(ApplyLowProbField(0.5, 1.5), 0.5);
    EXPECT_EQ(ApplyLowProbField(0.5, std::nan("")), 0.5);
}

TEST(Landscape, NewLandscapeResetsGridFlowAndDisturbances)
{
    Model m = test::MakeModel(4, 4, 2, 6, 3);
    InitialFill(m, 3);
    AddStandardDisturbance(m);
    NewFlowGrid(m.FlowGrid, 2, 2, 1.0, 0.1, 3.0);
    NewLandscape(m, 7, 5);
    EXPECT_EQ(m.XDim, 7);
    EXPECT_EQ(m.YDim, 5);
    EXPECT_TRUE(m.Disturbances.empty());
    for (const TCell& c : m.Cells) {
        EXPECT_EQ(c.Capacity, 0);
        EXPECT_EQ(c.Substrate, 255u);
        EXPECT_EQ(c.IndividualCount, 0);
    }
    ASSERT_EQ(m.FlowGrid.XCount, 1);
    ASSERT_EQ(m.FlowGrid.YCount, 1);
    EXPECT_DOUBLE_EQ(m.FlowGrid.Cell(0, 0).Direction, M_PI / 2);
    EXPECT_DOUBLE_EQ(m.FlowGrid.Cell(0, 0).Deviation, 2 * M_PI);
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Speed, 1.0);
    EXPECT_EQ(test::ErrorText([&] { NewLandscape(m, 0, 3); }), "invalid grid size 0 x 3!");
    EXPECT_EQ(m.XDim, 7); // refused before anything changed
}

TEST(Landscape, ChangedStartFillKeepsLandscapeFlowAndDisturbances)
{
    Model m;
    InitStartupModel(m, 5, 12, 10);
    m.RandomSeed = 77;
    AddStandardDisturbance(m);
    NewFlowGrid(m.FlowGrid, 2, 3, 1.0, 0.2, 0.5);
    std::vector<int32_t> capacities;
    for (const TCell& c : m.Cells) capacities.push_back(c.Capacity);
    NewSimulationModel(m, 0, 4);
    EXPECT_EQ(m.StartFill, 4);
    for (size_t i = 0; i < m.Cells.size(); ++i) EXPECT_EQ(m.Cells[i].Capacity, capacities[i]);
    EXPECT_EQ(m.Disturbances.size(), 1u);
    EXPECT_EQ(m.FlowGrid.XCount, 2);
    EXPECT_EQ(m.FlowGrid.Cell(1, 2).Speed, 0.5);
    long long filled = 0;
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 10; ++y) {
            const TCell& c = m.Cell(x, y);
            EXPECT_EQ(c.IndividualCount, x <= 4 ? c.Capacity : 0);
            filled += c.IndividualCount;
        }
    EXPECT_GT(filled, 0); // not an empty simulation for ever
    EXPECT_EQ(m.TimeStep, 0);
}

TEST(Landscape, StartupStateColoursEverySpecies)
{
    Model m;
    InitStartupModel(m, 5, 12, 10);
    // Species 1 is pure red on the hue circle; as a stored Windows colour that is 0x0000FF.
    EXPECT_EQ(m.SpeciesPool[0].Color, 0x0000FF);
    for (int s = 0; s <= m.SpeciesMax; ++s) EXPECT_NE(m.SpeciesPool[static_cast<size_t>(s)].Color, 0) << s;
}

} // namespace
