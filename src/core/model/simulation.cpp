#include "model/simulation.h"

#include <algorithm>
#include <random>

#include "analysis/indices.h"
#include "colours/species_colors.h"
#include "disturbance/disturbance.h"
#include "files/status_list.h"
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
    InitSpeciesColors(m);
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
    // The larvae of the discarded run are not the previous step of the new start.
    m.Cells.ClearPrevLarvae();
    InitialFill(m, m.StartFill);
    m.TimeStep = 0;
    m.DisturbanceEventCount = 0;
    m.DisturbedCellCount = 0;
}

double StepAndRefreshModel(Model& m)
{
    SimulationStep(m);
    if (m.ExtraDisturbanceRequested && !m.Disturbances.empty()) ApplyExtraDisturbance(m);
    return ShannonIndex(m, m.StepAbundance);
}

int RunRoundSteps(Model& m, int steps)
{
    int done = 0;
    for (int i = 0; i < steps; ++i)
        if (!m.TerminateFlag) {
            StepAndRefreshModel(m);
            ++done;
        }
    return done;
}

TRoundEnd RoundEnd(const Model& m)
{
    TRoundEnd end;
    end.DiversityZero = ShannonIndex(m, m.StepAbundance) == 0;
    end.TerminationReached = m.TerminateFlag;
    return end;
}

TRoundEnd FinishRound(const Model& m, TStatusList& list, bool zeroDiversityStops)
{
    const TRoundEnd end = RoundEnd(m);
    list.AddRunEntry(m);
    if (end.DiversityZero && zeroDiversityStops) list.AddEntry(m);
    list.OverflowIfFull();
    return end;
}

void ContinueAfterTermination(Model& m)
{
    m.MaxRuntime = 0;
    m.TerminateFlag = false;
}

TBatchResult RunBatch(Model& m, int steps, int every, TStatusList* list, const std::function<void(int)>& progress,
                      bool toHorizon)
{
    TBatchResult result;
    if (every < 1) every = 1;
    while (result.StepsDone < steps) {
        result.StepsDone += RunRoundSteps(m, std::min(every, steps - result.StepsDone));
        result.End = list ? FinishRound(m, *list, !toHorizon) : RoundEnd(m);
        if (progress) progress(result.StepsDone);
        if ((result.End.DiversityZero && !toHorizon) || result.End.TerminationReached) break;
    }
    return result;
}

const char* BatchEndReason(const TBatchResult& result, int steps, bool toHorizon)
{
    if (result.StepsDone >= steps) return "steps";
    return result.End.DiversityZero && !toHorizon ? "diversity_zero" : "termination";
}

int32_t ClockSeed()
{
    std::random_device rd;
    std::mt19937 gen(rd());
    return std::uniform_int_distribution<int32_t>(0, 2147483646)(gen);
}

} // namespace marovi
