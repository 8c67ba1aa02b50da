#include "model/grid.h"

#include <algorithm>
#include <new>

#include "model/life_history.h"
#include "model/species_moves.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

void CreateGrid(Model& m, int xdim, int ydim)
{
    if (xdim < 1 || ydim < 1) throw Error(Format("invalid grid size %d x %d!", {xdim, ydim}));
    m.XDim = xdim;
    m.YDim = ydim;
    m.XMax = xdim - 1;
    m.YMax = ydim - 1;
    m.StartFill = m.XMax;
    try {
        m.Cells.Create(static_cast<size_t>(xdim) * static_cast<size_t>(ydim), m.SpeciesMax + 1);
    } catch (const std::bad_alloc&) {
        m.Cells.clear();
        throw Error("Not enough memory to initialize simulation!");
    }
    ResetCounters(m);
}

void ReleaseGrid(Model& m)
{
    m.Cells.clear();
    m.Disturbances.clear();
    m.FlowGrid.Cells.clear();
    m.FlowGrid.XCount = 0;
    m.FlowGrid.YCount = 0;
}

void ResetCounters(Model& m)
{
    m.DisturbanceEventCount = 0;
    m.DisturbedCellCount = 0;
    m.TimeStep = 0;
    m.Season = 0;
    m.SeasonYear = 0;
    m.TermCountBase = 0;
    m.TermReachedStep = 0;
    m.TerminateFlag = false;
}

void ClearCell(TCell& cell)
{
    cell.Larvae.fill(0);
    cell.IndividualCount = 0;
    cell.LarvaeCount = 0;
    cell.CellAge = 0;
    cell.Individuals.clear();
    cell.Occupied.Clear();
    cell.Substrate = 1;
}

void ClearAllCells(Model& m)
{
    for (TCell& cell : m.Cells) {
        ClearCell(cell);
        cell.DisturbanceCount = 0;
    }
}

TSpeciesCounts CountSizedIndividuals(const Model& m, int x, int y)
{
    TSpeciesCounts counts{};
    if (!WrapCoordinates(m, x, y)) return counts;
    for (const TIndividual& ind : m.Cell(x, y).Individuals)
        if (ind.Size > m.MinSize) counts[static_cast<size_t>(ind.Species)] += 1;
    return counts;
}

double SizedCover(const Model& m, int x, int y)
{
    double cover = 0.0;
    if (!WrapCoordinates(m, x, y)) return cover;
    for (const TIndividual& ind : m.Cell(x, y).Individuals)
        if (ind.Size >= m.MinSize) cover += ind.Size;
    return cover;
}

void InsertIndividual(Model& m, int x, int y, int species, int lastReproduction, int age)
{
    TCell& cell = m.Cell(x, y);
    if (CellFull(cell))
        throw Error(Format("capacity of cell [%d,%d] overload! (%d/%d)", {x, y, cell.Capacity, cell.IndividualCount}));
    if (species < 0 || species > m.SpeciesMax) throw Error(Format("not existing species! (%d)", {species}));
    TIndividual ind;
    ind.Species = species;
    ind.Age = age;
    ind.Size = GrowthSize(m, species, age);
    ind.LastReproduction = lastReproduction;
    int px, py;
    do {
        px = m.Random.RandomInt(CellSide);
        py = m.Random.RandomInt(CellSide);
    } while (cell.Occupied.Has(px, py));
    ind.PosX = static_cast<int8_t>(px);
    ind.PosY = static_cast<int8_t>(py);
    try {
        cell.Individuals.push_back(ind);
    } catch (const std::exception&) {
        throw Error("could not insert new individual to list!");
    }
    cell.Occupied.Set(px, py);
    cell.IndividualCount += 1;
}

void EraseIndividual(TCell& cell, size_t i)
{
    const TIndividual& ind = cell.Individuals[i];
    cell.IndividualCount -= 1;
    cell.Occupied.Free(ind.PosX, ind.PosY);
    cell.Individuals.erase(cell.Individuals.begin() + i);
}

void RemoveIndividual(Model& m, int x, int y, int species, int listIndex)
{
    TCell& cell = m.Cell(x, y);
    if (listIndex < 0 || static_cast<size_t>(listIndex) >= cell.Individuals.size())
        throw Error(Format("individual %d of cell [%d,%d] does not exist!", {listIndex, x, y}));
    if (cell.Individuals[static_cast<size_t>(listIndex)].Species != species)
        throw Error(Format("individual %d of cell [%d,%d] is not of species %d!", {listIndex, x, y, species}));
    EraseIndividual(cell, static_cast<size_t>(listIndex));
}

TStartAge DrawStartAge(Model& m, int species)
{
    const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(species)];
    TStartAge r;
    if (m.Random.Uniform() >= sp.ReproAsync) {
        // An interval below 1 is taken as 1: it is a divisor here.
        int interval = std::max(sp.ReproInterval, 1);
        int k = m.Random.RandomInt(static_cast<int32_t>(static_cast<double>(sp.NormalLifespan - sp.FirstReproduction) / interval));
        r.Age = sp.FirstReproduction + interval * k;
        r.LastReproduction = r.Age;
    } else {
        r.Age = m.Random.RandomInt(sp.NormalLifespan);
        r.LastReproduction = m.Random.RandomInt(sp.NormalLifespan);
    }
    return r;
}

void InitialFill(Model& m, int columns)
{
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        m.LastAbundance[static_cast<size_t>(s)] = 1;
        m.StepAbundance[static_cast<size_t>(s)] = 0;
    }
    int c = std::min(columns, m.XMax);
    if (c < 0 || m.SpeciesMax < 0) return;
    for (int x = 0; x <= c; ++x)
        for (int y = 0; y <= m.YMax; ++y) {
            TCell& cell = m.Cell(x, y);
            while (!CellFull(cell)) {
                int s = m.Random.RandomInt(m.SpeciesMax + 1);
                const TStartAge start = DrawStartAge(m, s);
                InsertIndividual(m, x, y, s, start.LastReproduction, start.Age);
                m.StepAbundance[static_cast<size_t>(s)] += 1;
                cell.Substrate = 255;
            }
        }
}

int FollowSpeciesMoves(Model& m, const TSpeciesMoves& moves)
{
    auto to = [&moves](size_t s) { return s < moves.size() ? moves[s] : -1; };
    const size_t held = static_cast<size_t>(m.Cells.SpeciesCount());
    int removed = 0;
    for (TCell& cell : m.Cells) {
        size_t i = 0;
        while (i < cell.Individuals.size()) {
            TIndividual& ind = cell.Individuals[i];
            const int32_t now = to(static_cast<size_t>(ind.Species));
            if (now < 0) {
                EraseIndividual(cell, i);
                ++removed;
            } else {
                ind.Species = now;
                ++i;
            }
        }
        for (size_t s = 0; s < held; ++s)
            if (to(s) < 0) cell.LarvaeCount -= cell.Larvae[s];
    }
    m.Cells.MoveSpecies(moves, std::max(m.SpeciesMax + 1, 0));

    auto move = [&to](auto& values) {
        auto moved = values;
        moved.fill(0);
        for (size_t s = 0; s < values.size(); ++s)
            if (to(s) >= 0) moved[static_cast<size_t>(to(s))] = values[s];
        values = moved;
    };
    move(m.StepAbundance);
    move(m.LastAbundance);
    move(m.ExtinctionStep);
    move(m.GrowthFunc);
    return removed;
}

int FitGridToPool(Model& m) { return FollowSpeciesMoves(m, KeptSpecies(m.SpeciesMax + 1)); }

} // namespace marovi
