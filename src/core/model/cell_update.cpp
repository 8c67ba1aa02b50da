#include "model/grid.h"
#include "model/life_history.h"
#include "model/step.h"
#include "model/step_work.h"

namespace marovi {

void UpdateCell(Model& m, int x, int y)
{
    AgeCell(m, x, y);
    UpdateAgedCell(m, x, y, nullptr, nullptr, 0);
}

void UpdateAgedCell(Model& m, int x, int y, TDrawPlan* plan, const int32_t* reproducing, int32_t individuals)
{
    ReleaseLarvae(m, x, y, plan, reproducing);
    ExternalDrift(m, x, y, plan != nullptr);
    if (plan) plan->Deaths(x, y, individuals);
    else MortalityCell(m, m.Random, x, y);
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

void MortalityCell(Model& m, int x, int y) { MortalityCell(m, m.Random, x, y); }

void MortalityCell(Model& m, TRandom& random, int x, int y)
{
    TCell& cell = m.Cell(x, y);
    size_t i = 0;
    while (i < cell.Individuals.size()) {
        const TIndividual& ind = cell.Individuals[i];
        if (DiesThisStep(m, random, ind.Species, ind.Age))
            EraseIndividual(cell, i);
        else
            ++i;
    }
}

} // namespace marovi
