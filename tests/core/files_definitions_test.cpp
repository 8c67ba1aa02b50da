// Disturbance definition files (.mdf) and state definition files (.mtd).
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/states.h"
#include "disturbance/disturbance.h"
#include "files/disturbance_file.h"
#include "files/state_def_file.h"
#include "files_test_util.h"
#include "util/error.h"

using namespace marovi;
using files_test::Bytes;
using files_test::F64At;
using files_test::I32At;

namespace {

std::string Record(int x1, double probability, uint8_t substrate, int subevents)
{
    Bytes b(112);
    b.I32(0, x1).I32(4, 9).I32(8, 20).I32(12, 3).F64(16, 10).F64(24, 2).F64(32, 8).F64(40, 1);
    b.U8(48, 1).F64(56, probability).I32(64, 77).F64(72, 0.5).U8(80, substrate).F64(88, 1.5).F64(96, 0.25);
    b.I32(104, subevents);
    // Padding carries no meaning.
    b.U8(49, 0xEE).U8(68, 0xEE).U8(81, 0xEE).U8(108, 0xEE);
    return b.Str();
}

} // namespace

TEST(DisturbanceFile, RoundTripIsByteExact)
{
    files_test::TempDir dir;
    Model m;
    m.XMax = 49;
    m.YMax = 29;
    AddStandardDisturbance(m);
    AddDisturbance(m, -3, 7, 12, -8, true, 0.5, 0, 10000, -2, 2.5, 0, -1, 6.5, 255, -4);
    SaveDisturbances(m, dir.File("d.mdf"));
    const std::string bytes = files_test::ReadAll(dir.File("d.mdf"));
    ASSERT_EQ(bytes.size(), 224u);
    EXPECT_EQ(I32At(bytes, 8), 49);
    EXPECT_EQ(I32At(bytes, 12), 29);
    EXPECT_EQ(F64At(bytes, 56), 1.5);
    EXPECT_EQ(F64At(bytes, 96), 2 * M_PI);
    EXPECT_EQ(I32At(bytes, 112 + 0), -3);
    EXPECT_EQ(bytes[112 + 48], 1);
    EXPECT_EQ(static_cast<uint8_t>(bytes[112 + 80]), 255);
    EXPECT_EQ(I32At(bytes, 112 + 104), -4);
    EXPECT_EQ(bytes.substr(112 + 49, 7), std::string(7, '\0'));

    Model back;
    LoadDisturbances(back, dir.File("d.mdf"));
    SaveDisturbances(back, dir.File("e.mdf"));
    EXPECT_EQ(files_test::ReadAll(dir.File("e.mdf")), bytes);
}

TEST(DisturbanceFile, HandBuiltRecordsAppendAndIgnoreAPartialTail)
{
    files_test::TempDir dir;
    files_test::WriteAll(dir.File("d.mdf"), Record(4, 0.3, 0x10, 2) + Record(5, 2.0, 1, 1) + std::string(111, 'x'));
    Model m;
    AddStandardDisturbance(m);
    LoadDisturbances(m, dir.File("d.mdf"));
    LoadDisturbances(m, dir.File("d.mdf")); // loading twice doubles the list
    ASSERT_EQ(m.Disturbances.size(), 5u);
    const TDisturbanceDef& d = m.Disturbances[1];
    EXPECT_EQ(d.X1, 4);
    EXPECT_EQ(d.Y1, 9);
    EXPECT_EQ(d.X2, 20);
    EXPECT_EQ(d.Y2, 3);
    EXPECT_EQ(d.XSize, 10.0);
    EXPECT_EQ(d.XSizeDev, 2.0);
    EXPECT_EQ(d.YSize, 8.0);
    EXPECT_EQ(d.YSizeDev, 1.0);
    EXPECT_TRUE(d.Clipping);
    EXPECT_EQ(d.Probability[0], 0.3);
    EXPECT_EQ(d.LastEvent, 0); // always 0 in the list
    EXPECT_EQ(d.Severity, 0.5);
    EXPECT_EQ(d.Substrate, 0x10);
    EXPECT_EQ(d.Direction, 1.5);
    EXPECT_EQ(d.Deviation, 0.25);
    EXPECT_EQ(d.Subevents, 2);
    EXPECT_EQ(m.Disturbances[4].X1, 5);

    // An empty file adds nothing; a missing one is named and changes nothing.
    files_test::WriteAll(dir.File("empty.mdf"), std::string(50, 'x'));
    LoadDisturbances(m, dir.File("empty.mdf"));
    EXPECT_EQ(m.Disturbances.size(), 5u);
    EXPECT_THROW(LoadDisturbances(m, dir.File("missing.mdf")), Error);
    EXPECT_EQ(m.Disturbances.size(), 5u);
}

TEST(DisturbanceFile, RecordsThatWouldHangATimeStepAreRefused)
{
    files_test::TempDir dir;
    struct Case {
        size_t offset;
        double value;
        const char* message;
    };
    const Case cases[] = {
        {56, INFINITY, "has an impossible probability (INF)"},
        {56, NAN, "has an impossible probability (NAN)"},
        {56, 10000.5, "has an impossible probability (10000.5)"},
        {16, 1e9, "has an impossible footprint size (1000000000)"},
        {24, -INFINITY, "has an impossible footprint size (-INF)"},
        {32, NAN, "has an impossible footprint size (NAN)"},
        {40, 10001, "has an impossible footprint size (10001)"},
    };
    for (const Case& c : cases) {
        Bytes bad(112);
        bad.F64(c.offset, c.value);
        files_test::WriteAll(dir.File("bad.mdf"), Record(4, 0.3, 1, 1) + bad.Str());
        Model m;
        AddStandardDisturbance(m);
        try {
            LoadDisturbances(m, dir.File("bad.mdf"));
            ADD_FAILURE() << c.message;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), dir.File("bad.mdf") + ": disturbance definition 2 " + c.message);
        }
        EXPECT_EQ(m.Disturbances.size(), 1u); // the list stays as it was
    }
    // The largest accepted values and a negative probability (never fires) still load.
    Bytes edge(112);
    edge.F64(16, -10000).F64(24, 10000).F64(56, -1e300);
    files_test::WriteAll(dir.File("edge.mdf"), edge.Str());
    Model m;
    LoadDisturbances(m, dir.File("edge.mdf"));
    ASSERT_EQ(m.Disturbances.size(), 1u);
    EXPECT_EQ(m.Disturbances[0].Probability[0], -1e300);
}

TEST(StateDefFile, RoundTripAndLayout)
{
    files_test::TempDir dir;
    TStateDef defs;
    ResetStateDefs(defs);
    defs.Criteria[3][0] = {true, 0.125, 0.5};
    SaveStateDefs(defs, dir.File("s.mtd"));
    const std::string bytes = files_test::ReadAll(dir.File("s.mtd"));
    ASSERT_EQ(bytes.size(), 480u);
    // State 1, guild 1 is considered by default: the second criterion of the first state.
    EXPECT_EQ(bytes[24], 1);
    EXPECT_EQ(bytes.substr(25, 7), std::string(7, '\0'));
    EXPECT_EQ(F64At(bytes, 32), 0.5);
    EXPECT_EQ(F64At(bytes, 40), 1.0);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[15 * 24], 1);
    EXPECT_EQ(F64At(bytes, 15 * 24 + 8), 0.125);

    TStateDef back;
    LoadStateDefs(back, dir.File("s.mtd"));
    EXPECT_TRUE(back.Criteria[3][0].consider);
    EXPECT_EQ(back.Criteria[3][0].max, 0.5);
    SaveStateDefs(back, dir.File("t.mtd"));
    EXPECT_EQ(files_test::ReadAll(dir.File("t.mtd")), bytes);
}

TEST(StateDefFile, ShortFileIsRefusedAndChangesNothing)
{
    files_test::TempDir dir;
    files_test::WriteAll(dir.File("short.mtd"), std::string(479, '\1'));
    TStateDef defs;
    ResetStateDefs(defs);
    EXPECT_EQ(files_test::ErrorOf([&] { LoadStateDefs(defs, dir.File("short.mtd")); }),
              dir.File("short.mtd") + ": the file ends before the end of the state definitions");
    EXPECT_FALSE(defs.Criteria[0][0].consider);
    EXPECT_TRUE(defs.Criteria[0][1].consider);
    // A longer file: the table is its first 480 bytes.
    files_test::WriteAll(dir.File("long.mtd"), Bytes(480).U8(0, 1).F64(16, 0.75).Append("extra").Str());
    LoadStateDefs(defs, dir.File("long.mtd"));
    EXPECT_TRUE(defs.Criteria[0][0].consider);
    EXPECT_EQ(defs.Criteria[0][0].max, 0.75);
    EXPECT_FALSE(defs.Criteria[0][1].consider);
}
