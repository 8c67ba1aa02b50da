#include "model/simulation.h"

#include <random>

#include "disturbance/disturbance.h"
#include "landscape/landscape.h"
#include "model/grid.h"
#include "model/species_pool.h"
#include "model/step.h"

namespace marovi {

void InitStartupModel(Model& m, int32_t seed, int xdim, int ydim)
{
    m.Random.SeedRandom(seed);
    m.TimeStep = 0;
    CreateSpeciesPool(m, 10);
    CreateGrid(m, xdim, ydim);
    RandomLandscape(m, 0.5);
}

void NewSimulationModel(Model& m, int32_t clockSeed, std::optional<int> changedStartFill)
{
    ResetCounters(m);
    m.Random.SeedRandom(m.RandomSeed != 0 ? m.RandomSeed : clockSeed);
    m.ExtinctionStep.fill(0);
    m.LastAbundance.fill(0);
    // A changed start fill needs no new grid: recreating it would wipe the landscape.
    if (changedStartFill) m.StartFill = *changedStartFill;
    ClearAllCells(m);
    InitialFill(m, m.StartFill);
    m.TimeStep = 0;
    m.DisturbanceEventCount = 0;
    m.DisturbedCellCount = 0;
}

void StepAndRefreshModel(Model& m)
{
    SimulationStep(m);
    if (m.ExtraDisturbanceRequested && !m.Disturbances.empty()) ApplyExtraDisturbance(m);
}

int32_t ClockSeed()
{
    std::random_device rd;
    std::mt19937 gen(rd());
    return std::uniform_int_distribution<int32_t>(0, 2147483646)(gen);
}

} // namespace marovi
