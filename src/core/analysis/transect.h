#pragma once
#include <string>
#include <vector>

#include "analysis/chart_texts.h"
#include "model/types.h"

namespace marovi {
struct Model;

struct TRovSample {
    int x = 0, y = 0;
    int age = 0;
    TSpeciesCounts counts{};
    TSpeciesCounts guildCounts{};
    int state = 0;
    double betaSpecies = 0, betaGuild = 0;
};

// A transect with the lines of its sample table (the header not included).
struct TRovTransect {
    std::vector<TRovSample> Samples;
    std::vector<std::string> Lines;
};

// The sample table's header line.
std::string TransectHeader(const Model& m);

// Fills a sample of cell (sample.x, sample.y) from the grid and returns its table line;
// `first` is the transect's first sample (the sample itself when it is the first).
std::string SampleCell(const Model& m, TRovSample& sample, const TRovSample& first);

struct TRandomWalk {
    int Length = 25;
    bool RandomStart = true;
    int X = 0, Y = 0;
    double PUp = 0.25, PDown = 0.25, PLeft = 0.25, PRight = 0.25;
};
// The random walk of the ROV: the start (random when asked: x, then y from the simulation's
// stream), then per sample one draw that moves it. Without wrap-around the walk ends where it
// leaves the grid. Probabilities that are negative or all 0 are refused.
TRovTransect BuildRandomTransect(Model& m, const TRandomWalk& walk);

// The ROV window's walk fields as the user left them.
struct TRandomWalkEntries {
    bool RandomStart = true;
    std::string X = "0", Y = "0", Length = "25";
    std::string PUp = "0.25", PDown = "0.25", PLeft = "0.25", PRight = "0.25";
};
// The longest walk the window takes: its chart and table stay usable.
constexpr int MaxWalkLength = 10000;
// Converts the fields in the window's order (start, when not random, then length, up, down,
// left, right); the first that is not a number throws its conversion error, and a length
// above MaxWalkLength is refused.
TRandomWalk RandomWalkOf(const TRandomWalkEntries& e);

// The straight transect between two picked cells; empty when they are less than 2 cells apart.
TRovTransect BuildStraightTransect(const Model& m, int x0, int y0, int x1, int y1);

// Samples every cell of the transect again from the current grid, in order; every cell must
// lie on the grid (see TransectFits).
void ResampleTransect(const Model& m, TRovTransect& t);
// Every cell of the transect lies on the grid (a grid loaded since may be smaller).
bool TransectFits(const Model& m, const TRovTransect& t);

// One bar series of the transect chart: legend title, colour (0x00RRGGBB), a bar per sample.
struct TTransectBars {
    std::string Title;
    uint32_t Colour = 0;
    std::vector<double> Heights;
};
// The chart's series by mode: one per species (name, species colour), one per guild 0..4
// (short name, state colour), or the red beta diversity of species / blue one of guilds.
std::vector<TTransectBars> TransectChartBars(const Model& m, const TRovTransect& t, TTransectChart mode);

// The bounding box of the transect's cells, as x0, y0, x1, y1; false for an empty transect.
bool TransectBounds(const TRovTransect& t, int& x0, int& y0, int& x1, int& y1);

} // namespace marovi
