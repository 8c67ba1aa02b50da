#pragma once
#include <string>

namespace marovi {
struct Model;

// Every operation that changes the pool's length keeps the grid consistent with it: the
// individuals, larvae and counts of species indices past the new pool are removed (see
// FitGridToPool in model/grid.h), the remaining individuals keep their species index.
// Those that can shorten the pool return the number of individuals removed, for the editor
// to tell the user.

// Sets the pool length to count (at most 51) with the creation defaults.
int CreateSpeciesPool(Model& m, int count);
void AddSisterSpecies(Model& m, int source, const std::string& name);
// Exchanges two records; individuals keep their indices.
void SwapSpecies(Model& m, int first, int second);
// Removes one species, the others keep their order; the individuals of the last index go.
int DeleteSpecies(Model& m, int index);
// Recomputes fecundity, death probability, first reproduction and patch size.
void StandardValues(Model& m, int index);
int ClearSpeciesPool(Model& m);
void UpdateAnyGlobalDrift(Model& m);

} // namespace marovi
