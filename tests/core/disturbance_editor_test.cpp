#include <gtest/gtest.h>

#include <cmath>

#include "disturbance/disturbance.h"
#include "disturbance/disturbance_editor.h"
#include "model/model.h"
#include "test_support.h"

namespace {

using namespace marovi;
using test::ErrorText;

TDisturbanceDef Standard()
{
    Model m;
    m.XMax = m.YMax = 99;
    AddStandardDisturbance(m);
    return m.Disturbances.back();
}

TEST(DisturbanceEditor, StandardDefinitionAsListedAndShown)
{
    const TDisturbanceDef d = Standard();
    const auto row = DisturbanceRowTexts(d, 0);
    const std::array<std::string, DisturbanceListColumnCount> expected = {
        "1", "(0,0)/(99,99)", "FALSE", "10.00\u00B12.00", "10.00\u00B12.00", "1.5000", "90.00 \u00B1 360.00", "100 %",
        "000000001", "1"};
    EXPECT_EQ(row, expected);
    const TDisturbanceEntries e = DisturbanceEntriesOf(d);
    EXPECT_EQ(e.XSize, "10");
    EXPECT_EQ(e.XSizeDev, "2");
    EXPECT_EQ(e.Severity, "100");
    EXPECT_EQ(e.Direction, " 90");
    EXPECT_EQ(e.Deviation, "360");
    EXPECT_EQ(RecurrenceText(d, d.Probability), "  66.7");
    EXPECT_EQ(SubstrateBits(0xFF), "011111111");
}

TEST(DisturbanceEditor, RecurrenceAndProbabilityBothWays)
{
    const TDisturbanceDef d = Standard();
    EXPECT_EQ(ProbabilityForYears(d, 100), 1.0);
    EXPECT_EQ(ProbabilityForYearsText(d, "100"), 1.0);
    EXPECT_EQ(RecurrenceYears(d, {1.0}), 100.0);
    EXPECT_EQ(ErrorText([&] { ProbabilityForYearsText(d, "ten"); }), "'ten' is not a valid floating point value");
    // A recurrence of 0 years would need endless events in every step.
    EXPECT_EQ(ErrorText([&] { ProbabilityForYearsText(d, "0"); }),
              "a probability of INF events per time step is not possible (at most 10000)!");
    EXPECT_EQ(ErrorText([&] { CheckEventProbability({10000.5}); }),
              "a probability of 10000.5 events per time step is not possible (at most 10000)!");
    CheckEventProbability({-3.0});
}

TEST(DisturbanceEditor, EntriesReadAsStored)
{
    TDisturbanceEntries e = DisturbanceEntriesOf(Standard());
    e.Severity = "50";
    e.Direction = "90"; // east
    TDisturbanceDef d = ReadDisturbanceEntries(e);
    EXPECT_EQ(d.Severity, 0.5);
    EXPECT_EQ(d.Direction, 0.0);
    EXPECT_EQ(DisturbanceRowTexts(d, 0)[7], "050 %");
    EXPECT_EQ(DisturbanceEntriesOf(d).Severity, " 50");
    e.Direction = "0"; // north
    EXPECT_EQ(ReadDisturbanceEntries(e).Direction, M_PI / 2);
    EXPECT_EQ(ReadDisturbanceEntries(e).Deviation, 2 * M_PI);

    e.Y2 = "9x";
    EXPECT_EQ(ErrorText([&] { ReadDisturbanceEntries(e); }), "'9x' is not a valid integer value");
    e.Y2 = "99";
    e.YSizeDev = "1e6";
    EXPECT_EQ(ErrorText([&] { ReadDisturbanceEntries(e); }), "a footprint size of 1000000 cells is not possible (at most 10000)!");
    e.YSizeDev = "2";
    e.Subevents = "10001";
    EXPECT_EQ(ErrorText([&] { ReadDisturbanceEntries(e); }), "10001 subevents per event are not possible (at most 10000)!");
}

} // namespace
