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
    cell.Occupied.Set(ind.PosX, ind.PosY);
    cell.Individuals.push_back(ind);
    cell.IndividualCount += 1;
}

// The four-by-three landscape of the cluster report tests: species 1 in two clusters
// ((0,0)-(1,0) and (3,2)), species 2 beside them, and one individual below MinSize at (2,1).
inline void MakeClusterModel(Model& m)
{
    MakeModel(m, 2, 4, 3);
    Put(m, 0, 0, 0, 0.5);
    Put(m, 0, 0, 0, 0.5);
    Put(m, 1, 0, 0, 0.5);
    Put(m, 1, 0, 1, 0.5);
    Put(m, 3, 2, 0, 0.5);
    Put(m, 2, 1, 0, 0.1);
}

// Its report for species 1 without clean-up, the file being named `file`.
inline std::vector<std::string> ClusterModelReport(const std::string& file)
{
    return {
        "data on clusters of " + file,
        "cluster of species Species 01",
        "CA           :    0.33333",
        "clusters     : 2",
        "average size :   1.5 cells",
        "min size     :   1.0 cells",
        "max size     :   2.0 cells",
        "cluster ; size ; dx ; dy ;Shannon Index;Species 01;Species 02",
        "  1 ;     2 ;   0.5 ;   0.0 ; 0.56 ;        3;       1;   0.500 ;  -1.000 ;   0.250 ",
        "  2 ;     1 ;   3.0 ;   2.0 ; 0.00 ;        1;       0;   0.000 ;  -1.000 ;   0.000 ",
        "total ;     3 ;;; 0.50 ;        4;       1",
    };
}

} // namespace marovi::testing_util
