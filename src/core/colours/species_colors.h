#pragma once
#include <cstdint>

namespace marovi {
struct Model;

// Spreads the hues of species 0..SpeciesMax over the colour wheel and stores them in
// SpeciesColor and in every species' Color; slots above SpeciesMax keep their colour.
// Also resets the scene object of every species to its own index.
void InitSpeciesColors(Model& m);

// After a pool or simulation was loaded: the stored colours when species 0 has one,
// otherwise InitSpeciesColors.
void AdoptSpeciesColors(Model& m);

} // namespace marovi
