#include <gtest/gtest.h>

#include <cmath>

#include "analysis/states.h"
#include "analysis_test_util.h"
#include "colours/cell_colours.h"
#include "colours/hsl.h"
#include "colours/map_image.h"
#include "colours/species_colors.h"
#include "model/random.h"

using namespace marovi;
using testing_util::MakeModel;
using testing_util::Put;

TEST(Hsl, PrimaryColoursAndGreys)
{
    EXPECT_EQ(HSLtoRGB(0, 1, 0.5), 0xFF0000u);
    EXPECT_EQ(HSLtoRGB(1.0 / 3.0, 1, 0.5), 0x00FF00u);
    EXPECT_EQ(HSLtoRGB(2.0 / 3.0, 1, 0.5), 0x0000FFu);
    // Greys round the lightness, coloured channels truncate.
    EXPECT_EQ(HSLtoRGB(0.3, 0, 0.5), MakeRgb(128, 128, 128));
    EXPECT_EQ(HSLtoRGB(0.3, 0, 0.499), MakeRgb(127, 127, 127));
    // m1 = 1.2 - 1.0 is a hair below 0.2, and the truncation shows it.
    EXPECT_EQ(HSLtoRGB(0, 1, 0.6), MakeRgb(255, 50, 50));
    // Hues outside 0..1 come back onto the wheel.
    EXPECT_EQ(HSLtoRGB(1.0, 0.5, 0.5), HSLtoRGB(0.0, 0.5, 0.5));
    EXPECT_EQ(HSLtoRGB(0.0, 0.5, 0.5), MakeRgb(191, 63, 63));
}

TEST(Hsl, SaturationBeyondOneStaysAValidColour)
{
    uint32_t c = HSLtoRGB(0.2, 3.0, 0.5);
    EXPECT_LE(c, 0xFFFFFFu);
    EXPECT_EQ(RedOf(HSLtoRGB(0.0, 3.0, 0.5)), 255);
    EXPECT_EQ(GreenOf(HSLtoRGB(0.0, 3.0, 0.5)), 0);
}

TEST(Hsl, RoundTripsThroughRgb)
{
    for (uint32_t c : {0xFF0000u, 0x00FF00u, 0x0000FFu, 0xC0C0C0u, 0x808000u, 0x123456u, 0xFFFFFFu, 0x000000u}) {
        THsl h = RGBtoHSL(c);
        uint32_t back = HSLtoRGB(h.H, h.S, h.L);
        // Truncating channels may lose one step per channel, never more.
        EXPECT_NEAR(RedOf(back), RedOf(c), 1) << std::hex << c;
        EXPECT_NEAR(GreenOf(back), GreenOf(c), 1) << std::hex << c;
        EXPECT_NEAR(BlueOf(back), BlueOf(c), 1) << std::hex << c;
    }
    THsl blue = RGBtoHSL(0x0000FF);
    EXPECT_DOUBLE_EQ(blue.H, 4.0 / 6.0);
    EXPECT_DOUBLE_EQ(blue.S, 1.0);
    EXPECT_DOUBLE_EQ(blue.L, 0.5);
    THsl magenta = RGBtoHSL(0xFF00FF);  // red maximum with g < b: negative hue wraps
    EXPECT_DOUBLE_EQ(magenta.H, 5.0 / 6.0);
    THsl grey = RGBtoHSL(0x808080);
    EXPECT_EQ(grey.H, 0);
    EXPECT_EQ(grey.S, 0);
    EXPECT_DOUBLE_EQ(grey.L, 128.0 / 255.0);
}

TEST(SpeciesColours, SpreadOverTheWheelAndStoredAsWindowsColours)
{
    Model m;
    MakeModel(m, 10, 2, 2);
    m.SpeciesColor[20] = 0x123456;
    InitSpeciesColors(m);
    EXPECT_EQ(m.SpeciesColor[0], 0xFF0000u);
    EXPECT_EQ(m.SpeciesColor[9], HSLtoRGB(9.0 / 10 * 0.95, 1.0, 0.5));
    EXPECT_NEAR(RGBtoHSL(m.SpeciesColor[9]).H, 0.855, 0.005);
    EXPECT_EQ(m.SpeciesPool[0].Color, 0x0000FF);  // red in the lowest byte
    EXPECT_EQ(static_cast<uint32_t>(m.SpeciesPool[9].Color), SwapRedBlue(m.SpeciesColor[9]));
    EXPECT_EQ(m.SpeciesColor[20], 0x123456u);  // slots above SpeciesMax keep theirs

    m.SpeciesPool[3].Color = 0x00FF8040;  // stored colour of a loaded pool
    AdoptSpeciesColors(m);
    EXPECT_EQ(m.SpeciesColor[3], 0x4080FFu);
    m.SpeciesPool[0].Color = 0;
    AdoptSpeciesColors(m);
    EXPECT_EQ(m.SpeciesColor[3], HSLtoRGB(3.0 / 10 * 0.95, 1.0, 0.5));
}

TEST(UniqueMax, TiesAreNotFoundUnlessALargerValueFollows)
{
    TSpeciesCounts c{};
    EXPECT_FALSE(UniqueMaxIndex(c).Found);
    c[4] = 3;
    EXPECT_TRUE(UniqueMaxIndex(c).Found);
    EXPECT_EQ(UniqueMaxIndex(c).Index, 4);
    c[7] = 3;
    EXPECT_FALSE(UniqueMaxIndex(c).Found);
    c[50] = 4;
    EXPECT_TRUE(UniqueMaxIndex(c).Found);
    EXPECT_EQ(UniqueMaxIndex(c).Index, 50);
    TSpeciesCounts first{};
    first[0] = 2;
    EXPECT_EQ(UniqueMaxIndex(first).Index, 0);
    EXPECT_TRUE(UniqueMaxIndex(first).Found);
}

TEST(UniqueMax, ReadingOnlyTheUsedSlotsGivesTheSameAnswer)
{
    // The slots after the pool's species are empty: a largest count of 0 is tied by them.
    TSpeciesCounts c{};
    EXPECT_FALSE(UniqueMaxIndex(c, 1).Found);
    c[0] = 2;
    EXPECT_TRUE(UniqueMaxIndex(c, 1).Found);
    TRandom r;
    r.SeedRandom(5);
    for (int round = 0; round < 200; ++round) {
        TSpeciesCounts counts{};
        const int used = 1 + r.RandomInt(MaxSpecies);
        for (int i = 0; i < used; ++i) counts[static_cast<size_t>(i)] = r.RandomInt(3);
        const TUniqueMax all = UniqueMaxIndex(counts), part = UniqueMaxIndex(counts, used);
        EXPECT_EQ(part.Found, all.Found);
        if (all.Found) {
            EXPECT_EQ(part.Index, all.Index);
        }
    }
}

class CellColours : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeModel(m, 4, 3, 3);
        InitSpeciesColors(m);
        m.SpeciesPool[0].Guild = 1;
        m.SpeciesPool[1].Guild = 4;
        m.SpeciesPool[2].Guild = 4;
    }
    uint32_t Colour(TDisplayMode mode, bool larvae = false, int x = 0, int y = 0) const
    {
        return CellColour(m, mode, larvae, x, y, settings);
    }
    Model m;
    TColourSettings settings;
};

TEST_F(CellColours, DominanceCountsOnlyIndividualsOfAtLeastMinSize)
{
    EXPECT_EQ(Colour(TDisplayMode::Dominance), clSilver);  // empty: all counts tie at 0
    Put(m, 0, 0, 1, 0.2);                                  // exactly MinSize counts
    EXPECT_EQ(Colour(TDisplayMode::Dominance), m.SpeciesColor[1]);
    Put(m, 0, 0, 2, 0.5);
    EXPECT_EQ(Colour(TDisplayMode::Dominance), clSilver);
    Put(m, 0, 0, 0, 0.1);  // too small to count
    EXPECT_EQ(Colour(TDisplayMode::Dominance), clSilver);
    m.PrevLarvaeAt(0, 0)[3] = 2;
    EXPECT_EQ(Colour(TDisplayMode::Dominance, true), m.SpeciesColor[3]);
}

TEST_F(CellColours, GuildColourUsesStateColours)
{
    Put(m, 1, 1, 1, 0.5);
    Put(m, 1, 1, 2, 0.5);
    Put(m, 1, 1, 0, 0.5);
    EXPECT_EQ(Colour(TDisplayMode::Guild, false, 1, 1), StateColor(4));
    Put(m, 1, 1, 0, 0.5);
    EXPECT_EQ(Colour(TDisplayMode::Guild, false, 1, 1), clSilver);  // 2 R0 against 2 UD
}

TEST_F(CellColours, AbundanceScalesSaturationAndStaysValidForManyLarvae)
{
    settings.Species = 2;
    m.CapacityScaleMax = 4;
    EXPECT_EQ(Colour(TDisplayMode::Abundance), clSilver);
    for (int i = 0; i < 4; ++i) Put(m, 0, 0, 2, 0.5);
    THsl own = RGBtoHSL(m.SpeciesColor[2]);
    EXPECT_EQ(Colour(TDisplayMode::Abundance), HSLtoRGB(own.H, own.S * 0.75, own.L));

    m.PrevLarvaeAt(0, 0)[2] = 60;
    EXPECT_EQ(Colour(TDisplayMode::Abundance, true), HSLtoRGB(own.H, own.S * 0.75, own.L));
    m.PrevLarvaeAt(0, 0)[2] = 200;  // saturation 2.5 is limited to the full colour
    EXPECT_EQ(Colour(TDisplayMode::Abundance, true), HSLtoRGB(own.H, 1.0, own.L));
    EXPECT_EQ(AbundanceColor(m, 2, 5, 0), HSLtoRGB(own.H, 1.0, own.L));
}

TEST_F(CellColours, EvennessTurnoverAndDisturbanceAge)
{
    Put(m, 0, 0, 0, 0.5);
    EXPECT_EQ(CellEvenness(m, 0, 0), 0);
    EXPECT_EQ(Colour(TDisplayMode::Evenness), HSLtoRGB(0.95, 0.5, 0.5));
    Put(m, 0, 0, 1, 0.5);
    EXPECT_DOUBLE_EQ(CellEvenness(m, 0, 0), 1.0);
    EXPECT_EQ(Colour(TDisplayMode::Evenness), HSLtoRGB(0, 0.5, 0.5));

    m.TimeStep = 50;
    m.Cell(0, 0).DisturbanceCount = 50;
    EXPECT_EQ(Colour(TDisplayMode::Turnover), HSLtoRGB(1.0, 0.5, 0.5));
    m.Cell(0, 0).DisturbanceCount = 0;
    EXPECT_EQ(Colour(TDisplayMode::Turnover), HSLtoRGB(0.95, 0.5, 0.5));
    m.Cell(0, 0).DisturbanceCount = 5;
    EXPECT_EQ(Colour(TDisplayMode::Turnover), HSLtoRGB(0.95 * (-std::log(0.1) / 9.2), 0.5, 0.5));

    m.Cell(0, 0).CellAge = 150;
    EXPECT_EQ(Colour(TDisplayMode::Disturbance), HSLtoRGB(0, 0.5, 0.6));
    m.Cell(0, 0).CellAge = 300;
    EXPECT_EQ(Colour(TDisplayMode::Disturbance), clSilver);
    settings.MaxDisturbanceAge = 0;
    m.Cell(0, 0).CellAge = 0;
    EXPECT_EQ(Colour(TDisplayMode::Disturbance), clSilver);
}

TEST_F(CellColours, StatesCapacityAndNone)
{
    Put(m, 2, 2, 1, 0.5);
    EXPECT_EQ(Colour(TDisplayMode::States, false, 2, 2), StateColor(4));
    EXPECT_EQ(Colour(TDisplayMode::States, false, 0, 0), clSilver);
    m.Cell(0, 0).Capacity = 0;
    EXPECT_EQ(Colour(TDisplayMode::Capacity), clWhite);
    EXPECT_EQ(Colour(TDisplayMode::None), clSilver);
}

TEST_F(CellColours, MapImagePutsTheHighestRowOnTop)
{
    Put(m, 2, 2, 1, 0.5);  // top right
    Put(m, 0, 0, 3, 0.5);  // bottom left
    TRgbImage img = MapImage(m, TDisplayMode::Dominance, false, settings, 0, 0, 2, 2);
    ASSERT_EQ(img.Width, 3);
    ASSERT_EQ(img.Height, 3);
    EXPECT_EQ(img.Pixels[2], m.SpeciesColor[1]);
    EXPECT_EQ(img.Pixels[6], m.SpeciesColor[3]);
    EXPECT_EQ(img.Pixels[4], clSilver);
    TRgbImage part = MapImage(m, TDisplayMode::Dominance, false, settings, 2, 5, 1, 2);  // clamped and ordered
    EXPECT_EQ(part.Width, 2);
    EXPECT_EQ(part.Height, 1);
    EXPECT_EQ(part.Pixels[1], m.SpeciesColor[1]);
}

TEST(DisplayModes, NamesOfTheCommandLine)
{
    TDisplayMode mode{};
    EXPECT_TRUE(ParseDisplayMode("turnover", mode));
    EXPECT_EQ(mode, TDisplayMode::Turnover);
    EXPECT_TRUE(ParseDisplayMode("none", mode));
    EXPECT_EQ(mode, TDisplayMode::None);
    EXPECT_FALSE(ParseDisplayMode("Dominance", mode));
}
