// marovi-cli pov, map, index and similarity: scene and map exports, and single index figures.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>

#include "analysis/indices.h"
#include "analysis_common.h"
#include "colours/map_image.h"
#include "files/bmp.h"
#include "files/pov_scene.h"
#include "model/model.h"
#include "provenance.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi::cli {
namespace {

// ---- pov ----

struct TPovOptions {
    std::string In, Window, Dir, Name;
};

void ExecutePov(const TPovOptions& o)
{
    const Model m = LoadForAnalysis(o.In);
    const TWindow w = WindowOrGrid(m, o.Window);
    const std::string name = o.Name.empty() ? Format("%s%6.6d.pov", {"MAROVI", m.TimeStep}) : o.Name;
    WriteScene(m, w.X1, w.Y1, w.X2, w.Y2, o.Dir, name);
    TProvenance().WriteFor((std::filesystem::path(o.Dir) / name).string());
}

void AddPov(CLI::App& app)
{
    auto o = std::make_shared<TPovOptions>();
    CLI::App* cmd = app.add_subcommand("pov", "POV-Ray scene of a window: the scene file, camdef.inc and "
                                              "MAROVIColors.inc (the macros come from the user's MAROVI.inc)");
    cmd->add_option("IN", o->In, "saved simulation (.mgf)")->required();
    cmd->footer("Draws every individual, whatever its size.");
    cmd->add_option("--window", o->Window, "cells x0,y0,x1,y1 (default the whole grid)");
    cmd->add_option("--dir", o->Dir, "directory of the three files")->required();
    cmd->add_option("--name", o->Name, "scene file name (default MAROVI followed by the time step, e.g. "
                                       "MAROVI000120.pov)");
    cmd->callback([o] { ExecutePov(*o); });
}

// ---- map ----

struct TMapOptions {
    std::string In, Mode, Window, Out;
    int Species = 1, MaxAge = 300;
    bool Larvae = false;
};

void ExecuteMap(const TMapOptions& o)
{
    const Model m = LoadForAnalysis(o.In);
    TDisplayMode mode{};
    if (!ParseDisplayMode(o.Mode, mode))
        throw Error("--mode " + o.Mode + ": expected none, dominance, abundance, states, guild, evenness, "
                                         "turnover, disturbance or capacity");
    TColourSettings settings;
    settings.Species = ParseSpecies(m, o.Species);
    settings.MaxDisturbanceAge = o.MaxAge;
    const TWindow w = WindowOrGrid(m, o.Window);
    WriteBmp(o.Out, MapImage(m, mode, o.Larvae, settings, w.X1, w.Y1, w.X2, w.Y2));
    TProvenance().WriteFor(o.Out);
}

void AddMap(CLI::App& app)
{
    auto o = std::make_shared<TMapOptions>();
    CLI::App* cmd = app.add_subcommand("map", "the cell colours of a display mode as a 24-bit bitmap, one pixel "
                                              "per cell, the highest row at the top");
    cmd->add_option("IN", o->In, "saved simulation (.mgf)")->required();
    cmd->footer("Counts, by mode: dominance and guild the individuals of at least the minimal size (MinSize, stored in the file), "
                "abundance and evenness every individual, states those larger than the minimal size; --larvae the larvae of "
                "the last settlement (none after loading a grid file, which does not store them).");
    cmd->add_option("--mode", o->Mode, "none, dominance, abundance, states, guild, evenness, turnover, "
                                       "disturbance or capacity")
        ->required();
    cmd->add_option("--species", o->Species, "species number 1.. of the abundance mode (default 1)");
    cmd->add_flag("--larvae", o->Larvae, "dominance and abundance of the last settlement's larvae");
    cmd->add_option("--max-age", o->MaxAge, "disturbance mode: age after which a cell is no longer highlighted "
                                            "(default 300)");
    cmd->add_option("--window", o->Window, "cells x1,y1,x2,y2 (default the whole grid)");
    cmd->add_option("--out", o->Out, "the bitmap file to write (.bmp)")->required();
    cmd->callback([o] { ExecuteMap(*o); });
}

// ---- index and similarity ----

std::string Figure(double v) { return Format("%.17g", {v}); }

struct TIndexOptions {
    std::string Measure, Guilds, A, B;
    std::vector<std::string> Counts;
    double Order = 1.0;
};

void ExecuteIndex(const TIndexOptions& o)
{
    const TDiversityEntry* measure = FindDiversityMeasure(o.Measure);
    if (!measure) throw Error("unknown diversity measure " + o.Measure);
    std::vector<int> values;
    for (const std::string& c : o.Counts) {
        std::vector<int> v = ParseInts(c, 0, "COUNT");
        values.insert(values.end(), v.begin(), v.end());
    }
    const TSpeciesCounts counts = ToCounts(values, "COUNT");
    std::vector<int> guilds;
    if (!o.Guilds.empty()) guilds = ParseInts(o.Guilds, values.size(), "--guilds");
    const Model m = CountsModel(values.size(), guilds, o.Order, "--guilds");
    Emit({Figure(measure->Func(m, counts))}, "");
}

void ExecuteSimilarity(const TIndexOptions& o)
{
    const TSimilarityEntry* measure = FindSimilarityMeasure(o.Measure);
    if (!measure) throw Error("unknown similarity measure " + o.Measure);
    const std::vector<int> a = ParseInts(o.A, 0, "--a"), b = ParseInts(o.B, 0, "--b");
    const Model m = CountsModel(std::max(a.size(), b.size()), {}, 1.0, "");
    Emit({Figure(measure->Func(m, ToCounts(a, "--a"), ToCounts(b, "--b")))}, "");
}

void AddIndex(CLI::App& app)
{
    auto o = std::make_shared<TIndexOptions>();
    CLI::App* cmd = app.add_subcommand("index", "one diversity figure (17 significant digits) of a count vector");
    cmd->add_option("MEASURE", o->Measure, "shannon, simpson, recsimpson, brillouin, mindex0, mindex, hill0, hill "
                                           "or the catalogue name")
        ->required();
    cmd->add_option("COUNT", o->Counts, "the counts of species 1, 2, ... (blanks or commas between them)")
        ->required();
    cmd->add_option("--guilds", o->Guilds, "guild 0..4 of each count, G1,G2,... (for the M-indices)");
    cmd->add_option("--order", o->Order, "order q of hill (default 1)");
    cmd->callback([o] { ExecuteIndex(*o); });
}

void AddSimilarity(CLI::App& app)
{
    auto o = std::make_shared<TIndexOptions>();
    CLI::App* cmd = app.add_subcommand("similarity", "one similarity figure (17 significant digits) of two "
                                                     "count vectors");
    cmd->add_option("MEASURE", o->Measure, "jaccard, sorensen, braycurtis, marczewski or the catalogue name")
        ->required();
    cmd->add_option("--a", o->A, "counts of the first sample, C1,C2,...")->required();
    cmd->add_option("--b", o->B, "counts of the second sample, C1,C2,...")->required();
    cmd->callback([o] { ExecuteSimilarity(*o); });
}

} // namespace

void AddOutputCommands(CLI::App& app)
{
    AddPov(app);
    AddMap(app);
    AddIndex(app);
    AddSimilarity(app);
}

} // namespace marovi::cli
