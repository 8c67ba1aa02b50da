#include "model/grid.h"
#include "model/life_history.h"
#include "model/step.h"

namespace marovi {

void UpdateCell(Model& m, int x, int y)
{
    AgeCell(m, x, y);
    ReleaseLarvae(m, x, y);
    ExternalDrift(m, x, y);
    MortalityCell(m, x, y);
}

void AgeCell(Model& m, int x, int y)
{
    TCell& cell = m.Cell(x, y);
    cell.CellAge += 1;
    uint32_t mask = 0;
    for (TIndividual& ind : cell.Individuals) {
        ind.Age += 1;
        ind.Size = GrowthSize(m, ind.Species, ind.Age);
        const TSpecies& s = m.SpeciesPool[static_cast<size_t>(ind.Species)];
        if (s.NormalLifespan <= ind.Age) mask |= s.ChangesSubstrate;
    }
    cell.Substrate ^= mask;
}

void MortalityCell(Model& m, int x, int y)
{
    TCell& cell = m.Cell(x, y);
    size_t i = 0;
    while (i < cell.Individuals.size()) {
        const TIndividual& ind = cell.Individuals[i];
        if (DiesThisStep(m, ind.Species, ind.Age))
            EraseIndividual(cell, i);
        else
            ++i;
    }
}

} // namespace marovi
