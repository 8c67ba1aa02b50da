#pragma once
#include <string>

#include "model/types.h"

namespace marovi {
struct Model;

// Every operation that changes the pool keeps the grid consistent with it (see
// FollowSpeciesMoves in model/grid.h): individuals, larvae and statistics follow their
// species record; those of a species that leaves the pool are removed. Operations that only
// change the pool's length keep the indices below it. Those that can remove individuals
// return how many, for the editor to tell the user.

// What an edit of the pool did: where every species went, and how many individuals left.
struct TPoolEdit {
    TSpeciesMoves Moves{};
    int Removed = 0;
};

// Sets the pool length to count (at most 51) with the creation defaults.
int CreateSpeciesPool(Model& m, int count);
void AddSisterSpecies(Model& m, int source, const std::string& name);
// Exchanges two records; the individuals of both go along with them.
TPoolEdit SwapSpecies(Model& m, int first, int second);
// Removes one species with its individuals; the others keep their order.
TPoolEdit DeleteSpecies(Model& m, int index);
// Recomputes fecundity, death probability, first reproduction and patch size.
void StandardValues(Model& m, int index);
int ClearSpeciesPool(Model& m);
void UpdateAnyGlobalDrift(Model& m);

} // namespace marovi
