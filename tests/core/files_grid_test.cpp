#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <vector>

#include "disturbance/disturbance.h"
#include "files/grid_file.h"
#include "files_test_util.h"
#include "landscape/flow.h"
#include "landscape/landscape.h"
#include "model/life_history.h"
#include "util/error.h"

using namespace marovi;
using files_test::Bytes;
using files_test::F64At;
using files_test::I32At;

namespace {

// A small simulation with everything a grid file holds set to something worth checking.
Model Rich()
{
    Model m = files_test::Scenario(6, 12);
    AddStandardDisturbance(m);
    AddDisturbance(m, 1, 9, 8, 2, true, 3.5, 0.5, 4.5, 0.25, 0.75, 0.5, 1.25, 0.125, 0x81, 2);
    SetGrowthModel(m, 3, 1);
    m.SpeciesPool[2].Name = "twenty characters!!!";
    m.SpeciesPool[4].Color = 0x00FF8040;
    m.SpeciesPool[5].Reserved[7] = 0xAB;
    m.SpeciesPool[6].Guild = -3;
    NewFlowGrid(m.FlowGrid, 2, 3, 0.5, 0.25, 1.5);
    m.FlowGrid.Cell(1, 2).Speed = 0.0;
    m.StateDefs.Criteria[2][4] = {true, 0.125, 0.875};
    m.DispersalKernel = TKernel::Diffusion;
    m.PatchKernel = TKernel::Uniform;
    m.BiasedLottery = true;
    m.SpeciesKFactor = true;
    m.NeighbourhoodSize = 7;
    m.GlobalKFactor = -2.5;
    m.ReservedFlag = true;
    m.FluctRepro = true;
    m.FluctReproMin = -17;
    m.FluctReproMax = 123456789;
    m.RandomSeed = 99;
    m.TermDisturbances = 4;
    m.TermSteps = 5;
    m.MaxRuntime = 300;
    m.Repetitions = 3;
    m.Separator = '|';
    m.MinSize = 0.3;
    m.Torus = false;
    m.ExtinctionStep[50] = 77;
    m.LastAbundance[0] = 1234;
    m.Cell(3, 4).Capacity = -2; // painting accepts any value
    return m;
}

// Header of a grid file built by hand: count species, xdim x ydim cells, defs definitions.
Bytes Header(char letter, int species, int xdim, int ydim, int defs)
{
    Bytes b(608);
    b.Text(0, "MAROVI GRID FILE").Text(16, "V 1.20");
    b.I32(24, species).I32(28, xdim).I32(32, ydim).I32(36, defs);
    b.U8(512, 1).U8(515, ';').F64(520, 0.2).U8(528, static_cast<uint8_t>(letter)).U8(529, 0x11).U8(532, 1);
    return b;
}

std::string SpeciesRecord(const std::string& name, int growthModel = 0)
{
    Bytes s(496);
    s.U8(0, static_cast<uint8_t>(name.size())).Text(1, name);
    s.F64(24, 3.0).F64(32, 2.0).F64(40, 1.0).F64(48, 0.1).F64(56, 6.5);
    s.I32(64, 150).I32(68, 30).I32(72, 2).I32(76, 1).I32(84, 1).I32(108, growthModel);
    return s.Str();
}

std::string Cell(int capacity, int n)
{
    return Bytes(20).I32(0, capacity).I32(4, 2).I32(8, 9).I32(12, 255).I32(16, n).Str();
}

std::string Individual(int species, int age, double size, int px, int py)
{
    return Bytes(32).I32(0, species).I32(4, age).F64(8, size).I32(16, age - 1).I32(20, px).I32(24, py).Str();
}

// A complete 'J' file: 2 x 1 grid, 2 species, one definition, 1 x 2 flow grid; cell (0,0)
// holds two individuals, cell (1,0) none.
Bytes SmallFile()
{
    Bytes b = Header('J', 2, 2, 1, 1);
    b.I32(44, 42).I32(48, 5).I32(40, 17);
    Bytes states(480);
    states.U8(0, 1).F64(8, 0.25).F64(16, 0.75);
    b.Append(states.Str());
    b.Append(Bytes(8).I32(0, 1).I32(4, 2).Str());
    b.Append(Bytes(24).F64(0, 1.0).F64(8, 0.5).F64(16, 2.0).Str());
    b.Append(Bytes(24).F64(0, -1.0).F64(8, 0.0).F64(16, 0.0).Str());
    b.Append(Bytes(112).I32(0, 0).I32(4, 0).I32(8, 1).I32(12, 0).F64(16, 10).F64(56, 1.5).F64(72, 1.0).U8(80, 1).I32(104, 1).Str());
    b.Append(SpeciesRecord("alpha")).Append(SpeciesRecord("beta", 1));
    b.Append(Cell(10, 2)).Append(Individual(1, 7, 0.5, 3, 9)).Append(Individual(0, 2, 0.25, 0, 0));
    b.Append(Cell(5, 0));
    return b;
}

// Byte offsets of the parts of SmallFile.
constexpr size_t SmallDefs = 608 + 480 + 8 + 48;
constexpr size_t SmallSpecies = SmallDefs + 112;
constexpr size_t SmallCells = SmallSpecies + 2 * 496;

std::string LoadError(Model& m, const std::string& bytes)
{
    return files_test::ErrorOf([&] { LoadGridBytes(m, bytes, "bad.mgf"); });
}

} // namespace

TEST(GridFile, SaveLoadSaveGivesTheSameBytesAndModel)
{
    files_test::TempDir dir;
    const Model src = Rich();
    SaveGridFile(src, dir.File("a.mgf"));
    Model back;
    LoadGridFile(back, dir.File("a.mgf"));
    SaveGridFile(back, dir.File("b.mgf"));
    const std::string a = files_test::ReadAll(dir.File("a.mgf"));
    ASSERT_EQ(a, files_test::ReadAll(dir.File("b.mgf")));
    EXPECT_EQ(a, GridFileBytes(src));

    EXPECT_EQ(back.TimeStep, 6);
    EXPECT_EQ(back.XDim, 12);
    EXPECT_EQ(back.StartFill, 11);
    EXPECT_EQ(back.DisturbanceEventCount, src.DisturbanceEventCount);
    EXPECT_EQ(back.Separator, '|');
    EXPECT_EQ(back.PatchKernel, TKernel::Uniform);
    EXPECT_EQ(back.DispersalKernel, TKernel::Diffusion);
    EXPECT_TRUE(back.BiasedLottery && back.SpeciesKFactor && back.ReservedFlag && !back.Torus);
    EXPECT_EQ(back.FluctReproMin, -17);
    EXPECT_EQ(back.GrowthFunc[3], 1);
    EXPECT_EQ(back.SpeciesPool[2].Name, "twenty characters!!!");
    EXPECT_EQ(back.SpeciesPool[5].Reserved[7], 0xAB);
    EXPECT_EQ(back.SpeciesPool[6].Guild, -3);
    EXPECT_EQ(back.FlowGrid.XCount, 2);
    EXPECT_EQ(back.FlowGrid.Cell(1, 2).Speed, 0.0);
    EXPECT_TRUE(back.StateDefs.Criteria[2][4].consider);
    ASSERT_EQ(back.Disturbances.size(), 2u);
    EXPECT_EQ(back.Disturbances[1].Substrate, 0x81);
    EXPECT_EQ(back.Cell(3, 4).Capacity, -2);
    EXPECT_EQ(back.FirstSpeciesColumn, 7);

    // Cells and individuals in list order, with the rebuilt counts and position marks.
    TSpeciesCounts total{};
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 12; ++y) {
            const TCell& s = src.Cell(x, y);
            const TCell& b = back.Cell(x, y);
            ASSERT_EQ(b.Individuals.size(), s.Individuals.size());
            EXPECT_EQ(b.IndividualCount, s.IndividualCount);
            EXPECT_EQ(b.Abundance, s.Abundance);
            EXPECT_EQ(b.CellAge, s.CellAge);
            EXPECT_EQ(b.LarvaeCount, 0);
            EXPECT_EQ(b.Occupied.Count(), b.IndividualCount);
            for (size_t i = 0; i < s.Individuals.size(); ++i) {
                const TIndividual& p = s.Individuals[i];
                const TIndividual& q = b.Individuals[i];
                EXPECT_TRUE(p.Species == q.Species && p.Age == q.Age && p.Size == q.Size &&
                            p.LastReproduction == q.LastReproduction && p.PosX == q.PosX && p.PosY == q.PosY);
                EXPECT_TRUE(b.Occupied.Has(q.PosX, q.PosY));
                total[static_cast<size_t>(q.Species)] += 1;
            }
        }
    EXPECT_EQ(back.StepAbundance, total);
}

TEST(GridFile, HeaderFieldsLieAtTheirOffsets)
{
    Model m = Rich();
    const std::string b = GridFileBytes(m);
    EXPECT_EQ(b.substr(0, 22), "MAROVI GRID FILEV 1.20");
    EXPECT_EQ(I32At(b, 24), 10);
    EXPECT_EQ(I32At(b, 28), 12);
    EXPECT_EQ(I32At(b, 36), 2);
    EXPECT_EQ(I32At(b, 44), 6);
    EXPECT_EQ(I32At(b, 300), 1234);
    EXPECT_EQ(I32At(b, 96 + 4 * 50), 77);
    EXPECT_EQ(b[512], 0);
    EXPECT_EQ(b[515], '|');
    EXPECT_EQ(F64At(b, 520), 0.3);
    EXPECT_EQ(b[528], 'J');
    EXPECT_EQ(static_cast<uint8_t>(b[529]), 0x42);
    EXPECT_EQ(b[530], 2);
    EXPECT_EQ(b[531], 1);
    EXPECT_EQ(b[532], 7);
    EXPECT_EQ(F64At(b, 536), -2.5);
    EXPECT_EQ(b[544], 1);
    EXPECT_EQ(I32At(b, 545), -17);
    EXPECT_EQ(I32At(b, 549), 123456789);
    EXPECT_EQ(I32At(b, 553), 99);
    EXPECT_EQ(I32At(b, 557), 4);
    EXPECT_EQ(I32At(b, 561), 5);
    EXPECT_EQ(b.substr(565, 43), std::string(43, '\0'));
    // State block, then the flow grid block.
    EXPECT_EQ(b[608 + (2 * 5 + 4) * 24], 1);
    EXPECT_EQ(F64At(b, 608 + (2 * 5 + 4) * 24 + 16), 0.875);
    EXPECT_EQ(I32At(b, 1088), 2);
    EXPECT_EQ(I32At(b, 1092), 3);
    EXPECT_EQ(F64At(b, 1096 + 24 * 5 + 16), 0.0);
    size_t individuals = 0;
    for (const TCell& c : m.Cells) individuals += c.Individuals.size();
    EXPECT_EQ(b.size(), 608 + 480 + 8 + 6 * 24 + 2 * 112 + 10 * 496 + 144 * 20 + 32 * individuals);
    // The first cell record follows the species.
    const size_t cells = 608 + 480 + 8 + 6 * 24 + 2 * 112 + 10 * 496;
    EXPECT_EQ(I32At(b, cells), m.Cell(0, 0).Capacity);
    EXPECT_EQ(I32At(b, cells + 16), m.Cell(0, 0).IndividualCount);
    EXPECT_EQ(I32At(b, cells + 20), m.Cell(0, 0).Individuals[0].Species);
}

TEST(GridFile, LotteryByteStoresTheLotteryThatRuns)
{
    Model m = files_test::Scenario(0, 4);
    m.SpeciesKFactor = true; // without the biased lottery species k-factors have no effect
    EXPECT_EQ(GridFileBytes(m)[530], 0);
    m.BiasedLottery = true;
    EXPECT_EQ(GridFileBytes(m)[530], 2);
    m.SpeciesKFactor = false;
    EXPECT_EQ(GridFileBytes(m)[530], 1);
}

TEST(GridFile, HandBuiltFileReadsBackToKnownValues)
{
    Model m;
    m.OldReproInterval = false;
    m.Random.SeedRandom(5);
    const TRandom before = m.Random;
    LoadGridBytes(m, SmallFile().Str(), "small.mgf");
    EXPECT_EQ(m.TimeStep, 42);
    EXPECT_EQ(m.DisturbanceEventCount, 5);
    EXPECT_EQ(m.DisturbedCellCount, 17);
    EXPECT_EQ(m.SpeciesMax, 1);
    EXPECT_EQ(m.SpeciesPool[1].Name, "beta");
    EXPECT_EQ(m.SpeciesPool[0].Fecundity[0], 6.5);
    EXPECT_EQ(m.GrowthFunc[1], 1);
    EXPECT_EQ(m.SpeciesPool[1].GrowthK, 0.0); // the growth model sets the function only
    EXPECT_TRUE(m.StateDefs.Criteria[0][0].consider);
    EXPECT_EQ(m.StateDefs.Criteria[0][0].max, 0.75);
    EXPECT_FALSE(m.StateDefs.Criteria[0][1].consider);
    EXPECT_EQ(m.FlowGrid.YCount, 2);
    EXPECT_EQ(m.FlowGrid.Cell(0, 1).Direction, -1.0);
    ASSERT_EQ(m.Disturbances.size(), 1u);
    EXPECT_EQ(m.Disturbances[0].Probability[0], 1.5);
    EXPECT_EQ(m.Disturbances[0].X2, 1);
    const TCell& c = m.Cell(0, 0);
    ASSERT_EQ(c.Individuals.size(), 2u);
    EXPECT_EQ(c.Individuals[0].Species, 1);
    EXPECT_EQ(c.Individuals[0].LastReproduction, 6);
    EXPECT_EQ(c.Individuals[1].Size, 0.25);
    EXPECT_TRUE(c.Occupied.Has(3, 9));
    EXPECT_TRUE(c.Occupied.Has(0, 0));
    EXPECT_EQ(c.Abundance[0], 1);
    EXPECT_EQ(c.Capacity, 10);
    EXPECT_EQ(c.CellAge, 9);
    EXPECT_EQ(m.Cell(1, 0).Capacity, 5);
    EXPECT_EQ(m.StepAbundance[0], 1);
    EXPECT_EQ(m.StepAbundance[1], 1);
    // What the file does not hold stays as it was.
    EXPECT_FALSE(m.OldReproInterval);
    EXPECT_EQ(m.Random.Uniform(), TRandom(before).Uniform());
    EXPECT_EQ(m.FileName, "-not saved-");
}

TEST(GridFile, TrailingBytesAreIgnored)
{
    Model a, b;
    LoadGridBytes(a, SmallFile().Str(), "x.mgf");
    LoadGridBytes(b, SmallFile().Append("trailing garbage").Str(), "x.mgf");
    EXPECT_EQ(GridFileBytes(a), GridFileBytes(b));
}

TEST(GridFile, FormatLetterBReadsNeitherStatesNorFlowGrid)
{
    // The definitions follow the header directly.
    Bytes b = Header('B', 1, 1, 1, 1);
    b.F64(80, 0.5).F64(88, 0.25);
    b.Append(Bytes(112).F64(56, 2.5).U8(80, 3).Str()).Append(SpeciesRecord("old")).Append(Cell(4, 0));
    Model m;
    m.StateDefs.Criteria[0][0].min = 0.9;
    LoadGridBytes(m, b.Str(), "b.mgf");
    EXPECT_EQ(m.StateDefs.Criteria[0][0].min, 0.0);
    EXPECT_TRUE(m.StateDefs.Criteria[1][2].consider);
    EXPECT_EQ(m.StateDefs.Criteria[1][2].min, 0.5);
    EXPECT_EQ(m.FlowGrid.XCount, 1);
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Direction, 0.5);
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Deviation, 0.25);
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Speed, 1.0);
    EXPECT_EQ(m.Disturbances[0].Probability[0], 2.5);
    EXPECT_EQ(m.SpeciesPool[0].Name, "old");
    EXPECT_EQ(m.Cell(0, 0).Capacity, 4);
    EXPECT_EQ(m.FirstSpeciesColumn, 6);
}

TEST(GridFile, FormatLetterCReadsStatesButNoFlowGrid)
{
    Bytes b = Header('C', 1, 1, 1, 0);
    b.F64(80, 1.5);
    b.Append(Bytes(480).U8(24 * 7, 1).F64(24 * 7 + 8, 0.125).Str()).Append(SpeciesRecord("c")).Append(Cell(4, 0));
    Model m;
    LoadGridBytes(m, b.Str(), "c.mgf");
    EXPECT_TRUE(m.StateDefs.Criteria[1][2].consider);
    EXPECT_EQ(m.StateDefs.Criteria[1][2].min, 0.125);
    EXPECT_FALSE(m.StateDefs.Criteria[0][0].consider);
    EXPECT_EQ(m.FlowGrid.XCount * m.FlowGrid.YCount, 1);
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Direction, 1.5);
    EXPECT_EQ(m.FlowGrid.Cell(0, 0).Deviation, 0.0);
    EXPECT_EQ(m.SpeciesPool[0].Name, "c");
}

TEST(GridFile, FirstSpeciesColumnFollowsTheFormatLetter)
{
    for (auto [letter, column] : std::vector<std::pair<char, int>>{{'G', 6}, {'H', 7}, {'J', 7}, {'D', 6}}) {
        Bytes b = SmallFile();
        b.U8(528, static_cast<uint8_t>(letter));
        Model m;
        LoadGridBytes(m, b.Str(), "f.mgf");
        EXPECT_EQ(m.FirstSpeciesColumn, column) << letter;
    }
}

TEST(GridFile, StoredSeparatorZeroKeepsTheCurrentOne)
{
    Model m;
    m.Separator = ',';
    LoadGridBytes(m, SmallFile().U8(515, 0).Str(), "s.mgf");
    EXPECT_EQ(m.Separator, ',');
    LoadGridBytes(m, SmallFile().U8(515, '\t').Str(), "s.mgf");
    EXPECT_EQ(m.Separator, '\t');
}

TEST(GridFile, KernelAndLotteryCodes)
{
    struct Case {
        uint8_t kernels;
        TKernel dispersal, patch;
    };
    for (Case c : {Case{0x42, TKernel::Diffusion, TKernel::Uniform}, Case{0x24, TKernel::Uniform, TKernel::Diffusion},
                   Case{0x33, TKernel::Exponential, TKernel::Exponential}, Case{0x00, TKernel::Exponential, TKernel::Exponential}}) {
        Model m;
        LoadGridBytes(m, SmallFile().U8(529, c.kernels).Str(), "k.mgf");
        EXPECT_EQ(m.DispersalKernel, c.dispersal) << int{c.kernels};
        EXPECT_EQ(m.PatchKernel, c.patch) << int{c.kernels};
    }
    Model m;
    LoadGridBytes(m, SmallFile().U8(530, 2).Str(), "l.mgf");
    EXPECT_TRUE(m.BiasedLottery && m.SpeciesKFactor);
    LoadGridBytes(m, SmallFile().U8(530, 3).Str(), "l.mgf"); // unknown: unchanged
    EXPECT_TRUE(m.BiasedLottery && m.SpeciesKFactor);
    LoadGridBytes(m, SmallFile().U8(530, 1).Str(), "l.mgf");
    EXPECT_TRUE(m.BiasedLottery && !m.SpeciesKFactor);
    LoadGridBytes(m, SmallFile().U8(530, 0).Str(), "l.mgf");
    EXPECT_TRUE(!m.BiasedLottery && !m.SpeciesKFactor);
}

TEST(GridFile, FiftyOneSpeciesLoadAndFiftyTwoAreRefused)
{
    Bytes b = Header('J', 51, 1, 1, 0);
    b.Append(std::string(480, '\0')).Append(Bytes(8).I32(0, 1).I32(4, 1).Str()).Append(std::string(24, '\0'));
    for (int i = 0; i < 51; ++i) b.Append(SpeciesRecord("s" + std::to_string(i)));
    b.Append(Cell(10, 1)).Append(Individual(50, 1, 0.1, 9, 9));
    Model m;
    LoadGridBytes(m, b.Str(), "51.mgf");
    EXPECT_EQ(m.SpeciesMax, 50);
    EXPECT_EQ(m.SpeciesPool[50].Name, "s50");
    EXPECT_EQ(m.StepAbundance[50], 1);

    b.I32(24, 52).Append(SpeciesRecord("one too many"));
    EXPECT_EQ(LoadError(m, b.Str()), "Can not create more then 50 different species!");
}

TEST(GridFile, WrongMagicAndVersion)
{
    Model m;
    EXPECT_EQ(LoadError(m, SmallFile().Text(0, "MAROVI GRID FILF").Str()), "not a MAROVI grid file!");
    EXPECT_EQ(LoadError(m, "MAROVI"), "not a MAROVI grid file!");
    EXPECT_EQ(LoadError(m, ""), "not a MAROVI grid file!");
    EXPECT_EQ(LoadError(m, SmallFile().Text(16, "V 1.19").Str()),
              "Datafile not compatible with this version of MAROVI!\r\rdatafile : V 1.19\rcore : V 1.20\r\r"
              "Sorry for your inconvenience!");
}

TEST(GridFile, MissingFileOrDirectoryIsNamed)
{
    Model m;
    EXPECT_EQ(files_test::ErrorOf([&] { LoadGridFile(m, "/nonexistent/dir/x.mgf"); }), "file /nonexistent/dir/x.mgf not found");
    // A directory opens, but has no size to check the header's counts against.
    files_test::TempDir dir;
    EXPECT_EQ(files_test::ErrorOf([&] { LoadGridFile(m, dir.Path().string()); }),
              dir.Path().string() + ": not a file that can be read");
}

TEST(GridFile, DamagedFilesAreRefusedWithTheirProblem)
{
    struct Case {
        std::string what;
        std::string bytes;
        std::string message;
    };
    const std::string small = SmallFile().Str();
    const std::vector<Case> cases = {
        {"negative species", SmallFile().I32(24, -1).Str(), "bad.mgf: the header claims -1 species"},
        {"zero columns", SmallFile().I32(28, 0).Str(), "bad.mgf: the header claims a grid of 0 x 1 cells"},
        {"negative rows", SmallFile().I32(32, -4).Str(), "bad.mgf: the header claims a grid of 2 x -4 cells"},
        {"negative definitions", SmallFile().I32(36, -2).Str(), "bad.mgf: the header claims -2 disturbance definitions"},
        {"huge grid", SmallFile().I32(28, 1000).I32(32, 1000).Str(),
         "bad.mgf: the file is too short for the 1000 x 1000 grid, 2 species and 1 disturbance definitions its header claims"},
        {"grid of 2^62 cells", SmallFile().I32(28, 2147483647).I32(32, 2147483647).Str(),
         "bad.mgf: the file is too short for the 2147483647 x 2147483647 grid, 2 species and 1 disturbance definitions its "
         "header claims"},
        {"many definitions", SmallFile().I32(36, 100000000).Str(),
         "bad.mgf: the file is too short for the 2 x 1 grid, 2 species and 100000000 disturbance definitions its header claims"},
        {"flow grid of zero cells", SmallFile().I32(1088, 0).Str(), "bad.mgf: the flow grid has 0 x 2 cells (at least 1 x 1)"},
        {"flow grid of a billion cells", SmallFile().I32(1088, 40000).I32(1092, 25000).Str(),
         "bad.mgf: the file ends before the 40000 x 25000 flow cells it claims"},
        {"101 individuals", SmallFile().I32(SmallCells + 16, 101).Str(), "bad.mgf: cell [0,0] claims 101 individuals (at most 100)"},
        {"negative individuals", SmallFile().I32(SmallCells + 16, -1).Str(),
         "bad.mgf: cell [0,0] claims -1 individuals (at most 100)"},
        {"more individuals than bytes", SmallFile().I32(SmallCells + 84 + 16, 3).Str(),
         "bad.mgf: the file ends before the 3 individuals of cell [1,0]"},
        {"position x 10", SmallFile().I32(SmallCells + 20 + 20, 10).Str(),
         "bad.mgf: individual 1 of cell [0,0] has position (10,9) outside 0..9"},
        {"position y -1", SmallFile().I32(SmallCells + 52 + 24, -1).Str(),
         "bad.mgf: individual 2 of cell [0,0] has position (0,-1) outside 0..9"},
        {"position twice", SmallFile().I32(SmallCells + 52 + 20, 3).I32(SmallCells + 52 + 24, 9).Str(),
         "bad.mgf: individual 2 of cell [0,0] takes position (3,9), which another individual holds"},
        {"species outside the pool", SmallFile().I32(SmallCells + 20, 2).Str(),
         "bad.mgf: individual 1 of cell [0,0] is of species 3, which the pool of 2 species does not hold"},
        {"negative species index", SmallFile().I32(SmallCells + 52, -1).Str(),
         "bad.mgf: individual 2 of cell [0,0] is of species 0, which the pool of 2 species does not hold"},
        {"name of 21 characters", SmallFile().U8(SmallSpecies + 496, 21).Str(),
         "bad.mgf: species 2 has a name of 21 characters (at most 20)"},
        {"growth model 2", SmallFile().I32(SmallSpecies + 108, 2).Str(), "unknown growth model!"},
        {"cut in the header", small.substr(0, 300), "bad.mgf: the file ends before the end of the header"},
        {"cut in the version", small.substr(0, 20), "bad.mgf: the file ends before the end of the header"},
        {"cut in the state block", small.substr(0, 700),
         "bad.mgf: the file is too short for the 2 x 1 grid, 2 species and 1 disturbance definitions its header claims"},
        {"cut in the flow cells", small.substr(0, 1100),
         "bad.mgf: the file is too short for the 2 x 1 grid, 2 species and 1 disturbance definitions its header claims"},
        {"cut in the last cell", small.substr(0, small.size() - 1), "bad.mgf: the file ends before cell [1,0]"},
        {"cut in an individual", small.substr(0, SmallCells + 20 + 40),
         "bad.mgf: the file ends before the 2 individuals of cell [0,0]"},
    };
    for (const Case& c : cases) {
        Model m;
        EXPECT_EQ(LoadError(m, c.bytes), c.message) << c.what;
    }
}

TEST(GridFile, FailedLoadLeavesTheModelUntouched)
{
    Model m = Rich();
    m.FileName = "kept.mgf";
    const std::string before = GridFileBytes(m);
    const TRandom random = m.Random;
    for (const std::string& bad : {SmallFile().I32(SmallCells + 52 + 20, 3).I32(SmallCells + 52 + 24, 9).Str(),
                                   SmallFile().I32(SmallSpecies + 108, 5).Str(), SmallFile().Str().substr(0, 1300),
                                   SmallFile().Text(16, "V 1.19").Str()}) {
        EXPECT_NE(LoadError(m, bad), "(no error)");
        ASSERT_EQ(GridFileBytes(m), before);
        EXPECT_EQ(m.FileName, "kept.mgf");
        EXPECT_EQ(m.Random.Next, random.Next);
        EXPECT_EQ(m.Cell(0, 0).Abundance, Rich().Cell(0, 0).Abundance);
    }
}

TEST(GridFile, ProgressIsToldOncePerColumn)
{
    Model m;
    InitStartupModel(m, 1, 198, 1);
    std::vector<int> seen;
    TLoadProgress progress{[&](int p) { seen.push_back(p); }};
    Model back;
    LoadGridBytes(back, GridFileBytes(m), "p.mgf", progress);
    ASSERT_EQ(seen.size(), 198u);
    EXPECT_EQ(seen[0], 0);
    EXPECT_EQ(seen[1], 0);  // 99/198 = 0.5, ties to even
    EXPECT_EQ(seen[3], 2);  // 1.5
    EXPECT_EQ(seen[5], 2);  // 2.5
    EXPECT_EQ(seen[197], 98);
}

TEST(GridFile, FailedSaveKeepsTheOldFile)
{
    files_test::TempDir dir;
    const std::string path = dir.File("keep.mgf");
    Model m = files_test::Scenario(2, 30);
    SaveGridFile(Rich(), path);
    const std::string old = files_test::ReadAll(path);

    // A file size limit below the new file's size makes the write fail half way.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = files_test::ErrorOf([&] { SaveGridFile(m, path); });
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(message.rfind("can not write " + path + ": ", 0), 0u) << message;
    EXPECT_EQ(files_test::ReadAll(path), old);
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1u); // no temporary file left behind

    EXPECT_THROW(SaveGridFile(m, dir.File("no/such/dir/x.mgf")), Error);
    SaveGridFile(m, path);
    EXPECT_EQ(files_test::ReadAll(path), GridFileBytes(m));
}

TEST(GridFile, ExtremeValuesFromAFileStayUsable)
{
    // Capacities and landscape levels are data: any int32 loads, and what reads them later
    // must not overflow (the sanitizer build turns an overflow into a failure).
    Bytes b = SmallFile();
    b.I32(SmallCells, INT32_MIN).I32(SmallCells + 84, INT32_MAX).I32(64, INT32_MAX).I32(68, INT32_MIN);
    Model m;
    LoadGridBytes(m, b.Str(), "extreme.mgf");
    EXPECT_EQ(m.Cell(0, 0).Capacity, INT32_MIN);
    EXPECT_EQ(CapacityColour(m, m.Cell(0, 0).Capacity), 0x640000u);
    EXPECT_EQ(CapacityColour(m, m.Cell(1, 0).Capacity), 0x630000u);
    // Low + round(level x (High - Low)) far beyond the int32 range: the most a cell holds.
    TGreyImage image{2, 1, {0x000000, 0x808080}};
    LandscapeFromImage(m, image);
    EXPECT_EQ(m.Cell(0, 0).Capacity, MaxCellCapacity);
    EXPECT_EQ(m.Cell(1, 0).Capacity, MaxCellCapacity);
}
