#pragma once
#include <string>

namespace marovi {
struct Model;

// Sets the pool length to count (at most 51) with the creation defaults.
void CreateSpeciesPool(Model& m, int count);
void AddSisterSpecies(Model& m, int source, const std::string& name);
void SwapSpecies(Model& m, int first, int second);
void DeleteSpecies(Model& m, int index);
// Recomputes fecundity, death probability, first reproduction and patch size.
void StandardValues(Model& m, int index);
void ClearSpeciesPool(Model& m);
void UpdateAnyGlobalDrift(Model& m);

} // namespace marovi
