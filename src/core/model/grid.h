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

TSpeciesCounts CountSizedIndividuals(const Model& m, int x, int y);
double SizedCover(const Model& m, int x, int y);

void InsertIndividual(Model& m, int x, int y, int species, int lastReproduction, int age);
void RemoveIndividual(Model& m, int x, int y, int species, int listIndex);
// Removes list entry i of a cell, freeing its position (no checks; the hot path of deaths).
void EraseIndividual(TCell& cell, size_t i);

void InitialFill(Model& m, int columns);

} // namespace marovi

#include "model/model.h"

namespace marovi {

inline bool WrapCoordinates(const Model& m, int& x, int& y)
{
    if (m.Torus) {
        if (m.XDim <= 0 || m.YDim <= 0) return false;
        if (x < 0 || x > m.XMax) { x %= m.XDim; if (x < 0) x += m.XDim; }
        if (y < 0 || y > m.YMax) { y %= m.YDim; if (y < 0) y += m.YDim; }
        return true;
    }
    return x >= 0 && x < m.XDim && y >= 0 && y < m.YDim;
}

} // namespace marovi
