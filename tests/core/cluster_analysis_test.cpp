#include <gtest/gtest.h>

#include <cmath>

#include "analysis/cluster_analysis.h"
#include "analysis/cluster_criteria.h"
#include "analysis/clusters.h"
#include "analysis/indices.h"
#include "analysis/sliding_box.h"
#include "analysis_test_util.h"
#include "colours/species_colors.h"
#include "util/error.h"

using namespace marovi;
using testing_util::MakeModel;
using testing_util::Put;

namespace {

TClusterRecord RecordOf(const std::vector<std::pair<int, int>>& cells)
{
    TClusterRecord r;
    for (auto [i, j] : cells) r.Cells.push_back({i, j, {}});
    r.CellCount = static_cast<int32_t>(cells.size());
    return r;
}

std::string ErrorOf(const Model& m, const TClusterRequest& r)
{
    try {
        RunClusterAnalysis(m, r);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(ClusterShape, StraightLineOfTenCells)
{
    std::vector<std::pair<int, int>> cells;
    for (int i = 0; i < 10; ++i) cells.push_back({i, 3});
    TClusterRecord r = RecordOf(cells);
    ClusterShape(r);
    EXPECT_DOUBLE_EQ(r.Inertia, 82.5);
    EXPECT_NEAR(r.SemiMajor, 5.718, 5e-4);
    EXPECT_NEAR(r.SemiMinor, 0.557, 5e-4);
    EXPECT_NEAR(r.Eccentricity, 0.9952, 5e-5);
    EXPECT_DOUBLE_EQ(r.MeanSquaredRadius, 8.25);
}

TEST(ClusterShape, CompactClustersHaveNoEllipse)
{
    TClusterRecord single = RecordOf({{4, 7}});
    ClusterShape(single);
    EXPECT_EQ(single.Inertia, 0);
    EXPECT_EQ(single.Eccentricity, -1);
    EXPECT_EQ(single.SemiMajor, 0);
    EXPECT_EQ(single.SemiMinor, 0);
    EXPECT_EQ(single.MeanSquaredRadius, 0);

    TClusterRecord square = RecordOf({{0, 0}, {0, 1}, {1, 0}, {1, 1}});
    ClusterShape(square);
    EXPECT_DOUBLE_EQ(square.Inertia, 2.0);
    EXPECT_EQ(square.Eccentricity, -1);
    EXPECT_DOUBLE_EQ(square.MeanSquaredRadius, 0.5);
}

TEST(ClusterSizes, MeanSampleDeviationAndTheSingleClusterRule)
{
    EXPECT_EQ(ClusterSizeStats({}).Count, 0);
    EXPECT_EQ(ClusterSizeStats({}).Mean, 0);
    std::vector<TClusterRecord> one(1);
    one[0].CellCount = 12;
    EXPECT_EQ(ClusterSizeStats(one).StdDev, 12);
    std::vector<TClusterRecord> three(3);
    three[0].CellCount = 2;
    three[1].CellCount = 4;
    three[2].CellCount = 9;
    TClusterSizeStats st = ClusterSizeStats(three);
    EXPECT_DOUBLE_EQ(st.Mean, 5);
    EXPECT_DOUBLE_EQ(st.StdDev, std::sqrt(13.0));
    EXPECT_EQ(st.Min, 2);
    EXPECT_EQ(st.Max, 9);
}

class ClusterAnalysis : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_util::MakeClusterModel(m);
        m.FileName = "test.mgf";
        r = DefaultClusterRequest(m);
        r.Mode = TClusterMode::Species;
        r.Species = 0;
        r.Close = false;
        r.NoOrphans = false;
    }
    Model m;
    TClusterRequest r;
};

TEST_F(ClusterAnalysis, ReportTextOfTwoClusters)
{
    TClusterAnalysis a = RunClusterAnalysis(m, r);
    ASSERT_EQ(a.ClusterCount, 2);
    EXPECT_EQ(ClusterReport(m, a), testing_util::ClusterModelReport("test.mgf"));
    EXPECT_EQ(ClusterSummaryLabels(a), (std::vector<std::string>{"2 clusters", "average size :   1.5 +-   0.7 cells",
                                                                 "min size     :   1.0 cells",
                                                                 "max size     :   2.0 cells"}));
    EXPECT_EQ(LabelMatrixLines(a.Labels), (std::vector<std::string>{"1 1 0 0", "0 0 0 0", "0 0 0 2"}));
    EXPECT_EQ(ClusterHistogramBars(m, a, true), (std::vector<double>{2, 1}));
    const TClusterHistogram h = ClusterHistogram(m, a, true);
    EXPECT_EQ(h.Mean, 1.5);
    EXPECT_DOUBLE_EQ(h.AxisMax, 2.2);
    EXPECT_EQ(h.AxisMin, 0);
}

TEST_F(ClusterAnalysis, DetailsAndTheTableWithoutShapes)
{
    m.Separator = ',';
    TClusterAnalysis a = RunClusterAnalysis(m, r);
    EXPECT_EQ(ClusterDetails(m, a, 1), (std::vector<std::string>{
                                           "data on clusters of test.mgf",
                                           "cluster of species Species 01",
                                           "details of cluster 1",
                                           "cluster , size , dx , dy ,Shannon Index,Species 01,Species 02",
                                           "  1 ,     2 ,   0.5 ,   0.0 , 0.56 ,        3,       1",
                                           "cell , dx , dy ,Species 01,Species 02",
                                           "  0 ,     0 ,     0 ,        2,       0",
                                           "  1 ,     1 ,     0 ,        1,       1",
                                       }));
    EXPECT_TRUE(ClusterDetails(m, a, 0).empty());
    EXPECT_TRUE(ClusterDetails(m, a, 3).empty());
    std::vector<std::string> table = ClusterTableReport(m, a);
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table[4], "  2 ,     1 ,   3.0 ,   2.0 , 0.00 ,        1,       0");
}

TEST_F(ClusterAnalysis, NoClusterAndOneCluster)
{
    r.Species = 1;
    r.MinCount = 2;
    TClusterAnalysis none = RunClusterAnalysis(m, r);
    std::vector<std::string> report = ClusterReport(m, none);
    EXPECT_EQ(none.ClusterCount, 0);
    EXPECT_EQ(report[3], "clusters     : 0");
    EXPECT_EQ(report[4], "average size :   0.0 cells");
    EXPECT_EQ(report.back(), "total ;     0 ;;; 0.00 ;        0;       0");
    EXPECT_EQ(report.size(), 9u);

    // Every cell in state 0 ("unknown"): one cluster of the whole grid, no cluster lines.
    TClusterRequest s = DefaultClusterRequest(m);
    m.MinSize = 5;
    s.Close = false;
    TClusterAnalysis whole = RunClusterAnalysis(m, s);
    EXPECT_EQ(whole.ClusterCount, 1);
    EXPECT_EQ(whole.Clusters[0].CellCount, 12);
    std::vector<std::string> lines = ClusterReport(m, whole);
    EXPECT_EQ(lines[1], "cluster of state unknown");
    EXPECT_EQ(lines[2], "no orphaned cells");
    EXPECT_EQ(lines.size(), 10u);
    EXPECT_EQ(ClusterSummaryLabels(whole)[1], "average size :  12.0 +-  12.0 cells");
    EXPECT_TRUE(ClusterHistogramBars(m, whole, true).empty());
}

TEST_F(ClusterAnalysis, TitlesAndOptions)
{
    r.Close = r.NoOrphans = true;
    r.AgeRestricted = true;
    TClusterAnalysis a = RunClusterAnalysis(m, r);
    EXPECT_EQ(a.Title, "species Species 01 and last disturbance between 0 and 10 ");
    EXPECT_EQ(a.OptionText, "clusters closed and no orphaned cells");
    r.AgeRestricted = false;
    r.NoOrphans = false;
    r.Species = 2;  // one past SpeciesMax: any species
    EXPECT_EQ(RunClusterAnalysis(m, r).Title, "any species ");
    EXPECT_EQ(RunClusterAnalysis(m, r).OptionText, "clusters closed");
    r.Larvae = true;
    EXPECT_EQ(RunClusterAnalysis(m, r).Title, "any larvae");
    r.Species = 1;
    EXPECT_EQ(RunClusterAnalysis(m, r).Title, "larvae of species Species 02");
    r.Larvae = false;
    r.Mode = TClusterMode::Diversity;
    r.DiversityHi = std::log(2.0);
    EXPECT_EQ(RunClusterAnalysis(m, r).Title, "Shannon Index of adults between  0.00 and  0.69 ");
    r.Mode = TClusterMode::Area;
    EXPECT_EQ(RunClusterAnalysis(m, r).Title, "sum of area between  0.00 and 25.00 ");
}

TEST_F(ClusterAnalysis, LarvaeAreRefusedForStatesAndArea)
{
    r.Larvae = true;
    r.Mode = TClusterMode::States;
    // The CA-homogeneity comes first and refuses the larvae itself.
    EXPECT_EQ(ErrorOf(m, r), "Can not use larvae for grid state!");
    r.Mode = TClusterMode::Area;
    EXPECT_EQ(ErrorOf(m, r), "can not use larvae to calc area!");
}

TEST_F(ClusterAnalysis, WindowIsClampedAndOrdered)
{
    r.X1 = 9;
    r.X2 = 1;
    r.Y1 = -3;
    r.Y2 = 0;
    TClusterAnalysis a = RunClusterAnalysis(m, r);
    EXPECT_EQ(a.Request.X1, 1);
    EXPECT_EQ(a.Request.X2, 3);
    EXPECT_EQ(a.Request.Y1, 0);
    EXPECT_EQ(a.Request.Y2, 0);
    EXPECT_EQ(a.ClusterCount, 1);  // only cell (1, 0) of the lowest row
    EXPECT_EQ(a.Clusters[0].Cells[0].I, 0);
}

TEST_F(ClusterAnalysis, LarvaeOfTheLastSettlementAndDiversityCriterion)
{
    m.PrevLarvaeAt(2, 2)[1] = 3;
    r.Larvae = true;
    r.Species = 1;
    r.MinCount = 3;
    TClusterAnalysis a = RunClusterAnalysis(m, r);
    ASSERT_EQ(a.ClusterCount, 1);
    EXPECT_EQ(a.Clusters[0].Cells[0].I, 2);
    EXPECT_EQ(a.Clusters[0].Cells[0].J, 2);

    tMerkmal_Matrix mask(4, 3, 1), f(4, 3);
    DiversityCriterion(m, f, 0, 0, mask, false, 0.5, 1.0);  // only cell (1, 0) holds two species
    int set = 0;
    for (int v : f.Data) set += v;
    EXPECT_EQ(set, 1);
    EXPECT_EQ(f(1, 0), 1);
}

TEST_F(ClusterAnalysis, HomogeneityOfTheDiagonalNeighbours)
{
    // Torus: every cell has four diagonal neighbours.
    EXPECT_DOUBLE_EQ(SpeciesPresence(m, 0, 1, 1, false), 0.25);  // of (0,0), (2,0), (0,2), (2,2) only (0,0)
    m.Torus = false;
    EXPECT_DOUBLE_EQ(SpeciesPresence(m, 0, 0, 0, false), 0.0);   // only (1,1) exists
    EXPECT_DOUBLE_EQ(SpeciesPresence(m, 0, 3, 0, false), 1.0);   // only (2,1): present without size filter
    EXPECT_EQ(SpeciesPresence(m, 2, 1, 1, false), 0);            // "any" has no presence
    EXPECT_THROW(StateAgreement(m, 0, 1, 1, true), Error);
    EXPECT_DOUBLE_EQ(WindowStateCA(m, 0, 0, 0, 0, 0, false), 1.0);
    // Per cell, x outer: 0, 1/2, 0 | 1/2, 1/4, 1/2 | 0, 2/4, 0 | 1, 0, 1.
    EXPECT_DOUBLE_EQ(WindowSpeciesCA(m, 0, 0, 3, 2, 0, false), 4.25 / 12);
}

TEST(ClusterColours, MonochromeAndPaletteAvoidingTheBackground)
{
    Model m;
    MakeModel(m, 3, 3, 1);
    InitSpeciesColors(m);
    Put(m, 0, 0, 2, 0.5);
    Put(m, 2, 0, 2, 0.5);
    TClusterRequest r = DefaultClusterRequest(m);
    r.Mode = TClusterMode::Species;
    r.Species = 2;
    r.Close = r.NoOrphans = false;
    TClusterAnalysis a = RunClusterAnalysis(m, r);
    std::mt19937 rng(7);
    EXPECT_EQ(ClusterColours(m, a, true, 0xFFFFFF, rng), (std::vector<uint32_t>{m.SpeciesColor[2], m.SpeciesColor[2]}));
    EXPECT_EQ(ClusterPalette().size(), 19u);
    for (int round = 0; round < 50; ++round)
        for (uint32_t c : ClusterColours(m, a, false, 0xFFFFFF, rng)) EXPECT_NE(c, 0xFFFFFFu);
}

TEST(SlidingBox, StepsGrowTheSideAndFailingStepsReportZero)
{
    Model m;
    MakeModel(m, 2, 10, 10);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y) Put(m, x, y, (x + y) % 2, 0.5);
    m.Random.SeedRandom(11);
    std::vector<TSlidingBoxStep> steps = SlidingBoxDiversity(m, 3, 4, 2, false);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].X, 1);
    EXPECT_EQ(steps[2].X, 5);
    // A box of 2 x 2 cells holds both species twice: ln 2 everywhere.
    EXPECT_DOUBLE_EQ(steps[0].Mean, std::log(2.0));
    EXPECT_DOUBLE_EQ(steps[0].Min, std::log(2.0));

    // Without wrap-around a box of side 21 always leaves the 10 x 10 grid.
    m.Torus = false;
    m.Random.SeedRandom(11);
    TRandom copy = m.Random;
    std::vector<TSlidingBoxStep> cut = SlidingBoxDiversity(m, 2, 3, 20, false);
    EXPECT_EQ(cut[1].X, 21);
    EXPECT_EQ(cut[1].Mean, 0);
    EXPECT_EQ(cut[1].Min, 0);
    EXPECT_EQ(cut[1].Max, 0);
    // A failing replicate ends its step: the first step draws until a box of side 1 leaves
    // the grid (box rows YDim - y0 and YDim - y0 - 1), the second only its first corner.
    for (int r = 0; r < 3; ++r) {
        int x0 = copy.RandomInt(10), y0 = copy.RandomInt(10);
        if (y0 == 0 || x0 + 1 > 9) break;
    }
    copy.Uniform();
    copy.Uniform();
    EXPECT_EQ(m.Random.Uniform(), copy.Uniform());
}

TEST(SlidingBox, ReciprocalCurvesLeaveOutZeros)
{
    std::vector<TSlidingBoxStep> steps = {{1, 2.0, 0.0, 4.0}, {21, 0.0, 0.0, 0.0}};
    std::vector<TSlidingBoxPlot> plain = SlidingBoxPlot(steps, false);
    EXPECT_EQ(*plain[0].Min, 0.0);
    std::vector<TSlidingBoxPlot> inv = SlidingBoxPlot(steps, true);
    EXPECT_EQ(*inv[0].Average, 0.5);
    EXPECT_FALSE(inv[0].Max.has_value());  // 1 / minimum 0
    EXPECT_EQ(*inv[0].Min, 0.25);
    EXPECT_FALSE(inv[1].Average.has_value());
    EXPECT_EQ(inv[1].X, 21);
}
