#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "model/grid_properties.h"
#include "model/model.h"
#include "util/error.h"

namespace marovi {
namespace {

std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

TEST(GridProperties, ShownTexts)
{
    Model m;
    m.FlowDeviation = M_PI / 5;
    m.FlowDirection = M_PI / 2; // north
    m.GlobalKFactor = 2.5;
    const TGridPropertiesEntries e = GridPropertiesOf(m, {42, false});
    EXPECT_EQ(e.StartFill, "42");
    EXPECT_EQ(e.FlowDeviation, "36");
    EXPECT_EQ(e.FlowDirection, "0");
    EXPECT_EQ(e.KFactor, "2.5");
    EXPECT_EQ(e.BubbleScale, "0.8");
    EXPECT_EQ(e.MinSize, "0.2");
}

TEST(GridProperties, ConversionMessagesName)
{
    EXPECT_EQ(ErrorOf([] { ConvertInt("1.5"); }), "'1.5' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { ConvertReal("1,5"); }), "'1,5' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { ConvertReal("inf"); }), "'inf' is not a valid floating point value");
    EXPECT_EQ(ConvertInt(" 12 "), 12);
    EXPECT_EQ(ConvertReal("-0.25"), -0.25);
    EXPECT_EQ(ErrorOf([] { ConvertHillOrder("-0.5"); }), "the order of a Hill number must not be negative");
    EXPECT_EQ(ConvertHillOrder("0"), 0.0);
}

TEST(GridProperties, UpdateStopsAtTheFirstBadNumber)
{
    Model m;
    TStartFillSetting fill{99, false};
    TGridPropertiesEntries e = GridPropertiesOf(m, fill);
    e.StartFill = "10";
    e.BubbleScale = "x";
    e.MaxRuntime = "50";
    EXPECT_EQ(ErrorOf([&] { ApplyGridProperties(m, fill, e, 1); }), "'x' is not a valid floating point value");
    EXPECT_EQ(fill.Value, 10);
    EXPECT_TRUE(fill.Changed);
    EXPECT_EQ(m.MaxRuntime, 0);
}

TEST(GridProperties, GuardsAndBoundaries)
{
    Model m;
    TStartFillSetting fill{99, false};
    TGridPropertiesEntries e = GridPropertiesOf(m, fill);
    const struct { const char* K; double Expect; } ks[] = {{"99.9", 99.9}, {"100", 99.9}, {"-99.99", -99.99}, {"-100", -99.99}};
    for (const auto& k : ks) {
        e.KFactor = k.K;
        ApplyGridProperties(m, fill, e, 1);
        EXPECT_EQ(m.GlobalKFactor, k.Expect) << k.K;
    }
    const struct { const char* N; int Expect; } ns[] = {{"24", 24}, {"25", 24}, {"0", 24}, {"1", 1}, {"-3", 1}};
    for (const auto& n : ns) {
        e.NeighbourhoodSize = n.N;
        ApplyGridProperties(m, fill, e, 1);
        EXPECT_EQ(int(m.NeighbourhoodSize), n.Expect) << n.N;
    }
    EXPECT_FALSE(fill.Changed);
}

TEST(GridProperties, SeedZeroReseedsFromTheClockSeed)
{
    Model m;
    m.RandomSeed = 5;
    TStartFillSetting fill{99, false};
    TGridPropertiesEntries e = GridPropertiesOf(m, fill);
    e.RandomSeed = "0";
    ApplyGridProperties(m, fill, e, 777);
    EXPECT_EQ(m.RandomSeed, 0);
    TRandom expected;
    expected.SeedRandom(777);
    EXPECT_EQ(m.Random.Uniform(), expected.Uniform());
}

TEST(Separator, CharacterOrCode)
{
    Model m;
    EXPECT_TRUE(SetSeparatorFromText(m, "9"));
    EXPECT_EQ(m.Separator, '9');
    EXPECT_TRUE(SetSeparatorFromText(m, "59"));
    EXPECT_EQ(m.Separator, ';');
    EXPECT_TRUE(SetSeparatorFromText(m, "0"));
    EXPECT_EQ(m.Separator, '0');
    EXPECT_TRUE(SetSeparatorFromText(m, "127"));
    EXPECT_EQ(m.Separator, '\x7f');
    EXPECT_FALSE(SetSeparatorFromText(m, "128"));
    EXPECT_TRUE(SetSeparatorCode(m, 0));
    EXPECT_EQ(m.Separator, '\0');
    EXPECT_FALSE(SetSeparatorCode(m, -1));
    EXPECT_EQ(ErrorOf([&] { SetSeparatorFromText(m, "tab"); }), "'tab' is not a valid integer value");
    EXPECT_EQ(QuotedSeparator(','), "\",\"");
}

} // namespace
} // namespace marovi
