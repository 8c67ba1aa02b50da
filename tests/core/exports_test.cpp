#include <gtest/gtest.h>

#include <filesystem>

#include "files/exports.h"
#include "text_test_util.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/species_pool.h"
#include "util/error.h"
#include "util/format.h"

using namespace marovi;
namespace fs = std::filesystem;

namespace {

std::string Clock() { return "24.12.2023 18:00:00"; }

class Exports : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateSpeciesPool(m, 3);
        CreateGrid(m, 13, 6);
        m.TimeStep = 42;
    }
    std::string P(const std::string& name) const { return tmp.File(name); }
    // Places an individual at a chosen position, as a loaded file would.
    void Place(int x, int y, int species, int age, int px, int py)
    {
        TIndividual ind;
        ind.Species = species;
        ind.Age = age;
        ind.PosX = static_cast<int8_t>(px);
        ind.PosY = static_cast<int8_t>(py);
        TCell& c = m.Cell(x, y);
        c.Individuals.push_back(ind);
        c.IndividualCount += 1;
    }
    files_test::TempDir tmp;
    const fs::path& dir = tmp.Path();
    Model m;
};

const char* const IndividualHeader =
    "######################################################\r\n"
    "# MAROVI data file, individual list                  #\r\n"
    "# created 24.12.2023 18:00:00                        #\r\n"
    "# 03 species                                         #\r\n"
    "# timestep 00000042                                  #\r\n"
    "# gridsize: 013 x 006                                #\r\n"
    "######################################################\r\n"
    "species , age, xpos , ypos\r\n";

} // namespace

TEST_F(Exports, EmptyGridGivesTheEightHeaderLines)
{
    SaveIndividualList(m, P("ind.txt"), Clock);
    EXPECT_EQ(files_test::ReadAll(P("ind.txt")), IndividualHeader);
}

TEST_F(Exports, IndividualsInGridOrderWithTheirPositions)
{
    Place(12, 5, 0, 7, 3, 7);
    Place(0, 1, 2, 12345, 0, 9);
    Place(0, 1, 1, 0, 9, 0);
    Place(0, 0, 1, 3, 5, 5);
    m.SpeciesPool[2].Name = "Pocillopora";
    m.Separator = '|'; // the individual list always separates by ", "
    SaveIndividualList(m, P("ind.txt"), Clock);
    EXPECT_EQ(files_test::ReadAll(P("ind.txt")), std::string(IndividualHeader) +
                                              "Species 02, 0003,     0.50,     0.50\r\n"
                                              "Pocillopora, 12345,     0.00,     1.90\r\n"
                                              "Species 02, 0000,     0.90,     1.00\r\n"
                                              "Species 01, 0007,    12.30,     5.70\r\n");
}

TEST_F(Exports, SpeciesListHeaderAndEveryCellOfEverySpecies)
{
    for (int k = 0; k < 3; ++k) Place(12, 5, 1, 1, k, 0);
    m.PrevLarvaeAt(12, 5)[1] = 1234;
    m.PrevLarvaeAt(0, 0)[0] = 7;
    SaveSpeciesList(m, P("sp.txt"), Clock);
    const auto lines = text_test::CrlfLines(P("sp.txt"));
    ASSERT_EQ(lines.size(), 7u + 3u * 13u * 6u);
    EXPECT_EQ(lines[0], "######################################################");
    EXPECT_EQ(lines[1], "# MAROVI data file, species list                     #");
    EXPECT_EQ(lines[2], "# created 24.12.2023 18:00:00                        #");
    EXPECT_EQ(lines[3], "# timestep 00000042                                  #");
    EXPECT_EQ(lines[4], "# gridsize: 013 x 006                                #");
    EXPECT_EQ(lines[5], "######################################################");
    EXPECT_EQ(lines[6], "species; xpos ; ypos; abundance; larvae @t-1");
    EXPECT_EQ(lines[7], "Species 01;000;000;000;007");
    EXPECT_EQ(lines[8], "Species 01;000;001;000;000");
    EXPECT_EQ(lines[7 + 6], "Species 01;001;000;000;000");
    // species 2 (index 1), cell (12, 5): the last cell of its block
    EXPECT_EQ(lines[7 + 2 * 78 - 1], "Species 02;012;005;003;1234");
    EXPECT_EQ(lines.back(), "Species 03;012;005;000;000");
}

TEST_F(Exports, SpeciesListUsesTheSeparator)
{
    m.Separator = ',';
    SaveSpeciesList(m, P("sp.txt"), Clock);
    const auto lines = text_test::CrlfLines(P("sp.txt"));
    EXPECT_EQ(lines[6], "species, xpos , ypos, abundance, larvae @t-1");
    EXPECT_EQ(lines[7], "Species 01,000,000,000,000");
}

TEST(ExportsPadding, MatchesTheFormatOfPaddedIntegers)
{
    for (long long v : {0LL, 5LL, -5LL, 99LL, 999LL, 1000LL, -1000LL, 123456789LL, -2147483648LL}) {
        std::string out = "x";
        AppendPadded(out, v, 3);
        EXPECT_EQ(out, "x" + Format("%.3d", {v})) << v;
        std::string wide;
        AppendPadded(wide, v, 8);
        EXPECT_EQ(wide, Format("%.8d", {v})) << v;
    }
}

TEST_F(Exports, UnwritableTargetFailsWithItsName)
{
    fs::create_directories(dir / "taken.txt");
    try {
        SaveSpeciesList(m, P("taken.txt"), Clock);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(P("taken.txt")), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_directory(dir / "taken.txt"));
    EXPECT_THROW(SaveIndividualList(m, P("no/such/dir/ind.txt"), Clock), Error);
    // Nothing but the directory is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}
