#pragma once
#include <string>
#include <vector>

namespace CLI {
class App;
}

#include "model/types.h"

namespace marovi {
struct Model;
struct TDiversityEntry;
struct TSimilarityEntry;
enum class TClusterMode;
}

namespace marovi::cli {

void AddClusterCommand(CLI::App& app);
void AddCommunityCommands(CLI::App& app);  // rank, succession, histogram, transect
void AddOutputCommands(CLI::App& app);     // pov, map, index, similarity

// Which individuals an analysis counts, as its --help says: the minimal size is the file's
// MinSize (0.2 unless set in the desktop's view or Grid properties).
constexpr const char* CountsLarger = "Counts the individuals larger than the minimal size (MinSize, stored in the file).";
constexpr const char* CountsAtLeast = "Counts the individuals of at least the minimal size (MinSize, stored in the file).";
constexpr const char* CountsAll = "Counts every individual, whatever its size.";

// A saved simulation for analysis: FileName is the path, the stored species colours are used.
Model LoadForAnalysis(const std::string& path);

// Writes text lines ended by CR LF to stdout, or to the file `out` when it is not empty.
void Emit(const std::vector<std::string>& lines, const std::string& out);

// A diversity measure by its short name (shannon, simpson, recsimpson, brillouin, mindex0,
// mindex, hill0, hill) or its catalogue name; nullptr when there is none.
const TDiversityEntry* FindDiversityMeasure(const std::string& text);
// A similarity measure by its short name (jaccard, sorensen, braycurtis, marczewski) or its
// catalogue name; nullptr when there is none.
const TSimilarityEntry* FindSimilarityMeasure(const std::string& text);

// The counts of a bare count vector, species 1 first: at most 51, none negative; `option`
// names them in errors.
TSpeciesCounts ToCounts(const std::vector<int>& values, const std::string& option);
// A model for the measures of bare count vectors: one species per count (at least one), so
// that the indices see them all; guilds 0..4 of the first counts when given, the Hill order.
Model CountsModel(size_t entries, const std::vector<int>& guilds, double hillOrder, const std::string& guildOption);

// "a,b,c": exactly `count` integers (any count when count is 0); names the option in errors.
std::vector<int> ParseInts(const std::string& text, size_t count, const std::string& option);
std::vector<double> ParseReals(const std::string& text, const std::string& option);

// --window x1,y1,x2,y2: every corner inside the grid.
struct TWindow {
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};
TWindow ParseWindow(const Model& m, const std::string& text, const std::string& option = "--window");
// The same for corners given as numbers; `what` names them in errors.
TWindow WindowOf(const Model& m, const std::vector<int>& corners, const std::string& what);
// The window of an option's text, or the whole grid when the option was not given.
TWindow WindowOrGrid(const Model& m, const std::string& text);

// What makes a feature cell of the cluster analysis: species, states, diversity or area.
TClusterMode ParseClusterMode(const std::string& text, const std::string& option);

// A species as the user numbers it (1..SpeciesMax+1), returned as the index from 0.
int ParseSpecies(const Model& m, int number, const std::string& option = "--species");

} // namespace marovi::cli
