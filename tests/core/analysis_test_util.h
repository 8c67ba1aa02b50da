#pragma once
#include <string>
#include <vector>

#include "model/grid.h"
#include "model/model.h"
#include "model/species_pool.h"

namespace marovi::testing_util {

// A model with `species` default species on an xdim x ydim grid of capacity 100 per cell.
inline void MakeModel(Model& m, int species, int xdim, int ydim)
{
    CreateSpeciesPool(m, species);
    CreateGrid(m, xdim, ydim);
    for (TCell& c : m.Cells) c.Capacity = 100;
}

// Puts an individual of a chosen size and age at the next free position of the cell, as a
// loaded file would, without touching the random stream.
inline void Put(Model& m, int x, int y, int species, double size, int age = 1)
{
    TCell& cell = m.Cell(x, y);
    int pos = static_cast<int>(cell.Individuals.size());
    TIndividual ind;
    ind.Species = species;
    ind.Age = age;
    ind.Size = size;
    ind.PosX = static_cast<int8_t>(pos % 10);
    ind.PosY = static_cast<int8_t>(pos / 10);
    cell.Occupied[ind.PosX][ind.PosY] = 1;
    cell.Individuals.push_back(ind);
    cell.Abundance[static_cast<size_t>(species)] += 1;
    cell.IndividualCount += 1;
}

} // namespace marovi::testing_util
