// marovi-cli rank, succession, histogram and transect: the community analysis windows' tables.
#include <CLI/CLI.hpp>

#include <memory>

#include "analysis/histogram.h"
#include "analysis/rank_list.h"
#include "analysis/succession.h"
#include "analysis/transect.h"
#include "analysis_common.h"
#include "files/status_list.h"
#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi::cli {
namespace {

bool Given(const CLI::Option* o) { return o && o->count() > 0; }

// ---- rank ----

struct TRankOptions {
    std::string In, Out;
    std::vector<std::string> Areas;
    int Random = 0;
    int32_t Seed = 0;
    bool Disturbances = false, Relative = false, Cumulative = false;
    CLI::Option *RandomOption = nullptr, *SeedOption = nullptr;
};

void AddNamedArea(const Model& m, std::vector<tSampleAreaDef>& areas, const std::string& text)
{
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos) throw Error("--area " + text + ": expected NAME:x1,y1,x2,y2");
    std::vector<int> c = ParseInts(text.substr(colon + 1), 4, "--area");
    AddSampleArea(m, areas, text.substr(0, colon), c[0], c[1], c[2], c[3]);
}

void ExecuteRank(const TRankOptions& o)
{
    Model m = LoadForAnalysis(o.In);
    if (Given(o.RandomOption) && !Given(o.SeedOption)) throw Error("--random needs --seed");
    if (o.Random < 0) throw Error("--random must not be negative");
    std::vector<tSampleAreaDef> areas;
    for (const std::string& a : o.Areas) AddNamedArea(m, areas, a);
    if (o.Disturbances) AddDisturbanceSampleAreas(m, areas);
    if (o.Random > 0) {
        m.Random.SeedRandom(o.Seed);
        for (int i = 0; i < o.Random; ++i) AddRandomSampleArea(m, areas);
    }
    if (areas.empty()) AddSampleArea(m, areas, "test", 0, 0, m.XMax, m.YMax);
    const std::string sep(1, m.Separator);
    std::vector<std::string> lines;
    for (tSampleAreaDef& a : areas) {
        CalcRankList(m, a);
        if (!lines.empty()) lines.push_back("");
        lines.push_back(SampleAreaText(a) + sep + Format("total %d", {a.total}));
        lines.push_back("rank" + sep + "species" + sep + "count" + sep + RankAxisTitle(o.Relative, o.Cumulative));
        const std::vector<double> values = RankPlotValues(m, a, o.Relative, o.Cumulative);
        for (int r = 0; r <= m.SpeciesMax; ++r) {
            const tAbundanceRecord& rec = a.abundance[static_cast<size_t>(r)];
            lines.push_back(Format("%d", {r + 1}) + sep + rec.Name + sep + Format("%d", {rec.Count}) + sep +
                            ShortestText(values[static_cast<size_t>(r)]));
        }
    }
    Emit(lines, o.Out);
}

void AddRank(CLI::App& app)
{
    auto o = std::make_shared<TRankOptions>();
    CLI::App* cmd = app.add_subcommand("rank", "rank-abundance lists of sample areas: per area the species in "
                                               "rank order with their counts and the plotted values");
    cmd->add_option("IN", o->In, "saved simulation (.mgf)")->required();
    cmd->add_option("--area", o->Areas, "a sample area NAME:x1,y1,x2,y2 (repeatable; cut at the grid edge)");
    o->RandomOption = cmd->add_option("--random", o->Random, "add N random areas \"area K\" (needs --seed)");
    o->SeedOption = cmd->add_option("--seed", o->Seed, "random seed of the random areas");
    cmd->add_flag("--disturbances", o->Disturbances, "add the rectangle of every disturbance definition");
    cmd->add_flag("--relative", o->Relative, "plot shares of the area's total");
    cmd->add_flag("--cumulative", o->Cumulative, "plot running sums (k-dominance)");
    cmd->add_option("--out", o->Out, "write to FILE instead of stdout");
    cmd->footer("Without any area the whole grid is the area \"test\". Areas are listed in the order: --area, "
                "--disturbances, --random. " + std::string(CountsLarger));
    cmd->callback([o] { ExecuteRank(*o); });
}

// ---- succession ----

struct TSuccessionOptions {
    std::string In, Window, Out;
    int MinAge = 0, MaxAge = 400, Step = 10;
    bool Guilds = false;
};

void ExecuteSuccession(const TSuccessionOptions& o)
{
    const Model m = LoadForAnalysis(o.In);
    TSuccessionRequest r;
    r.MinAge = o.MinAge;
    r.MaxAge = o.MaxAge;
    r.Step = o.Step;
    const TWindow w = WindowOrGrid(m, o.Window);
    r.X1 = w.X1;
    r.Y1 = w.Y1;
    r.X2 = w.X2;
    r.Y2 = w.Y2;
    const std::vector<TSuccessionRecord> results = RunSuccession(m, r);
    Emit(SuccessionListLines(m, results, LocalDateTimeText(), o.Guilds), o.Out);
}

void AddSuccession(CLI::App& app)
{
    auto o = std::make_shared<TSuccessionOptions>();
    CLI::App* cmd = app.add_subcommand("succession", "disturbance-age analysis: the list the window saves "
                                                     "(\"save list\")");
    cmd->add_option("IN", o->In, "saved simulation (.mgf)")->required();
    cmd->footer(CountsAtLeast);
    cmd->add_option("--min-age", o->MinAge, "lowest disturbance age (default 0)");
    cmd->add_option("--max-age", o->MaxAge, "highest disturbance age (default 400)");
    cmd->add_option("--step", o->Step, "interval width in time steps (default 10)");
    cmd->add_option("--window", o->Window, "area x1,y1,x2,y2 (default the whole grid)");
    cmd->add_flag("--guilds", o->Guilds, "count per guild instead of per species (the runner's own; the "
                                         "window's list always has the species columns)");
    cmd->add_option("--out", o->Out, "write to FILE instead of stdout");
    cmd->callback([o] { ExecuteSuccession(*o); });
}

// ---- histogram ----

struct THistogramOptions {
    std::string In, Window, Out;
    int Species = 1, MaxAge = 0, Slots = 15;
    bool Size = false;
    CLI::Option* MaxAgeOption = nullptr;
};

void ExecuteHistogram(const THistogramOptions& o)
{
    const Model m = LoadForAnalysis(o.In);
    THistogramRequest r;
    r.Species = ParseSpecies(m, o.Species);
    r.Slots = o.Slots;
    r.Size = o.Size;
    if (Given(o.MaxAgeOption)) r.MaxAge = o.MaxAge;
    else if (std::optional<int> proposed = DefaultHistogramMaxAge(m, r.Species)) r.MaxAge = *proposed;
    else throw Error(Format("species %d has no positive death probability: give --max-age", {o.Species}));
    const TWindow w = WindowOrGrid(m, o.Window);
    r.X0 = std::min(w.X1, w.X2);
    r.X1 = std::max(w.X1, w.X2);
    r.Y0 = std::min(w.Y1, w.Y2);
    r.Y1 = std::max(w.Y1, w.Y2);
    r.Region = !o.Window.empty();
    const THistogram h = ComputeHistogram(m, r);
    std::vector<std::string> lines = HistogramListLines(m, r, h);
    lines.push_back(h.Summary);
    Emit(lines, o.Out);
}

void AddHistogram(CLI::App& app)
{
    auto o = std::make_shared<THistogramOptions>();
    CLI::App* cmd = app.add_subcommand("histogram", "age or size histogram of a species: the saved list and the "
                                                    "summary line");
    cmd->add_option("IN", o->In, "saved simulation (.mgf)")->required();
    cmd->footer(CountsAll);
    cmd->add_option("--species", o->Species, "species number 1.. (default 1)");
    o->MaxAgeOption = cmd->add_option("--max-age", o->MaxAge, "highest age of the bins (default: the age at "
                                                              "which a tenth of a cohort survives)");
    cmd->add_option("--slots", o->Slots, "number of bins (default 15)");
    cmd->add_flag("--size", o->Size, "size histogram instead of age histogram");
    cmd->add_option("--window", o->Window, "region x0,y0,x1,y1 (default the whole grid)");
    cmd->add_option("--out", o->Out, "write to FILE instead of stdout");
    cmd->callback([o] { ExecuteHistogram(*o); });
}

// ---- transect ----

struct TTransectOptions {
    std::string In, Start, P = "0.25,0.25,0.25,0.25", Line, Out;
    int Walk = 0;
    int32_t Seed = 0;
    CLI::Option *WalkOption = nullptr, *SeedOption = nullptr, *LineOption = nullptr;
};

void ExecuteTransect(const TTransectOptions& o)
{
    Model m = LoadForAnalysis(o.In);
    TRovTransect t;
    if (Given(o.WalkOption) == Given(o.LineOption)) throw Error("give either --walk LENGTH or --line x0,y0,x1,y1");
    if (Given(o.WalkOption)) {
        if (!Given(o.SeedOption)) throw Error("--walk needs --seed");
        if (o.Walk < 0) throw Error("--walk: the length must not be negative");
        TRandomWalk walk;
        walk.Length = o.Walk;
        if (!o.Start.empty()) {
            std::vector<int> s = ParseInts(o.Start, 2, "--start");
            walk.RandomStart = false;
            walk.X = s[0];
            walk.Y = s[1];
        }
        std::vector<double> p = ParseReals(o.P, "--p");
        if (p.size() != 4) throw Error("--p " + o.P + ": expected up,down,left,right");
        walk.PUp = p[0];
        walk.PDown = p[1];
        walk.PLeft = p[2];
        walk.PRight = p[3];
        m.Random.SeedRandom(o.Seed);
        t = BuildRandomTransect(m, walk);
    } else {
        std::vector<int> c = ParseInts(o.Line, 4, "--line");
        t = BuildStraightTransect(m, c[0], c[1], c[2], c[3]);
    }
    std::vector<std::string> lines{TransectHeader(m)};
    lines.insert(lines.end(), t.Lines.begin(), t.Lines.end());
    Emit(lines, o.Out);
}

void AddTransect(CLI::App& app)
{
    auto o = std::make_shared<TTransectOptions>();
    CLI::App* cmd = app.add_subcommand("transect", "virtual ROV transect: the sample table as the window lists "
                                                   "and saves it");
    cmd->add_option("IN", o->In, "saved simulation (.mgf)")->required();
    cmd->footer(CountsLarger);
    o->WalkOption = cmd->add_option("--walk", o->Walk, "random walk of LENGTH samples");
    cmd->add_option("--start", o->Start, "start cell x,y of the walk (default a random cell)");
    cmd->add_option("--p", o->P, "movement probabilities up,down,left,right (default 0.25 each)");
    o->SeedOption = cmd->add_option("--seed", o->Seed, "random seed of the walk");
    o->LineOption = cmd->add_option("--line", o->Line, "straight transect from x0,y0 to x1,y1");
    cmd->add_option("--out", o->Out, "write to FILE instead of stdout");
    cmd->callback([o] { ExecuteTransect(*o); });
}

} // namespace

void AddCommunityCommands(CLI::App& app)
{
    AddRank(app);
    AddSuccession(app);
    AddHistogram(app);
    AddTransect(app);
}

} // namespace marovi::cli
