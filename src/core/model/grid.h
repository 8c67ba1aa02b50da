#pragma once
#include "model/types.h"

namespace marovi {
struct Model;

void CreateGrid(Model& m, int xdim, int ydim);
void ReleaseGrid(Model& m);
void ResetCounters(Model& m);
void ClearCell(TCell& cell);
void ClearAllCells(Model& m);

// The one rule for positions outside the grid: wrapped with Torus, else rejected.
inline bool WrapCoordinates(const Model& m, int& x, int& y);
// The same on a copy of the grid's size and wrap flag, for loops that write cells.
struct TGridShape {
    int32_t XDim, YDim;
    bool Torus;
};
inline bool WrapCoordinates(const TGridShape& g, int& x, int& y);

TSpeciesCounts CountSizedIndividuals(const Model& m, int x, int y);
double SizedCover(const Model& m, int x, int y);

// No individual more fits the cell: its capacity is reached, or all positions of its
// position map are taken, whatever the capacity says.
inline bool CellFull(const TCell& cell)
{
    return cell.IndividualCount >= cell.Capacity || cell.IndividualCount >= CellPositions;
}

void InsertIndividual(Model& m, int x, int y, int species, int lastReproduction, int age);
void RemoveIndividual(Model& m, int x, int y, int species, int listIndex);
// Removes list entry i of a cell, freeing its position (no checks; the hot path of deaths).
void EraseIndividual(TCell& cell, size_t i);

// The age and last reproduction of a new individual of the initial fill (also of one the
// cell editor puts in): reproducing in step with its species' interval, or, by the
// species' asynchrony, of any age below its normal lifespan.
struct TStartAge {
    int Age = 0, LastReproduction = 0;
};
TStartAge DrawStartAge(Model& m, int species);

void InitialFill(Model& m, int columns);

// Makes the grid and the statistics follow the species records after the pool was edited:
// every individual takes the index its species went to, or leaves its cell when its species
// left the pool; the larvae of this step and of the last settlement, the abundances, the
// extinction times and the growth functions move with their species or are dropped. The
// counts of the cells are laid out anew for the pool's length. Returns the number of
// individuals removed.
int FollowSpeciesMoves(Model& m, const TSpeciesMoves& moves);

// Makes the grid follow the species pool after its length changed: individuals of species
// indices past SpeciesMax leave their cells (the others keep their index and order), and
// the larvae, previous larvae and statistics of those indices are zeroed. Returns the
// number of individuals removed. The pool operations call it.
int FitGridToPool(Model& m);

} // namespace marovi

#include "model/model.h"

namespace marovi {

inline bool WrapCoordinates(const TGridShape& g, int& x, int& y)
{
    // One unsigned comparison per coordinate: negative values become huge and fail it too.
    const bool xInside = static_cast<uint32_t>(x) < static_cast<uint32_t>(g.XDim);
    const bool yInside = static_cast<uint32_t>(y) < static_cast<uint32_t>(g.YDim);
    if (xInside && yInside) return true;
    if (!g.Torus || g.XDim <= 0 || g.YDim <= 0) return false;
    if (!xInside) { x %= g.XDim; if (x < 0) x += g.XDim; }
    if (!yInside) { y %= g.YDim; if (y < 0) y += g.YDim; }
    return true;
}

inline TGridShape GridShape(const Model& m) { return TGridShape{m.XDim, m.YDim, m.Torus}; }

inline bool WrapCoordinates(const Model& m, int& x, int& y) { return WrapCoordinates(GridShape(m), x, y); }

} // namespace marovi
