#include <gtest/gtest.h>

#include <cmath>

#include "analysis/chart_texts.h"
#include "analysis/histogram.h"
#include "analysis/indices.h"
#include "analysis/rank_list.h"
#include "analysis/roi.h"
#include "analysis/states.h"
#include "analysis/succession.h"
#include "analysis/transect.h"
#include "analysis_test_util.h"
#include "disturbance/disturbance.h"
#include "util/error.h"

using namespace marovi;
using testing_util::MakeModel;
using testing_util::Put;

namespace {

std::vector<std::string> RankOrder(const Model& m, const tSampleAreaDef& a)
{
    std::vector<std::string> names;
    for (int r = 0; r <= m.SpeciesMax; ++r) names.push_back(a.abundance[static_cast<size_t>(r)].Name);
    return names;
}

std::string ErrorText(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(RankList, TiesFollowTheSelectionProcedure)
{
    Model m;
    MakeModel(m, 3, 2, 2);
    m.SpeciesPool[0].Name = "A";
    m.SpeciesPool[1].Name = "B";
    m.SpeciesPool[2].Name = "C";
    Put(m, 0, 0, 0, 0.5);
    Put(m, 0, 1, 1, 0.5);
    Put(m, 1, 1, 2, 0.5);
    Put(m, 1, 1, 2, 0.5);
    std::vector<tSampleAreaDef> areas;
    AddSampleArea(m, areas, "all", 0, 0, 1, 1);
    CalcRankList(m, areas[0]);
    EXPECT_EQ(RankOrder(m, areas[0]), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(RankNames(m, areas[0]), "C, B, A");
    EXPECT_EQ(RankClickMessage(m, areas[0]), "sample area \"all\"\r\rspecies rank : C, B, A");
    EXPECT_EQ(areas[0].total, 4);
    EXPECT_EQ(RankPlotValues(m, areas[0], false, false), (std::vector<double>{2, 1, 1}));
    EXPECT_EQ(RankPlotValues(m, areas[0], true, true), (std::vector<double>{0.5, 0.75, 1}));
    EXPECT_EQ(RankPlotValues(m, areas[0], false, true), (std::vector<double>{2, 3, 4}));
    EXPECT_EQ(RankAxisTitle(true, true), "cumulative relative abundance");
    EXPECT_EQ(RankAxisTitle(false, false), "abundance");

    // Four equal counts: the first stays, later swaps reorder the rest.
    Model n;
    MakeModel(n, 4, 1, 1);
    for (int s = 0; s < 4; ++s) Put(n, 0, 0, s, 0.5);
    Put(n, 0, 0, 3, 0.5);
    std::vector<tSampleAreaDef> one;
    AddSampleArea(n, one, "x", 0, 0, 0, 0);
    CalcRankList(n, one[0]);
    // i = 0 swaps species 4 to the front, leaving 2, 3, 1 in positions 1..3 as (1 <-> 4).
    EXPECT_EQ(RankOrder(n, one[0]), (std::vector<std::string>{"Species 04", "Species 02", "Species 03", "Species 01"}));
}

TEST(RankList, SizeFilterEmptyAreasAndCorners)
{
    Model m;
    MakeModel(m, 2, 4, 3);
    Put(m, 0, 0, 0, 0.2);  // exactly MinSize: not counted
    Put(m, 3, 2, 1, 0.21);
    std::vector<tSampleAreaDef> areas;
    AddSampleArea(m, areas, "swapped", 9, 5, -2, 0);
    EXPECT_EQ(SampleAreaText(areas[0]), "swapped [(0,0)/(3,2)]");
    CalcRankList(m, areas[0]);
    EXPECT_EQ(areas[0].total, 1);
    EXPECT_EQ(areas[0].abundance[0].Name, "Species 02");
    AddSampleArea(m, areas, "empty", 1, 1, 1, 1);
    CalcRankList(m, areas[1]);
    EXPECT_EQ(RankPlotValues(m, areas[1], true, true), (std::vector<double>{0, 0}));
}

TEST(RankList, RandomAndDisturbanceAreas)
{
    Model m;
    MakeModel(m, 2, 50, 40);
    m.Random.SeedRandom(3);
    TRandom copy = m.Random;
    std::vector<tSampleAreaDef> areas;
    AddRandomSampleArea(m, areas);
    AddRandomSampleArea(m, areas);
    int xa = copy.RandomInt(50), xb = copy.RandomInt(50), ya = copy.RandomInt(40), yb = copy.RandomInt(40);
    EXPECT_EQ(areas[0].name, "area 1");
    EXPECT_EQ(areas[1].name, "area 2");
    EXPECT_EQ(areas[0].x1, std::min(xa, xb));
    EXPECT_EQ(areas[0].x2, std::max(xa, xb));
    EXPECT_EQ(areas[0].y1, std::min(ya, yb));
    EXPECT_EQ(areas[0].y2, std::max(ya, yb));

    AddDisturbance(m, 2, 30, 10, 5, true, 1, 0, 1, 0, 0.1, 1, 0, 0, 1, 1);
    AddDisturbanceSampleAreas(m, areas);
    ASSERT_EQ(areas.size(), 3u);
    EXPECT_EQ(SampleAreaText(areas[2]), "disturbance 1 [(2,5)/(10,30)]");
}

TEST(Transect, HeaderAndSampleLines)
{
    Model m;
    MakeModel(m, 3, 4, 4);
    m.SpeciesPool[1].Guild = 2;
    m.SpeciesPool[2].Guild = 2;
    Put(m, 1, 2, 1, 0.5);
    Put(m, 1, 2, 2, 0.5);
    Put(m, 1, 2, 0, 0.2);  // exactly MinSize: not counted
    Put(m, 3, 0, 0, 0.5);
    m.Cell(1, 2).CellAge = 17;
    EXPECT_EQ(TransectHeader(m),
              "x ,y, Species 01, Species 02, Species 03,  State, *, R0, R1, R2, UD, beta(species), beta(guildes)");
    TRovSample first;
    first.x = 1;
    first.y = 2;
    EXPECT_EQ(SampleCell(m, first, first), "001 ,002, 000, 001, 001, 002, 000, 000, 002, 000, 000, 1.000, 1.000");
    EXPECT_EQ(first.age, 17);
    EXPECT_EQ(first.state, 2);  // guild 2 (R1) makes state 2
    TRovSample other;
    other.x = 3;
    other.y = 0;
    EXPECT_EQ(SampleCell(m, other, first), "003 ,000, 001, 000, 000, 000, 001, 000, 000, 000, 000, 0.000, 0.000");
    // An empty first sample compared with itself shares no species: Sorensen gives 0.
    TRovSample empty;
    const std::string line = SampleCell(m, empty, empty);
    EXPECT_EQ(line.substr(line.size() - 12), "0.000, 0.000");
    m.SimilarityFunc = &BrayCurtisDistance;
    const std::string bray = SampleCell(m, other, first);
    EXPECT_EQ(bray.substr(bray.size() - 12), "1.000, 1.000");
}

TEST(Transect, RandomWalkDrawsAndMoves)
{
    Model m;
    MakeModel(m, 2, 6, 5);
    m.Random.SeedRandom(21);
    TRandom copy = m.Random;
    TRandomWalk walk;
    walk.Length = 30;
    TRovTransect t = BuildRandomTransect(m, walk);
    ASSERT_EQ(t.Samples.size(), 30u);
    // Start x, then y; then one draw per sample: up x-1, down x+1, left y-1, right y+1.
    int x = copy.RandomInt(6), y = copy.RandomInt(5);
    for (const TRovSample& s : t.Samples) {
        x = (x + 6) % 6;
        y = (y + 5) % 5;
        EXPECT_EQ(s.x, x);
        EXPECT_EQ(s.y, y);
        double r = copy.Uniform();
        if (r < 0.25) --x;
        else if (r < 0.5) ++x;
        else if (r < 0.75) --y;
        else ++y;
    }
    EXPECT_EQ(m.Random.Uniform(), copy.Uniform());

    // Weights 1, 1, 1, 1 are the default quarters.
    m.Random.SeedRandom(21);
    walk.PUp = walk.PDown = walk.PLeft = walk.PRight = 1;
    TRovTransect same = BuildRandomTransect(m, walk);
    EXPECT_EQ(same.Lines, t.Lines);
}

TEST(Transect, WalkLeavingTheGridAndRefusedProbabilities)
{
    Model m;
    MakeModel(m, 2, 5, 5);
    m.Torus = false;
    m.Random.SeedRandom(1);
    TRandomWalk walk;
    walk.RandomStart = false;
    walk.X = 0;
    walk.Y = 2;
    walk.PUp = 1;  // always x - 1
    walk.PDown = walk.PLeft = walk.PRight = 0;
    EXPECT_EQ(BuildRandomTransect(m, walk).Samples.size(), 1u);
    m.Torus = true;
    TRovTransect wrapped = BuildRandomTransect(m, walk);
    ASSERT_EQ(wrapped.Samples.size(), 25u);
    EXPECT_EQ(wrapped.Samples[1].x, 4);

    walk.PUp = 0;
    EXPECT_EQ(ErrorText([&] { BuildRandomTransect(m, walk); }), "all movement probabilities are 0, the ROV can not move!");
    walk.PUp = -0.5;
    walk.PDown = 1;
    EXPECT_EQ(ErrorText([&] { BuildRandomTransect(m, walk); }), "movement probabilities must not be negative!");
    walk.PUp = 0.5;
    walk.Length = 0;
    EXPECT_TRUE(BuildRandomTransect(m, walk).Samples.empty());
}

TEST(Transect, StraightLineCellsAndBounds)
{
    Model m;
    MakeModel(m, 2, 10, 10);
    TRovTransect t = BuildStraightTransect(m, 1, 1, 6, 3);
    // n = Trunc(sqrt(29)) = 5, steps 1.0 and 0.4; cells Round(1.5 + i), Round(1.5 + 0.4 i).
    std::vector<std::pair<int, int>> cells;
    for (const TRovSample& s : t.Samples) cells.push_back({s.x, s.y});
    EXPECT_EQ(cells, (std::vector<std::pair<int, int>>{{1, 1}, {2, 2}, {4, 2}, {4, 3}, {6, 3}}));
    int x0, y0, x1, y1;
    ASSERT_TRUE(TransectBounds(t, x0, y0, x1, y1));
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({1, 1, 6, 3}));
    EXPECT_TRUE(BuildStraightTransect(m, 3, 3, 4, 4).Samples.empty());
    EXPECT_FALSE(TransectBounds(TRovTransect{}, x0, y0, x1, y1));

    Put(m, 2, 2, 1, 0.5);
    ResampleTransect(m, t);
    EXPECT_EQ(t.Samples[1].counts[1], 1);
    EXPECT_EQ(t.Lines.size(), 5u);
    EXPECT_TRUE(TransectFits(m, t));
    CreateGrid(m, 6, 4);  // (6, 3) is off a grid of x 0..5
    EXPECT_FALSE(TransectFits(m, t));
}

TEST(Transect, WalkFieldsAndChartSeries)
{
    TRandomWalkEntries e;
    e.X = "x";  // the start fields are not read for a random start
    e.PLeft = "0.5";
    TRandomWalk walk = RandomWalkOf(e);
    EXPECT_TRUE(walk.RandomStart);
    EXPECT_EQ(walk.Length, 25);
    EXPECT_EQ(walk.PLeft, 0.5);
    e.RandomStart = false;
    e.Length = "y";
    EXPECT_EQ(ErrorText([&] { RandomWalkOf(e); }), "'x' is not a valid integer value");
    e.X = "3";
    EXPECT_EQ(ErrorText([&] { RandomWalkOf(e); }), "'y' is not a valid integer value");
    e.Length = "10001";
    EXPECT_EQ(ErrorText([&] { RandomWalkOf(e); }), "the ROV takes at most 10000 samples");
    e.Length = "2";
    e.PRight = "1,5";
    EXPECT_EQ(ErrorText([&] { RandomWalkOf(e); }), "'1,5' is not a valid floating point value");

    Model m;
    MakeModel(m, 2, 4, 4);
    m.SpeciesPool[1].Guild = 3;
    Put(m, 1, 1, 1, 0.5);
    const TRovTransect t = BuildStraightTransect(m, 0, 0, 3, 3);
    ASSERT_EQ(t.Samples.size(), 4u);  // (0,0), (1,1), (2,2), (3,3)
    std::vector<TTransectBars> species = TransectChartBars(m, t, TTransectChart::Species);
    ASSERT_EQ(species.size(), 2u);
    EXPECT_EQ(species[1].Title, "Species 02");
    EXPECT_EQ(species[1].Colour, m.SpeciesColor[1]);
    EXPECT_EQ(species[1].Heights, (std::vector<double>{0, 1, 0, 0}));
    std::vector<TTransectBars> guilds = TransectChartBars(m, t, TTransectChart::Guilds);
    ASSERT_EQ(guilds.size(), 5u);
    EXPECT_EQ(guilds[3].Title, "R2");
    EXPECT_EQ(guilds[3].Colour, 0x008000u);
    EXPECT_EQ(guilds[3].Heights, (std::vector<double>{0, 1, 0, 0}));
    std::vector<TTransectBars> beta = TransectChartBars(m, t, TTransectChart::BetaGuilds);
    ASSERT_EQ(beta.size(), 1u);
    EXPECT_EQ(beta[0].Title, "Sorensen Index(guildes)");
    EXPECT_EQ(beta[0].Colour, 0x0000FFu);
    EXPECT_EQ(TransectChartBars(m, t, TTransectChart::BetaSpecies)[0].Colour, 0xFF0000u);
}

TEST(Histogram, AgeBinsOverflowAndSummary)
{
    Model m;
    MakeModel(m, 2, 2, 2);
    for (int age : {0, 10, 11, 100, 101}) Put(m, 1, 1, 0, 0.5, age);
    Put(m, 0, 0, 1, 0.5, 50);
    THistogramRequest r;
    r.MaxAge = 100;
    r.Slots = 10;
    r.X1 = r.Y1 = 1;
    THistogram h = ComputeHistogram(m, r);
    EXPECT_EQ(h.Bins, (std::vector<int>{2, 1, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(h.Overflow, 1);
    EXPECT_DOUBLE_EQ(h.Average, 222.0 / 5);  // the overflow counts in the average
    EXPECT_EQ(h.Summary, "1 individuals of 4 older than specified age, averave age : 44.4");
    EXPECT_EQ(h.BarLabels[0], "10.0");
    EXPECT_DOUBLE_EQ(h.Cumulative[0], 0.4);
    EXPECT_DOUBLE_EQ(h.Cumulative[9], 0.8);

    r.Species = 1;
    r.X0 = r.Y0 = 1;  // species 2 lives only at (0, 0)
    THistogram none = ComputeHistogram(m, r);
    EXPECT_EQ(none.Summary, "0 individuals in total, averave age:  0.0");
    EXPECT_EQ(none.Cumulative[9], 0);
    r.Slots = 0;
    EXPECT_THROW(ComputeHistogram(m, r), Error);
    r.Slots = 3;
    r.Species = 2;
    EXPECT_THROW(ComputeHistogram(m, r), Error);
}

TEST(Histogram, SizeBinsAreCentredOnMultiples)
{
    Model m;
    MakeModel(m, 1, 1, 1);
    m.SpeciesPool[0].MaxSize = 2.0;
    for (double size : {2.0, 1.0, 0.0, 2.1, 0.0714, 0.0715}) Put(m, 0, 0, 0, size);
    THistogramRequest r;
    r.Size = true;
    r.MaxAge = 30;
    THistogram h = ComputeHistogram(m, r);
    EXPECT_EQ(h.Bins[14], 1);
    EXPECT_EQ(h.Bins[7], 1);
    EXPECT_EQ(h.Bins[0], 2);  // 0 and 14 x 0.0357 = 0.4998
    EXPECT_EQ(h.Bins[1], 1);  // 14 x 0.03575 = 0.5005
    EXPECT_EQ(h.Overflow, 1);
    EXPECT_EQ(h.Summary, "1 individuals of 5 bigger than max size, averave size :  0.9");
    EXPECT_EQ(h.BarLabels[14], " 2.0");
    m.SpeciesPool[0].MaxSize = 0;  // no size can be related to it
    EXPECT_EQ(ComputeHistogram(m, r).Overflow, 6);
}

TEST(Histogram, SavedListAndProposedMaxAge)
{
    Model m;
    MakeModel(m, 1, 5, 4);
    Put(m, 2, 2, 0, 0.5, 3);
    THistogramRequest r;
    r.MaxAge = 7;
    r.Slots = 2;
    r.X1 = 4;
    r.Y1 = 3;
    THistogram h = ComputeHistogram(m, r);
    EXPECT_EQ(HistogramListLines(m, r, h), (std::vector<std::string>{
                                              "# histogram of species Species 01",
                                              "# area 0,0 to 4,3",
                                              "# maxage set to :    7 and 2 bins",
                                              "# 0 individuals are older than that age",
                                              "# bin\tage\tcount",
                                              "  0\t  0.00 -   3.50\t1",
                                              "  1\t  3.50 -   7.00\t0",
                                          }));
    r.Region = true;
    r.X0 = 1;
    EXPECT_EQ(HistogramListLines(m, r, h)[1], "# area 1,0 to 4,3");
    EXPECT_EQ(DefaultHistogramMaxAge(m, 0), 15);  // ln(0.1) / -(ln(100) / 30)
    m.SpeciesPool[0].DeathProb[0] = 0;
    EXPECT_FALSE(DefaultHistogramMaxAge(m, 0).has_value());
}

TEST(Histogram, WindowFieldsAndArea)
{
    Model m;
    MakeModel(m, 2, 6, 5);
    m.SpeciesPool[1].DeathProb[0] = 0;
    EXPECT_EQ(HistogramMaxAgeText(m, 0), "15");
    EXPECT_EQ(HistogramMaxAgeText(m, 1), "-");
    EXPECT_EQ(ErrorText([&] { HistogramRequestOf(m, 1, "-", 15, false, std::nullopt); }), "'-' is not a valid integer value");
    EXPECT_EQ(HistogramSlotsOf("1000"), 1000);
    EXPECT_EQ(ErrorText([&] { HistogramSlotsOf("0"); }), "the histogram has 1 to 1000 slots");
    EXPECT_EQ(ErrorText([&] { HistogramSlotsOf("1001"); }), "the histogram has 1 to 1000 slots");
    EXPECT_EQ(ErrorText([&] { HistogramSlotsOf("a"); }), "'a' is not a valid integer value");

    THistogramRequest whole = HistogramRequestOf(m, 0, "40", 7, true, std::nullopt);
    EXPECT_EQ(std::vector<int>({whole.X0, whole.Y0, whole.X1, whole.Y1, whole.MaxAge, whole.Slots}),
              std::vector<int>({0, 0, 5, 4, 40, 7}));
    EXPECT_FALSE(whole.Region);
    EXPECT_TRUE(whole.Size);
    // A region kept from a larger grid is cut at the edge.
    THistogramRequest region = HistogramRequestOf(m, 0, "40", 7, false, THistogramRegion{1, 2, 50, 60});
    EXPECT_EQ(std::vector<int>({region.X0, region.Y0, region.X1, region.Y1}), std::vector<int>({1, 2, 5, 4}));
    EXPECT_TRUE(region.Region);
}

TEST(Succession, IntervalsCentresAndRounding)
{
    Model m;
    MakeModel(m, 2, 3, 2);
    TSuccessionRequest r;
    r.X2 = 2;
    r.Y2 = 1;
    std::vector<TSuccessionRecord> results = RunSuccession(m, r);
    ASSERT_EQ(results.size(), 41u);
    EXPECT_EQ(results[0].midAge, 5);
    EXPECT_EQ(results[39].midAge, 395);

    r.Step = 5;
    r.MaxAge = 17;  // 3 intervals, the remainder 15..17 forms none
    results = RunSuccession(m, r);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].midAge, 2);
    EXPECT_EQ(results[1].midAge, 8);
    EXPECT_EQ(results[2].midAge, 12);
    TSuccessionPlot p = SuccessionPlot(m, r, results, false, true);
    EXPECT_EQ(p.N.X, (std::vector<double>{0, 2.5, 7.5, 12.5}));

    r.MaxAge = 0;
    results = RunSuccession(m, r);
    EXPECT_EQ(results.size(), 1u);
    EXPECT_EQ(SuccessionListLines(m, results, "now").size(), 3u);
}

TEST(Succession, CountsSumsPlotAndList)
{
    Model m;
    MakeModel(m, 2, 2, 2);
    m.SpeciesPool[1].Guild = 4;
    m.Cell(0, 0).CellAge = 0;
    m.Cell(0, 1).CellAge = 9;
    m.Cell(1, 0).CellAge = 10;
    m.Cell(1, 1).CellAge = 30;  // beyond the last interval
    Put(m, 0, 0, 0, 0.2);       // exactly MinSize: counted
    Put(m, 0, 1, 1, 0.5);
    Put(m, 0, 1, 1, 0.1);       // too small
    Put(m, 1, 1, 0, 0.5);
    TSuccessionRequest r;
    r.MaxAge = 20;
    r.X2 = r.Y2 = 1;
    std::vector<TSuccessionRecord> res = RunSuccession(m, r);
    ASSERT_EQ(res.size(), 3u);
    EXPECT_EQ(res[0].nCells, 2);
    EXPECT_EQ(res[0].nIndividuals, 2);
    EXPECT_EQ(res[1].nCells, 1);
    EXPECT_EQ(res[1].nIndividuals, 0);
    EXPECT_EQ(res[2].nCells, 3);
    EXPECT_EQ(res[2].counts[1], 1);

    TSuccessionPlot plot = SuccessionPlot(m, r, res, false, true);
    EXPECT_EQ(plot.TitleLine1, "averaged for intervals of 10 time steps/ minsize=0.20");
    EXPECT_EQ(plot.TitleLine2, "relative species proportions after distubance in the area [0/0][1/1]");
    EXPECT_EQ(plot.Groups[0].Y, (std::vector<double>{0, 0.5}));  // no point for the empty interval
    EXPECT_EQ(plot.N.Y, (std::vector<double>{0, 0.5, 0.75}));
    EXPECT_DOUBLE_EQ(plot.Diversity.Y[1], std::log(2.0));
    EXPECT_EQ(plot.Diversity.Y[2], 0);
    TSuccessionPlot guilds = SuccessionPlot(m, r, res, true, false);
    ASSERT_EQ(guilds.Groups.size(), 5u);
    EXPECT_EQ(guilds.Groups[0].Title, "unknown");
    EXPECT_EQ(guilds.Groups[4].Y, (std::vector<double>{0, 0.5}));
    EXPECT_EQ(guilds.Diversity.Y.size(), 1u);

    m.Separator = '\t';
    EXPECT_EQ(SuccessionListLines(m, res, "24.12.2023 18:00:00"),
              (std::vector<std::string>{"# sucsession data created 24.12.2023 18:00:00", "# filename: -not saved-",
                                        "average time\tN cells\tsum\tSpecies 01\tSpecies 02",
                                        "    5\t       2\t       2\t       1\t       1",
                                        "   15\t       1\t       0\t       0\t       0"}));

    std::vector<TSuccessionRecord> wrong(2);
    EXPECT_EQ(ErrorText([&] { SuccessionCalc(m, 0, 0, 1, 1, 0, 20, 10, 0.2, wrong); }), "not enough memory reserved!");
    r.Step = 0;
    EXPECT_EQ(ErrorText([&] { RunSuccession(m, r); }), "the step width must be at least 1");
    r.Step = 10;
    r.MaxAge = -1;
    EXPECT_EQ(ErrorText([&] { RunSuccession(m, r); }), "the max age must not be below the min age");
}

TEST(Succession, StateDefinitionFields)
{
    TStateDef defs;
    ResetStateDefs(defs);
    TStateDefFields fields = StateDefFieldTexts(defs);
    ASSERT_EQ(fields.size(), 20u);
    EXPECT_TRUE(fields[1].Consider);
    EXPECT_EQ(fields[1].Min, "0.5");
    EXPECT_EQ(fields[1].Max, "1");
    EXPECT_EQ(fields[0].Max, "0");
    fields[0] = {true, "0.25", " 0.75 "};
    fields[7].Min = "x1";
    fields[7].Consider = true;
    EXPECT_EQ(ErrorText([&] { ApplyStateDefFields(defs, fields); }), "'x1' is not a valid floating point value");
    EXPECT_TRUE(defs.Criteria[0][0].consider);
    EXPECT_EQ(defs.Criteria[0][0].max, 0.75);
    EXPECT_TRUE(defs.Criteria[1][2].consider);  // read before the bad field of the same criterion
    EXPECT_FALSE(defs.Criteria[1][3].consider);
}

TEST(RegionOfInterest, CountsAndDisturbanceRequest)
{
    Model m;
    MakeModel(m, 2, 4, 4);
    Put(m, 1, 1, 0, 0.2);
    Put(m, 2, 2, 1, 0.5);
    Put(m, 3, 3, 1, 0.5);
    TRoiCounts def = RoiDefinitionCounts(m, 1, 1, 2, 2);
    EXPECT_EQ(def.Total, 2);
    EXPECT_EQ(def.Relative, (std::vector<double>{0.5, 0.5}));
    TRoiCounts step = RoiStepCounts(m, 1, 1, 2, 2);  // exactly MinSize does not count per step
    EXPECT_EQ(step.Total, 1);
    EXPECT_EQ(step.Relative, (std::vector<double>{0, 1}));
    EXPECT_EQ(RoiStepCounts(m, 0, 0, 0, 0).Relative, (std::vector<double>{0, 0}));

    RequestRoiDisturbance(m, 1, 0, 3, 2);
    EXPECT_TRUE(m.RoiDisturbanceRequested);
    EXPECT_EQ(m.RoiDisturbance.X2, 3);
    EXPECT_EQ(m.RoiDisturbance.XSize, 2);
    EXPECT_EQ(m.RoiDisturbance.YSize, 2);
    EXPECT_TRUE(m.RoiDisturbance.Clipping);
    EXPECT_EQ(m.RoiDisturbance.Probability[0], 1.0);
}

TEST(ChartTexts, TitlesCaptionsAndMessages)
{
    Model m;
    MakeModel(m, 2, 2, 2);
    m.FileName = "run.mgf";
    EXPECT_EQ(AnalysisCaption(m), "file run.mgf");
    EXPECT_EQ(ClusterHistogramAxisTitle(m, true), "size [cells]");
    EXPECT_EQ(ClusterHistogramAxisTitle(m, false), "Shannon Index");
    EXPECT_EQ(ClusterHistogramSeriesTitle(2.345), "cluster, average=2.35");
    EXPECT_EQ(ClusterHistogramMeanLabel(12), "12.00");
    EXPECT_EQ(SlidingBoxTitle(m, true), "Shannon Index^-1");
    EXPECT_EQ(RankChartTitle(m, true), (std::vector<std::string>{"rank abundance plot", "file run.mgf"}));
    EXPECT_EQ(RankChartTitle(m, false).size(), 1u);
    EXPECT_EQ(TransectChartTitle(m, TTransectChart::BetaGuilds), "Sorensen Index(guilds) along the virtual ROV transect");
    EXPECT_EQ(TransectChartTitle(m, TTransectChart::Species), "species along the virtual ROV transect");
    EXPECT_EQ(TransectAxisTitle(TTransectChart::Guilds, true), "relative [%]");
    EXPECT_EQ(TransectAxisTitle(TTransectChart::Guilds, false), "abundance");
    EXPECT_EQ(TransectAxisTitle(TTransectChart::BetaSpecies, true), "value");
    EXPECT_EQ(GuildShortName(0), "*");
    EXPECT_EQ(GuildShortName(5), "");
    EXPECT_EQ(HistogramTitle(m, 1, true), (std::vector<std::string>{"size histogram of ", "Species 02"}));
    EXPECT_EQ(SuccessionClickMessage({0.5, 0.25}),
              "nearest datapoint,\rrelative abundances:\r\r        unknown : 0.50\r             R0 : 0.25\r");
    EXPECT_EQ(RoiSeriesTitle(0), "Species 1");
}
