// marovi-cli clusters: the cluster analysis report of the "Diversity" window.
#include <CLI/CLI.hpp>

#include <memory>

#include "analysis/cluster_analysis.h"
#include "analysis/states.h"
#include "analysis_common.h"
#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi::cli {
namespace {

struct TClusterOptions {
    std::string In, Mode = "states", Species = "1", State = "0", Age, Window, Labels, Out;
    bool Larvae = false, NoClose = false, KeepOrphans = false, Periodic = false;
    double Min = 0, Max = 0;
    int Details = 0;
    CLI::Option *MinOption = nullptr, *MaxOption = nullptr, *DetailsOption = nullptr;
};

int ParseState(const std::string& text)
{
    for (int k = 0; k <= 4; ++k)
        if (text == StateName(k)) return k;
    int k = 0;
    if (!ParseInt(text, k) || k < 0 || k > 4)
        throw Error("--state " + text + ": expected 0..4 or a state name (unknown, R0, R1, R2, UD)");
    return k;
}

int WholeCount(double v, const std::string& option)
{
    if (v != static_cast<double>(static_cast<long long>(v)) || v < -2147483648.0 || v > 2147483647.0)
        throw Error(option + ": the species mode counts individuals, give a whole number");
    return static_cast<int>(v);
}

TClusterRequest BuildRequest(const Model& m, const TClusterOptions& o)
{
    TClusterRequest r = DefaultClusterRequest(m);
    r.Mode = ParseClusterMode(o.Mode, "--mode");
    r.Larvae = o.Larvae;
    r.Close = !o.NoClose;
    r.NoOrphans = !o.KeepOrphans;
    if (o.Periodic && !m.Torus) throw Error("--periodic: the grid does not wrap around");
    r.Periodic = o.Periodic;
    if (o.Species == "any") r.Species = m.SpeciesMax + 1;
    else {
        int n = 0;
        if (!ParseInt(o.Species, n)) throw Error("--species " + o.Species + ": expected a number or any");
        r.Species = ParseSpecies(m, n);
    }
    r.State = ParseState(o.State);
    const bool hasMin = o.MinOption->count() > 0, hasMax = o.MaxOption->count() > 0;
    switch (r.Mode) {
    case TClusterMode::Species:
        if (hasMin) r.MinCount = WholeCount(o.Min, "--min");
        if (hasMax) r.MaxCount = WholeCount(o.Max, "--max");
        break;
    case TClusterMode::Diversity:
        if (hasMin) r.DiversityLo = o.Min;
        if (hasMax) r.DiversityHi = o.Max;
        break;
    case TClusterMode::Area:
        if (hasMin) r.AreaLo = o.Min;
        if (hasMax) r.AreaHi = o.Max;
        break;
    case TClusterMode::States:
        if (hasMin || hasMax) throw Error("--min and --max do not apply to the states mode");
        break;
    }
    if (!o.Age.empty()) {
        const size_t colon = o.Age.find(':');
        if (colon == std::string::npos || !ParseInt(o.Age.substr(0, colon), r.MinAge) ||
            !ParseInt(o.Age.substr(colon + 1), r.MaxAge))
            throw Error("--age " + o.Age + ": expected MIN:MAX");
        r.AgeRestricted = true;
    }
    const TWindow w = WindowOrGrid(m, o.Window);
    r.X1 = w.X1;
    r.Y1 = w.Y1;
    r.X2 = w.X2;
    r.Y2 = w.Y2;
    return r;
}

void Execute(const TClusterOptions& o)
{
    const Model m = LoadForAnalysis(o.In);
    const TClusterAnalysis a = RunClusterAnalysis(m, BuildRequest(m, o));
    std::vector<std::string> text = ClusterReport(m, a);
    if (o.DetailsOption->count() > 0) {
        std::vector<std::string> details = ClusterDetails(m, a, o.Details);
        if (!details.empty()) text = details;
    }
    Emit(text, o.Out);
    if (!o.Labels.empty()) Emit(LabelMatrixLines(a.Labels), o.Labels);
}

} // namespace

TClusterMode ParseClusterMode(const std::string& text, const std::string& option)
{
    if (text == "species") return TClusterMode::Species;
    if (text == "states") return TClusterMode::States;
    if (text == "diversity") return TClusterMode::Diversity;
    if (text == "area") return TClusterMode::Area;
    throw Error(option + " " + text + ": expected species, states, diversity or area");
}

void AddClusterCommand(CLI::App& app)
{
    auto o = std::make_shared<TClusterOptions>();
    CLI::App* cmd = app.add_subcommand("clusters", "cluster analysis of a window of the grid: the report as the "
                                                   "Diversity window writes it (CA-homogeneity included)");
    cmd->add_option("IN", o->In, "saved simulation (.mgf)")->required();
    cmd->footer("Counts, by mode: species, diversity and area the individuals of at least the minimal size (MinSize, stored "
                "in the file; the window's \"Adults\"), states those larger than it; --larvae the larvae of the last "
                "settlement (none after loading a grid file, which does not store them).");
    cmd->add_option("--mode", o->Mode, "what makes a feature cell: species, states (default), diversity, area");
    cmd->add_option("--species", o->Species, "species number 1.. or any (default 1)");
    cmd->add_option("--state", o->State, "state 0..4 or its name unknown, R0, R1, R2, UD (default 0)");
    cmd->add_flag("--larvae", o->Larvae, "use the larvae of the last settlement instead of the adults");
    o->MinOption = cmd->add_option("--min", o->Min, "lower bound: individuals (species, default 1), "
                                                    "diversity (default 0) or size sum (area, default 0)");
    o->MaxOption = cmd->add_option("--max", o->Max, "upper bound: individuals (default the high capacity), "
                                                    "diversity (default ln of the number of species, the highest Shannon index) or "
                                                    "size sum (default 25)");
    cmd->add_option("--age", o->Age, "only cells whose last disturbance lies MIN:MAX time steps back");
    cmd->add_option("--window", o->Window, "x1,y1,x2,y2 (default the whole grid)");
    cmd->add_flag("--no-close", o->NoClose, "do not close the clusters");
    cmd->add_flag("--keep-orphans", o->KeepOrphans, "keep cells without a feature neighbour");
    cmd->add_flag("--periodic", o->Periodic, "on a wrap-around grid, join clusters that touch across the grid's "
                                             "edges (where the window reaches both edges), so that a patch is "
                                             "counted once");
    o->DetailsOption = cmd->add_option("--details", o->Details, "print the details of cluster N instead of the "
                                                                "report (ignored unless N is a cluster)");
    cmd->add_option("--labels", o->Labels, "write the final label matrix to FILE: one line per row from y = 0 up");
    cmd->add_option("--out", o->Out, "write the report to FILE instead of stdout");
    cmd->callback([o] { Execute(*o); });
}

} // namespace marovi::cli
