#pragma once
#include <string>

#include "model/types.h"

namespace marovi {
struct Model;

// Species present per guild: entry g counts the species with StepAbundance > 0 whose
// Guild is g (species, not individuals). Guilds outside 0..50 are not counted.
TSpeciesCounts GuildVector(const Model& m);

// One line of the status list: time step, the diversity of the census and of the guild
// vector by the current measure, the two disturbance counters, then every species' count.
std::string StatusLine(const Model& m);

// The column header that belongs to StatusLine.
std::string StatusHeader(const Model& m);
// Its last part: one label per species, "-------%2d" with the 1-based number, not separated.
std::string SpeciesColumnLabels(int count);

// The text of the "extinction time" message: one line per species, "-----" for a species
// that never died out. Lines are separated by CR.
std::string ExtinctionTimesText(const Model& m);

} // namespace marovi
