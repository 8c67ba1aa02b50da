#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "files/status_list.h"
#include "files_test_util.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/simulation.h"
#include "model/species_moves.h"
#include "model/species_pool.h"
#include "model/status_line.h"
#include "util/error.h"

using namespace marovi;
using files_test::ReadAll;
using files_test::WriteAll;
namespace fs = std::filesystem;

namespace {

// A fresh directory per test for the list's overflow files and the saved files.
class StatusListFiles : public ::testing::Test {
protected:
    std::string P(const std::string& name) const { return tmp.File(name); }
    TStatusList List() const { return TStatusList([] { return std::string("D"); }, tmp.Path().string()); }
    files_test::TempDir tmp;
    const fs::path& dir = tmp.Path();
};

Model TwoSpecies()
{
    Model m;
    CreateSpeciesPool(m, 2);
    CreateGrid(m, 2, 2);
    return m;
}

// Lines "L0" .. "L<n-1>" inserted at the top one after the other, overflowing as the run loop does.
void Fill(TStatusList& list, int from, int count)
{
    for (int i = from; i < from + count; ++i) {
        list.InsertTop("L" + std::to_string(i));
        list.OverflowIfFull();
    }
}

} // namespace

TEST(StatusList, EntriesOfNewRunAndStop)
{
    Model m = TwoSpecies();
    m.StepAbundance = {3, 4};
    TStatusList list([] { return std::string("01.02.2024 10:11:12"); });
    list.StartNew(m);
    ASSERT_EQ(list.Size(), 2u);
    EXPECT_EQ(list.Lines()[0], "01.02.2024 10:11:12;000000;    0.68;    0.00;         0;         0;       3;       4");
    EXPECT_EQ(list.Lines()[1], "# time;timestep;Shannon Index(species);Shannon Index(guild);Count;Area ;------- 1------- 2");
    m.TimeStep = 1;
    list.AddRunEntry(m);
    EXPECT_EQ(list.Lines()[0], "01.02.2024 10:11:12; 000001;    0.68;    0.00;         0;         0;       3;       4");
    list.AddEntry(m);
    EXPECT_EQ(list.Lines()[0].substr(0, 26), "01.02.2024 10:11:12;000001");
    list.StartLoaded(m);
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.Lines()[0], list.RunEntry(m));
}

TEST(StatusList, LocalDateTimeHasFixedShape)
{
    const std::string t = LocalDateTimeText();
    ASSERT_EQ(t.size(), 19u);
    EXPECT_EQ(t[4], '-');
    EXPECT_EQ(t[10], ' ');
    EXPECT_EQ(t[13], ':');
}

TEST(StatusList, CompanionNameReplacesTheExtension)
{
    EXPECT_EQ(CompanionFileName("run.mgf"), "run.TXT");
    EXPECT_EQ(CompanionFileName("a.b/run.mgf"), "a.b/run.TXT");
    EXPECT_EQ(CompanionFileName("a.b/run"), "a.b/run.TXT");
    EXPECT_EQ(CompanionFileName("x.v2.mgf"), "x.v2.TXT");
}

TEST_F(StatusListFiles, OverflowAtTheLimitWritesNumberedFiles)
{
    TStatusList list = List();
    Fill(list, 0, 24999);
    EXPECT_EQ(list.Size(), 24999u);
    EXPECT_EQ(list.TempFileCounter(), 0);
    EXPECT_FALSE(fs::exists(dir / "~MAROVItemp000.tmp"));
    Fill(list, 24999, 1);
    EXPECT_EQ(list.TempFileCounter(), 1);
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.Lines()[0], "> previos data saved to ~MAROVItemp000.tmp");
    const std::string first = ReadAll(P("~MAROVItemp000.tmp"));
    EXPECT_EQ(first.substr(0, 16), "L24999\r\nL24998\r\n");
    EXPECT_EQ(first.substr(first.size() - 8), "L1\r\nL0\r\n");
    // The notice is the oldest line of the next part: 24999 new lines fill it again.
    Fill(list, 25000, 24998);
    EXPECT_EQ(list.TempFileCounter(), 1);
    Fill(list, 49998, 1);
    EXPECT_EQ(list.TempFileCounter(), 2);
    EXPECT_EQ(list.Lines()[0], "> previos data saved to ~MAROVItemp001.tmp");
    const std::string second = ReadAll(P("~MAROVItemp001.tmp"));
    EXPECT_EQ(second.substr(second.size() - 52), "L25000\r\n> previos data saved to ~MAROVItemp000.tmp\r\n");
}

TEST_F(StatusListFiles, SavingGathersOverflowFilesNewestFirst)
{
    TStatusList list = List();
    const int total = 3 * 25000 + 10; // three overflow files, then ten lines
    Fill(list, 0, total);
    ASSERT_EQ(list.TempFileCounter(), 3);

    list.SaveStatusData(P("data.txt"));
    std::istringstream data(ReadAll(P("data.txt")));
    std::string line;
    int next = total - 1, notices = 0;
    while (std::getline(data, line)) {
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        if (line[0] == '>') {
            // Each notice closes the part it names: 002 after the newest lines, then 001, 000.
            EXPECT_EQ(line, "> previos data saved to ~MAROVItemp00" + std::to_string(2 - notices) + ".tmp");
            ++notices;
            continue;
        }
        ASSERT_EQ(line, "L" + std::to_string(next)) << "after " << notices << " notices";
        --next;
    }
    EXPECT_EQ(next, -1);
    EXPECT_EQ(notices, 3);
    // The current list was written as the file numbered by the counter, which stays.
    EXPECT_TRUE(fs::exists(dir / "~MAROVItemp003.tmp"));
    EXPECT_EQ(list.TempFileCounter(), 3);

    list.SaveCompanion(P("run.TXT"));
    const std::string companion = ReadAll(P("run.TXT"));
    EXPECT_EQ(companion.find('>'), std::string::npos);
    EXPECT_EQ(companion.size(), ReadAll(P("data.txt")).size() - 3 * 44);
    EXPECT_EQ(companion.substr(0, 16), "L75009\r\nL75008\r\n");
}

TEST_F(StatusListFiles, WithoutOverflowTheListIsWrittenAsItIs)
{
    TStatusList list = List();
    list.Append("b");
    list.InsertTop("a");
    list.Append("> kept");
    list.SaveCompanion(P("run.TXT"));
    EXPECT_EQ(ReadAll(P("run.TXT")), "a\r\nb\r\n> kept\r\n");
    EXPECT_FALSE(fs::exists(dir / "~MAROVItemp000.tmp"));
}

TEST_F(StatusListFiles, MissingOverflowFileKeepsThePreviousFile)
{
    TStatusList list = List();
    Fill(list, 0, 2 * 25000 + 1);
    fs::remove(dir / "~MAROVItemp000.tmp");
    WriteAll(P("data.txt"), "old\r\n");
    try {
        list.SaveStatusData(P("data.txt"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("~MAROVItemp000.tmp is missing"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("data.txt"), std::string::npos);
    }
    EXPECT_EQ(ReadAll(P("data.txt")), "old\r\n");
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find("data.txt.~"), std::string::npos) << entry.path();
}

TEST_F(StatusListFiles, ResetForgetsOverflowFilesOfTheLastRun)
{
    TStatusList list = List();
    Fill(list, 0, 25000);
    ASSERT_EQ(list.TempFileCounter(), 1);
    Model m = TwoSpecies();
    list.StartNew(m);
    EXPECT_EQ(list.TempFileCounter(), 0);
    list.SaveCompanion(P("run.TXT"));
    EXPECT_EQ(ReadAll(P("run.TXT")).find("L0"), std::string::npos);
}

TEST_F(StatusListFiles, CompanionReadsBackAsPopulationData)
{
    Model m = TwoSpecies();
    TStatusList list = List();
    m.StepAbundance = {5, 0};
    list.StartNew(m);
    m.TimeStep = 1;
    m.StepAbundance = {4, 2};
    list.AddRunEntry(m);
    m.TimeStep = 2;
    m.StepAbundance = {1, 1};
    list.AddRunEntry(m);
    list.SaveCompanion(P("run.TXT"));

    TStatusList loaded = List();
    TPopulationData data = LoadPopulationData(m, P("run.TXT"), 7, loaded);
    EXPECT_EQ(data.Error, "");
    EXPECT_EQ(loaded.Lines(), list.Lines());
    ASSERT_EQ(data.Points.size(), 4u); // three entries, then the current state
    EXPECT_EQ(data.Points[0].TimeStep, 2);
    EXPECT_EQ(data.Points[1].TimeStep, 1);
    EXPECT_EQ(data.Points[1].Counts[0], 4);
    EXPECT_EQ(data.Points[1].Counts[1], 2);
    EXPECT_NEAR(data.Points[1].Shannon, 0.6365141682948128, 1e-15);
    EXPECT_EQ(data.Points[2].TimeStep, 0);
    EXPECT_EQ(data.Points[2].Counts[0], 5);
    EXPECT_EQ(data.Points[2].Shannon, 0.0);
    EXPECT_EQ(data.Points[3].TimeStep, 2);
    EXPECT_EQ(data.Points[3].Counts[0], 1);
    EXPECT_EQ(data.MinStep, 0);
    EXPECT_EQ(data.MaxStep, 2);
}

TEST_F(StatusListFiles, PopulationDataOrderColumnsAndStops)
{
    Model m = TwoSpecies();
    m.TimeStep = 5;
    // A newer line after an older one goes to the top; column 6 is the first count of old files.
    WriteAll(P("old.TXT"), "d; 000004;1.0;0;0;7;8\r\n# header\r\nd; 000009;1.0;0;0;1;2\n");
    TStatusList list = List();
    TPopulationData data = LoadPopulationData(m, P("old.TXT"), 6, list);
    EXPECT_EQ(data.Error, "");
    ASSERT_EQ(list.Size(), 3u);
    EXPECT_EQ(list.Lines()[0], "d; 000009;1.0;0;0;1;2");
    EXPECT_EQ(list.Lines()[1], "d; 000004;1.0;0;0;7;8");
    EXPECT_EQ(list.Lines()[2], "# header");
    EXPECT_EQ(data.Points[0].Counts[0], 7);
    EXPECT_EQ(data.Points[1].Counts[1], 2);
    EXPECT_EQ(data.MinStep, 4);
    EXPECT_EQ(data.MaxStep, 9);

    // A count that is not a number ends the reading; its line is already in the list.
    WriteAll(P("bad.TXT"), "d; 000004;1.0;0;0;0;7;8\r\nd; 000003;1.0;0;0;0;x;8\r\nd; 000002;1;0;0;0;1;1\r\n");
    data = LoadPopulationData(m, P("bad.TXT"), 7, list);
    EXPECT_EQ(data.Error, P("bad.TXT") + ", line 2: a species count is not an integer");
    EXPECT_EQ(list.Size(), 2u);
    ASSERT_EQ(data.Points.size(), 2u); // the first line and the current state
    EXPECT_EQ(data.Points[1].TimeStep, 5);

    // A time step that is not a number: the line is not taken.
    WriteAll(P("bad2.TXT"), "d; 000004;1;0;0;0;7;8\r\nempty\r\n");
    data = LoadPopulationData(m, P("bad2.TXT"), 7, list);
    EXPECT_EQ(data.Error, P("bad2.TXT") + ", line 2: the time step is not an integer");
    EXPECT_EQ(list.Size(), 1u);

    EXPECT_THROW(LoadPopulationData(m, P("none.TXT"), 7, list), Error);
}

TEST_F(StatusListFiles, LongCompanionLosesNothingWhenSavedAgain)
{
    Model m = TwoSpecies();
    TStatusList list = List();
    list.StartNew(m);
    for (int t = 1; t <= 30000; ++t) {
        m.TimeStep = t;
        m.StepAbundance = {t, 1};
        list.AddRunEntry(m);
        list.OverflowIfFull();
    }
    ASSERT_EQ(list.TempFileCounter(), 1);
    list.SaveCompanion(P("long.TXT"));
    const std::string original = ReadAll(P("long.TXT"));

    fs::create_directories(dir / "second");
    TStatusList loaded([] { return std::string("D"); }, (dir / "second").string());
    size_t calls = 0;
    TPopulationData data = LoadPopulationData(m, P("long.TXT"), 7, loaded, [&](size_t) { ++calls; });
    EXPECT_EQ(data.Error, "");
    EXPECT_EQ(calls, 30002u / 25u);
    EXPECT_EQ(data.Points.size(), 30002u + 1u - 1u); // every entry but the header line, then the current state
    EXPECT_EQ(data.Points[29999].TimeStep, 1);
    EXPECT_EQ(loaded.Size(), StatusListLimit + 1);
    EXPECT_EQ(loaded.TempFileCounter(), 1);
    loaded.SaveCompanion(P("again.TXT"));
    EXPECT_EQ(ReadAll(P("again.TXT")), original);
}

TEST_F(StatusListFiles, SpeciesColumnsFollowAnEditOfThePool)
{
    Model m;
    CreateSpeciesPool(m, 3);
    CreateGrid(m, 2, 2);
    m.StepAbundance = {1, 2, 3};
    TStatusList list = List();
    list.StartNew(m);
    for (int i = 0; i < static_cast<int>(StatusListLimit); ++i) list.InsertTop("L");
    list.OverflowIfFull(); // the two lines of the start go to the first overflow file
    m.TimeStep = 1;
    m.StepAbundance = {40, 50, 60};
    list.AddRunEntry(m);

    TSpeciesMoves moves;
    moves.fill(-1);
    moves[0] = 1; // the first species moved behind the third, the second was deleted
    moves[2] = 0;
    list.FollowSpeciesMoves(moves, 3, 2, ';');
    EXPECT_EQ(list.Lines()[0], "D; 000001;    1.09;    0.00;         0;         0;      60;      40");
    EXPECT_EQ(list.Lines()[1], "> previos data saved to ~MAROVItemp000.tmp");
    std::string overflow;
    for (size_t i = 0; i < StatusListLimit; ++i) overflow += "L\r\n"; // too few fields: unchanged
    EXPECT_EQ(ReadAll(P("~MAROVItemp000.tmp")),
              overflow + "D;000000;    1.01;    0.00;         0;         0;       3;       1\r\n"
                         "# time;timestep;Shannon Index(species);Shannon Index(guild);Count;Area ;------- 1------- 2\r\n");
    list.FollowSpeciesMoves(KeptSpecies(2), 2, 3, ';'); // a sister added
    EXPECT_EQ(list.Lines()[0], "D; 000001;    1.09;    0.00;         0;         0;      60;      40;       0");
}
