#include "model/step.h"

#include <optional>

#include "disturbance/disturbance.h"
#include "model/model.h"
#include "model/step_work.h"

namespace marovi {

namespace {

// Phase 1, every cell's update in column order. This thread sweeps the grid; with more than
// one thread it plans, and the others prepare columns ahead of it and run what it defers (so
// does this one, when it waits or is done).
void UpdateCells(Model& m, TStepWork& work)
{
    work.StartCellUpdate(m);
    auto job = [&](int thread) {
        if (thread == 0) {
            const double start = work.SerialClock();
            work.Helped = 0;
            std::optional<TDrawPlan> plan;
            if (work.Threads > 1) plan.emplace(m, work);
            const size_t stride = work.Stride();
            for (int x = 0; x <= m.XMax; ++x) {
                const int32_t* cell = work.ReadyColumn(m, x);
                for (int y = 0; y <= m.YMax; ++y, cell += stride)
                    UpdateAgedCell(m, x, y, plan ? &*plan : nullptr, work.CountsReproducing() ? cell : nullptr,
                                   cell[stride - 1]);
                work.ColumnSwept(x);
            }
            if (plan) plan->Finish();
            work.PlanDone = true;
            work.Signal.Notify();
            work.SerialSeconds = work.SerialClock() - start - work.Helped;
        }
        work.HelpCellUpdate(m);
    };
    m.StepThreads.Run(job);
}

// Phase 2, settlement in column order on this thread, and the census: the individuals per
// species after settlement, counted by every thread in the columns settled so far; the
// larvae that did not settle are lost.
void SettleCells(Model& m, TStepWork& work)
{
    work.StartSettlement();
    auto job = [&](int thread) {
        if (thread == 0) {
            try {
                const double start = work.SerialClock();
                double counting = 0;
                for (int x = 0; x <= m.XMax; ++x) {
                    for (int y = 0; y <= m.YMax; ++y) SettleCell(m, x, y);
                    work.Settled = x + 1;
                    work.Signal.Notify();
                    const double before = work.SerialClock();
                    work.CountSettledColumns(m, thread, false);
                    counting += work.SerialClock() - before;
                }
                work.SerialSeconds += work.SerialClock() - start - counting;
            } catch (...) {
                work.Settled = m.XDim; // the others must not wait for columns that never come
                work.Signal.Notify();
                throw;
            }
        }
        work.CountSettledColumns(m, thread, true);
    };
    m.StepThreads.Run(job);
    for (int t = 0; t < work.Threads; ++t)
        for (int s = 0; s < MaxSpecies; ++s) m.StepAbundance[static_cast<size_t>(s)] += work.Census[static_cast<size_t>(t)][static_cast<size_t>(s)];
}

} // namespace

void SimulationStep(Model& m)
{
    m.StepAbundance.fill(0);
    m.TimeStep += 1;
    m.Season = m.TimeStep % SeasonsPerYear;
    m.SeasonYear = m.TimeStep / SeasonsPerYear;

    TStepWork& work = m.StepThreads.Work();
    UpdateCells(m, work);
    SettleCells(m, work);

    // Applying a definition never changes it: work on a copy, the list may be edited later.
    for (size_t i = 0; i < m.Disturbances.size(); ++i) {
        const TDisturbanceDef def = m.Disturbances[i];
        ApplyDisturbance(m, def);
    }
    if (m.RoiDisturbanceRequested) {
        m.RoiDisturbanceRequested = false;
        ApplyRoiDisturbance(m, m.RoiDisturbance);
    }

    for (int s = 0; s <= m.SpeciesMax; ++s) {
        size_t i = static_cast<size_t>(s);
        if (m.StepAbundance[i] == 0 && m.LastAbundance[i] > 0) m.ExtinctionStep[i] = m.TimeStep;
        m.LastAbundance[i] = m.StepAbundance[i];
    }

    if (m.TimeStep == m.MaxRuntime) m.TermCountBase = m.DisturbanceEventCount;
    if (m.TimeStep >= m.MaxRuntime && m.TermReachedStep == 0 &&
        m.DisturbanceEventCount - m.TermCountBase >= m.TermDisturbances)
        m.TermReachedStep = m.TimeStep;
    m.TerminateFlag = false;
    if (m.MaxRuntime >= 1 && m.TermReachedStep >= 1 && m.TermReachedStep + m.TermSteps <= m.TimeStep)
        m.TerminateFlag = true;
}

} // namespace marovi
