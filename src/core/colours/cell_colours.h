#pragma once
#include <cstdint>
#include <string_view>

#include "model/types.h"

namespace marovi {
struct Model;

// The display modes of the landscape map.
enum class TDisplayMode { None, Dominance, Abundance, States, Guild, Evenness, Turnover, Disturbance, Capacity };

// Parses a mode name as the command line writes it ("none", "dominance", "abundance",
// "states", "guild", "evenness", "turnover", "disturbance", "capacity"); false if unknown.
bool ParseDisplayMode(std::string_view name, TDisplayMode& mode);

// What the view adds to the model: the species of "abundance" and the age after which
// a disturbed cell is no longer highlighted.
struct TColourSettings {
    int Species = 0;
    int MaxDisturbanceAge = 300;
};

struct TUniqueMax {
    bool Found = false;
    int Index = 0;
};
// The index of the largest count, "not found" when the largest value is tied. When the
// counts from index `used` on are known to be zero, only the ones before are read.
TUniqueMax UniqueMaxIndex(const TSpeciesCounts& counts, int used = MaxSpecies);

// The colour of cell (x, y) in a display mode, from adults or from last step's larvae.
// Mode None gives the silver of the grey background.
uint32_t CellColour(const Model& m, TDisplayMode mode, bool larvae, int x, int y, const TColourSettings& settings);

// Species colour with a saturation scaled by count / reference (three quarters at the
// reference), limited to the full saturation; silver for counts below 1.
uint32_t AbundanceColor(const Model& m, int species, int count, double reference);
double CellEvenness(const Model& m, int x, int y);
uint32_t TurnoverColor(const Model& m, int disturbances);
uint32_t DisturbanceAgeColor(int age, int maxDisturbanceAge);

} // namespace marovi
