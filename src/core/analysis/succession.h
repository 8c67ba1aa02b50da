#pragma once
#include <string>
#include <vector>

#include "analysis/state_def.h"
#include "model/types.h"

namespace marovi {
struct Model;

struct TSuccessionRecord {
    TSpeciesCounts counts{};
    int midAge = 0;
    int nIndividuals = 0;
    int nCells = 0;
};

// Sorts the cells of x0..x1, y0..y1 by disturbance age into the (maxAge - minAge) div step
// intervals [a, a + step) and counts their individuals of at least minSize; the last record
// of results receives the sums. results must hold one record more than there are intervals.
void SuccessionCalc(const Model& m, int x0, int y0, int x1, int y1, int minAge, int maxAge, int step, double minSize,
                    std::vector<TSuccessionRecord>& results);

// The window's calculation: the area limited to the grid, the result array sized, the
// calculation run with MinSize. A step below 1 or a maximum below the minimum is refused.
struct TSuccessionRequest {
    int MinAge = 0, MaxAge = 400, Step = 10;
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};
void LimitSuccessionArea(const Model& m, TSuccessionRequest& r);
std::vector<TSuccessionRecord> RunSuccession(const Model& m, TSuccessionRequest& r);

// The plotted curves: one per species (or per guild 0..4), "N" and "diversity"; every
// curve starts at (0, 0). Species points exist only for intervals with individuals.
struct TSuccessionSeries {
    std::string Title;
    std::vector<double> X, Y;
};
struct TSuccessionPlot {
    std::vector<TSuccessionSeries> Groups;  // species or guilds
    TSuccessionSeries N, Diversity;
    std::string TitleLine1, TitleLine2;
};
TSuccessionPlot SuccessionPlot(const Model& m, const TSuccessionRequest& r,
                               const std::vector<TSuccessionRecord>& results, bool guilds, bool showDiversity);

// The saved list: two comment lines, the header and one line per interval, by species or
// (guilds) by guild; lines without line ends.
std::vector<std::string> SuccessionListLines(const Model& m, const std::vector<TSuccessionRecord>& results,
                                             const std::string& dateTime, bool guilds = false);

// The state definition fields of the window: per state 1..4 and guild 0..4 a "consider"
// box and the texts of "min" and "max".
struct TStateDefField {
    bool Consider = false;
    std::string Min, Max;
};
using TStateDefFields = std::vector<TStateDefField>;  // state 1 guilds 0..4, then state 2, ...
TStateDefFields StateDefFieldTexts(const TStateDef& defs);
// Reads the fields into the table in order; a field that is not a number stops with an error,
// the criteria read before it keeping their new values.
void ApplyStateDefFields(TStateDef& defs, const TStateDefFields& fields);

} // namespace marovi
