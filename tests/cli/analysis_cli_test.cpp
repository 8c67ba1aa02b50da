// End-to-end tests of the analysis commands of marovi-cli on small saved simulations.
#include <sstream>

#include "../core/analysis_test_util.h"
#include "analysis/transect.h"
#include "cli_fixture.h"
#include "colours/hsl.h"

namespace fs = std::filesystem;
using namespace marovi;
using testing_util::Put;
using Lines = std::vector<std::string>;

namespace {

using TResult = cli_test::TCliResult;

// Lines of a text ended by CR LF; a line without them fails the test.
Lines CrlfSplit(const std::string& text)
{
    Lines lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class AnalysisCli : public cli_test::CliTest {
protected:
    // The four-by-three simulation of the cluster tests, saved as s.mgf.
    void SaveSmall(Model& m)
    {
        testing_util::MakeClusterModel(m);
        Save(m);
    }
    void Save(const Model& m, const std::string& name = "s.mgf") const { SaveGridFile(m, (dir / name).string()); }
};

} // namespace

TEST_F(AnalysisCli, EveryAnalysisCommandHasHelp)
{
    for (const char* command :
         {"clusters", "rank", "succession", "histogram", "transect", "pov", "index", "similarity", "map"}) {
        TResult r = Run(std::string(command) + " --help");
        EXPECT_EQ(r.Code, 0) << command;
        EXPECT_NE(r.Out.find("Usage"), std::string::npos) << command;
    }
}

TEST_F(AnalysisCli, ClustersReportLabelsAndDetails)
{
    Model m;
    SaveSmall(m);
    TResult r = Run("clusters s.mgf --mode species --species 1 --no-close --keep-orphans --labels lab.txt");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(CrlfSplit(r.Out), testing_util::ClusterModelReport("s.mgf"));
    EXPECT_EQ(text_test::CrlfLines((dir / "lab.txt").string()), (Lines{"1 1 0 0", "0 0 0 0", "0 0 0 2"}));

    Lines details = CrlfSplit(Run("clusters s.mgf --mode species --no-close --keep-orphans --details 2").Out);
    ASSERT_EQ(details.size(), 7u);
    EXPECT_EQ(details[2], "details of cluster 2");
    EXPECT_EQ(details[6], "  0 ;     3 ;     2 ;        1;       0");
    // A number that is no cluster leaves the report.
    EXPECT_EQ(CrlfSplit(Run("clusters s.mgf --mode species --details 3").Out)[4], "clusters     : 1");

    // Cleaned up (the default): closing joins the lowest row's cells, the orphan goes.
    Lines cleaned = CrlfSplit(Run("clusters s.mgf --mode species --window 0,0,3,1").Out);
    EXPECT_EQ(cleaned[2], "clusters closed and no orphaned cells");
}

TEST_F(AnalysisCli, ClustersJoinAcrossTheEdgesOfATorus)
{
    Model m;
    testing_util::MakeClusterModel(m);
    Put(m, 3, 0, 0, 0.5); // beside (0, 0) across the side edges, beside (3, 2) across the others
    Save(m);
    const std::string species = "clusters s.mgf --mode species --no-close --keep-orphans";
    EXPECT_EQ(CrlfSplit(Run(species).Out)[3], "clusters     : 3");
    Lines joined = CrlfSplit(Run(species + " --periodic --labels lab.txt").Out);
    EXPECT_EQ(joined[2], "joined across edges");
    EXPECT_EQ(joined[4], "clusters     : 1");
    EXPECT_EQ(text_test::CrlfLines((dir / "lab.txt").string()), (Lines{"1 1 0 1", "0 0 0 0", "0 0 0 1"}));
    // Only across the grid's edges that the window reaches: here the lower and upper ones.
    EXPECT_EQ(CrlfSplit(Run(species + " --periodic --window 1,0,3,2").Out)[4], "clusters     : 2");
    m.Torus = false;
    Save(m);
    EXPECT_EQ(Run(species + " --periodic").Err, "marovi-cli: --periodic: the grid does not wrap around\n");
}

TEST_F(AnalysisCli, ClustersRefusals)
{
    Model m;
    SaveSmall(m);
    TResult states = Run("clusters s.mgf --larvae");
    EXPECT_EQ(states.Code, 1);
    EXPECT_EQ(states.Err, "marovi-cli: Can not use larvae for grid state!\n");
    EXPECT_EQ(Run("clusters s.mgf --mode area --larvae").Err, "marovi-cli: can not use larvae to calc area!\n");
    EXPECT_NE(Run("clusters s.mgf --species 3").Err.find("the species are numbered 1..2"), std::string::npos);
    EXPECT_NE(Run("clusters s.mgf --window 0,0,4,2").Err.find("the corners must lie in 0..3 x 0..2"),
              std::string::npos);
    EXPECT_EQ(Run("clusters s.mgf --mode species --min 1.5").Code, 1);
    TResult missing = Run("clusters none.mgf");
    EXPECT_EQ(missing.Code, 1);
    EXPECT_NE(missing.Err.find("none.mgf"), std::string::npos);
}

TEST_F(AnalysisCli, RankListsInSelectionOrder)
{
    Model m;
    testing_util::MakeModel(m, 3, 3, 2);
    Put(m, 0, 0, 0, 0.5);
    Put(m, 1, 0, 1, 0.5);
    Put(m, 2, 1, 2, 0.5);
    Put(m, 2, 1, 2, 0.5);
    Put(m, 2, 0, 0, 0.2);  // exactly the minimal size: not counted
    Save(m);
    TResult r = Run("rank s.mgf --relative --cumulative --area all:9,9,0,0 --area none:0,1,1,1");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(CrlfSplit(r.Out), (Lines{
                                    "all [(0,0)/(2,1)];total 4",
                                    "rank;species;count;cumulative relative abundance",
                                    "1;Species 03;2;0.5",
                                    "2;Species 02;1;0.75",
                                    "3;Species 01;1;1",
                                    "",
                                    "none [(0,1)/(1,1)];total 0",
                                    "rank;species;count;cumulative relative abundance",
                                    "1;Species 01;0;0",
                                    "2;Species 02;0;0",
                                    "3;Species 03;0;0",
                                }));
    EXPECT_EQ(CrlfSplit(Run("rank s.mgf").Out)[0], "test [(0,0)/(2,1)];total 4");
    EXPECT_NE(Run("rank s.mgf --random 2").Err.find("--random needs --seed"), std::string::npos);
    Lines random = CrlfSplit(Run("rank s.mgf --random 2 --seed 4").Out);
    EXPECT_EQ(random[0].substr(0, 8), "area 1 [");
    EXPECT_EQ(random, CrlfSplit(Run("rank s.mgf --random 2 --seed 4").Out));
}

TEST_F(AnalysisCli, HistogramBinBoundariesAndSummary)
{
    Model m;
    testing_util::MakeModel(m, 2, 2, 2);
    for (int age : {10, 11, 100, 101}) Put(m, 0, 0, 1, 0.5, age);
    Put(m, 1, 1, 0, 0.5, 5);
    Save(m);
    TResult r = Run("histogram s.mgf --species 2 --max-age 100 --slots 10");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(CrlfSplit(r.Out), (Lines{
                                    "# histogram of species Species 02",
                                    "# area 0,0 to 1,1",
                                    "# maxage set to :  100 and 10 bins",
                                    "# 1 individuals are older than that age",
                                    "# bin\tage\tcount",
                                    "  0\t  0.00 -  10.00\t1",
                                    "  1\t 10.00 -  20.00\t1",
                                    "  2\t 20.00 -  30.00\t0",
                                    "  3\t 30.00 -  40.00\t0",
                                    "  4\t 40.00 -  50.00\t0",
                                    "  5\t 50.00 -  60.00\t0",
                                    "  6\t 60.00 -  70.00\t0",
                                    "  7\t 70.00 -  80.00\t0",
                                    "  8\t 80.00 -  90.00\t0",
                                    "  9\t 90.00 - 100.00\t1",
                                    "1 individuals of 3 older than specified age, averave age : 55.5",
                                }));
    // The proposed max age: ln(0.1) / -DeathProb = 15 for the default lifespan of 30.
    Lines proposed = CrlfSplit(Run("histogram s.mgf --species 2 --window 0,0,0,0 --size --slots 3").Out);
    EXPECT_EQ(proposed[1], "# area 0,0 to 0,0");
    EXPECT_EQ(proposed[2], "# maxage set to :   15 and 3 bins");
    EXPECT_EQ(proposed[6], "  1\t  5.00 -  10.00\t4");  // size 0.5 of MaxSize 1: Round(2 x 0.5)
    EXPECT_EQ(proposed.back(), "4 individuals in total, averave size:  0.5");
    EXPECT_EQ(Run("histogram s.mgf --slots 0").Code, 1);
}

TEST_F(AnalysisCli, SuccessionList)
{
    Model m;
    testing_util::MakeModel(m, 2, 3, 1);
    m.Cell(0, 0).CellAge = 2;
    m.Cell(1, 0).CellAge = 7;
    m.Cell(2, 0).CellAge = 12;
    Put(m, 0, 0, 0, 0.2);  // exactly the minimal size counts here
    Put(m, 1, 0, 1, 0.5);
    Put(m, 1, 0, 1, 0.1);
    Save(m);
    TResult r = Run("succession s.mgf --max-age 12 --step 5");
    ASSERT_EQ(r.Code, 0) << r.Err;
    Lines lines = CrlfSplit(r.Out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].substr(0, 26), "# sucsession data created ");
    EXPECT_EQ(lines[0].size(), 26u + 19u);
    EXPECT_EQ(lines[1], "# filename: s.mgf");
    EXPECT_EQ(lines[2], "average time;N cells;sum;Species 01;Species 02");
    EXPECT_EQ(lines[3], "    2;       1;       1;       1;       0");
    EXPECT_EQ(lines[4], "    8;       1;       1;       0;       1");
    Lines guilds = CrlfSplit(Run("succession s.mgf --max-age 12 --step 5 --guilds").Out);
    EXPECT_EQ(guilds[2], "average time;N cells;sum;unknown;R0;R1;R2;UD");
    EXPECT_EQ(guilds[3], "    2;       1;       1;       1;       0;       0;       0;       0");
    EXPECT_NE(Run("succession s.mgf --step 0").Err.find("the step width must be at least 1"), std::string::npos);
}

TEST_F(AnalysisCli, TransectsWalkAndLine)
{
    Model m;
    testing_util::MakeModel(m, 2, 5, 4);
    Put(m, 0, 0, 0, 0.5);
    Put(m, 1, 1, 1, 0.5);
    Put(m, 2, 2, 1, 0.5);
    Save(m);
    TResult line = Run("transect s.mgf --line 0,0,4,4");
    ASSERT_EQ(line.Code, 0) << line.Err;
    EXPECT_EQ(CrlfSplit(line.Out), (Lines{
                                       "x ,y, Species 01, Species 02,  State, *, R0, R1, R2, UD, beta(species), beta(guildes)",
                                       "000 ,000, 001, 000, 000, 001, 000, 000, 000, 000, 1.000, 1.000",
                                       "001 ,001, 000, 001, 000, 001, 000, 000, 000, 000, 0.000, 1.000",
                                       "002 ,002, 000, 001, 000, 001, 000, 000, 000, 000, 0.000, 1.000",
                                       "003 ,003, 000, 000, 000, 000, 000, 000, 000, 000, 0.000, 0.000",
                                       "004 ,000, 000, 000, 000, 000, 000, 000, 000, 000, 0.000, 0.000",
                                   }));
    // Five samples 0.8 cells apart: Round(0.5 + 4 x 0.8) = 4 is off the rows 0..3 and wraps to 0.
    // Halves round to even: Round(0 + 0.5 + 1 x 1.0) = 2 and Round(0.5) = 0.
    Lines halves = CrlfSplit(Run("transect s.mgf --line 0,0,2,0").Out);
    ASSERT_EQ(halves.size(), 3u);
    EXPECT_EQ(halves[2].substr(0, 9), "002 ,000,");
    EXPECT_EQ(CrlfSplit(Run("transect s.mgf --line 1,1,2,2").Out).size(), 1u);  // less than 2 cells apart

    TResult walk = Run("transect s.mgf --walk 6 --start 4,3 --seed 9");
    ASSERT_EQ(walk.Code, 0) << walk.Err;
    Model loaded;
    LoadGridFile(loaded, (dir / "s.mgf").string());
    loaded.Random.SeedRandom(9);
    TRandomWalk w;
    w.Length = 6;
    w.RandomStart = false;
    w.X = 4;
    w.Y = 3;
    const TRovTransect expected = BuildRandomTransect(loaded, w);
    Lines got = CrlfSplit(walk.Out);
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(Lines(got.begin() + 1, got.end()), expected.Lines);
    EXPECT_EQ(got[1].substr(0, 9), "004 ,003,");

    TResult zero = Run("transect s.mgf --walk 5 --seed 1 --p 0,0,0,0");
    EXPECT_EQ(zero.Code, 1);
    EXPECT_EQ(zero.Err, "marovi-cli: all movement probabilities are 0, the ROV can not move!\n");
    EXPECT_EQ(Run("transect s.mgf --walk 5").Code, 1);                  // no seed
    EXPECT_EQ(Run("transect s.mgf --walk 5 --seed 1 --line 0,0,1,1").Code, 1);
}

TEST_F(AnalysisCli, PovSceneFiles)
{
    Model m;
    testing_util::MakeModel(m, 2, 3, 3);
    Put(m, 1, 2, 1, 0.5, 0);
    m.TimeStep = 7;
    Save(m);
    fs::create_directories(dir / "scene");
    TResult r = Run("pov s.mgf --dir scene");
    ASSERT_EQ(r.Code, 0) << r.Err;
    const Lines scene = text_test::CrlfLines((dir / "scene" / "MAROVI000007.pov").string());
    ASSERT_EQ(scene.size(), 17u);
    EXPECT_EQ(scene[1], "// File: scene/MAROVI000007.pov");
    // x = (1 + 0) x 500, z = (2 + 0) x 500, r = 2 x 500 / 10 x 0.05.
    EXPECT_EQ(scene[16], "Species2 (500.00,0.00,1000.00, 5.00, 0.00,0.00,0.00)");
    const Lines camera = text_test::CrlfLines((dir / "scene" / "camdef.inc").string());
    EXPECT_EQ(camera[11], "#declare CamPos=<500.00, 3.00,500.00>;");
    const Lines colours = text_test::CrlfLines((dir / "scene" / "MAROVIColors.inc").string());
    ASSERT_EQ(colours.size(), 6u + 51u + 2u);
    EXPECT_EQ(colours[6], "#declare Species1Color=<1.00, 0.00, 0.00>;");  // colours assigned on loading

    Model thin;
    testing_util::MakeModel(thin, 2, 1, 5);
    Save(thin, "thin.mgf");
    TResult refused = Run("pov thin.mgf --dir scene --name thin.pov");
    EXPECT_EQ(refused.Code, 1);
    EXPECT_EQ(refused.Err, "marovi-cli: can not export a scene of a grid one cell wide or high!\n");
    EXPECT_FALSE(fs::exists(dir / "scene" / "thin.pov"));
}

TEST_F(AnalysisCli, MapBitmap)
{
    Model m;
    testing_util::MakeModel(m, 2, 3, 2);
    m.SpeciesPool[1].Guild = 4;
    Put(m, 2, 1, 1, 0.5);  // top right: state UD, blue
    Save(m);
    TResult r = Run("map s.mgf --mode states --out map.bmp");
    ASSERT_EQ(r.Code, 0) << r.Err;
    const std::string bmp = files_test::ReadAll((dir / "map.bmp").string());
    ASSERT_EQ(bmp.size(), 54u + 2u * 12u);  // rows of 9 bytes padded to 12
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bmp[18]), 3u);
    EXPECT_EQ(static_cast<unsigned char>(bmp[22]), 2u);
    // The file's first row is the grid's row 0 (silver); its second row ends with blue (B G R).
    EXPECT_EQ(bmp.substr(54, 3), std::string("\xC0\xC0\xC0", 3));
    EXPECT_EQ(bmp.substr(54 + 12 + 6, 3), std::string("\xFF\x00\x00", 3));
    EXPECT_EQ(bmp.substr(54 + 9, 3), std::string(3, '\0'));
    EXPECT_NE(Run("map s.mgf --mode colourful --out x.bmp").Err.find("--mode colourful"), std::string::npos);
}

TEST_F(AnalysisCli, IndexAndSimilarityFigures)
{
    auto figure = [&](const std::string& args) {
        TResult r = Run(args);
        EXPECT_EQ(r.Code, 0) << args << ": " << r.Err;
        return r.Out;
    };
    EXPECT_EQ(figure("index shannon 10 10"), "0.69314718055994529\r\n");
    EXPECT_EQ(figure("index \"Shannon Index\" 10,10"), "0.69314718055994529\r\n");
    EXPECT_EQ(figure("index simpson 10 10"), "0.5\r\n");
    EXPECT_EQ(figure("index recsimpson 5 0 0"), "1\r\n");
    EXPECT_EQ(figure("index hill0 3 0 4"), "2\r\n");
    EXPECT_EQ(figure("index hill 1 1 2 --order 3"), "2.5298221281347035\r\n");
    EXPECT_EQ(figure("index mindex 4 4 --guilds 1,4"), "0\r\n");
    EXPECT_EQ(figure("index mindex0 0 7 --guilds 1,4"), "1\r\n");
    EXPECT_EQ(figure("similarity sorensen --a 1,1,0 --b 0,1,1"), "0.5\r\n");
    EXPECT_EQ(figure("similarity braycurtis --a 1,1,0 --b 0,1,1"), "0.5\r\n");
    EXPECT_EQ(figure("similarity marczewski --a 1,1 --b 0,1,1"), "0.66666666666666674\r\n");
    EXPECT_EQ(figure("similarity jaccard --a 0 --b 0"), "0\r\n");
    EXPECT_EQ(Run("index evenness 1 2").Code, 1);
    EXPECT_EQ(Run("index shannon 1 -2").Code, 1);
    EXPECT_EQ(Run("index mindex 1 2 --guilds 1").Code, 1);
}
