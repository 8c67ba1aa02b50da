#pragma once
#include "files/byte_io.h"
#include "model/types.h"

namespace marovi {
struct Model;

// The 496-byte species record shared by the grid file and the species pool file.
void WriteSpeciesRecord(TByteWriter& w, const TSpecies& s);
// Reads species number index (0-based) over s.
void ReadSpeciesRecord(TByteReader& r, int index, TSpecies& s);
// Sets every species' growth function from its GrowthModel; "unknown growth model!" otherwise.
void ApplyGrowthModels(Model& m);

} // namespace marovi
