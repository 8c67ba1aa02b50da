#include <gtest/gtest.h>

#include <cmath>
#include <string>

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
    EXPECT_EQ(ErrorText([&] { ProbabilityForYearsText(d, "ten"); }),
              "\"every cell disturbed each years\": 'ten' is not a valid floating point value");
    // A recurrence of 0 years or less has no probability.
    for (const char* years : {"0", "-66.7"})
        EXPECT_EQ(ErrorText([&] { ProbabilityForYearsText(d, years); }), "\"every cell disturbed each years\" must be above 0!");
    EXPECT_EQ(ErrorText([&] { CheckEventProbability({10000.5}); }),
              "a probability of 10000.5 events per time step is not possible (at most 10000)!");
    EXPECT_EQ(ErrorText([&] { CheckEventProbability({-3.0}); }),
              "a probability of -3 events per time step is not possible (at least 0)!");
}

TEST(DisturbanceEditor, UpdateTakesTheRecurrenceOnlyWhereItCanSetTheProbability)
{
    TDisturbanceDef d = Standard();
    EXPECT_EQ(ProbabilityForUpdate(d, {1.5}, "100", false)[0], 1.0); // the recurrence is kept
    d.XSize = 0;
    EXPECT_EQ(RecurrenceText(d, {1.5}), "   INF");
    EXPECT_EQ(ProbabilityForUpdate(d, {1.5}, "   INF", false)[0], 1.5);
    EXPECT_EQ(ProbabilityForUpdate(d, {1.5}, "  66.7", false)[0], 1.5);
    EXPECT_EQ(ErrorText([&] { ProbabilityForUpdate(d, {1.5}, "50", true); }),
              "\"every cell disturbed each years\" can not be met by footprints of no cells!");
}

TEST(DisturbanceEditor, WorkOfOneDefinitionPerStepIsBounded)
{
    TDisturbanceDef d = Standard(); // sizes 10 +- 2: the square of 2 x 12 + 1 cells is looked through
    EXPECT_EQ(DisturbanceWorkPerStep(d, {1.5}), 25.0 * 25 * 2);
    d.XSize = d.YSize = 3000; // half extents 1503: a square of 2 x 2127 + 1 cells
    CheckDisturbanceWork(d, {1.0});
    EXPECT_EQ(ErrorText([&] { CheckDisturbanceWork(d, {1.5}); }),
              "this disturbance could examine 36210050 cells in one time step (footprints up to 3006 x 3006 cells, "
              "1 subevents, 2 events per step); at most 25000000 keep a time step short: choose a smaller footprint, "
              "fewer subevents or a lower probability!");
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

    const struct {
        std::string TDisturbanceEntries::*Field;
        const char* Text;
        const char* Message;
    } refused[] = {
        {&TDisturbanceEntries::Y2, "9x", "\"y2\": '9x' is not a valid integer value"},
        {&TDisturbanceEntries::YSizeDev, "1e6", "\"y-size +-\" must be 0..10000!"},
        {&TDisturbanceEntries::XSize, "-1", "\"x-size\" must be 0..10000!"},
        {&TDisturbanceEntries::Severity, "100.5", "\"severity [%]\" must be 0..100!"},
        {&TDisturbanceEntries::Deviation, "361", "\"deviation [deg]\" must be 0..360!"},
        {&TDisturbanceEntries::Subevents, "0", "\"subevents\" must be 1..10000!"},
        {&TDisturbanceEntries::Subevents, "10001", "\"subevents\" must be 1..10000!"},
    };
    for (const auto& r : refused) {
        TDisturbanceEntries bad = e;
        bad.*r.Field = r.Text;
        EXPECT_EQ(ErrorText([&] { ReadDisturbanceEntries(bad); }), r.Message);
    }
}

} // namespace
