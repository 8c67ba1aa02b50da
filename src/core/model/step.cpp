#include "model/step.h"

#include "disturbance/disturbance.h"
#include "model/model.h"

namespace marovi {

void SimulationStep(Model& m)
{
    m.StepAbundance.fill(0);
    m.TimeStep += 1;
    m.Season = m.TimeStep % SeasonsPerYear;
    m.SeasonYear = m.TimeStep / SeasonsPerYear;

    for (int x = 0; x <= m.XMax; ++x)
        for (int y = 0; y <= m.YMax; ++y) UpdateCell(m, x, y);

    for (int x = 0; x <= m.XMax; ++x)
        for (int y = 0; y <= m.YMax; ++y) {
            SettleCell(m, x, y);
            TCell& cell = m.Cell(x, y);
            for (const TIndividual& ind : cell.Individuals) m.StepAbundance[static_cast<size_t>(ind.Species)] += 1;
            cell.Larvae.fill(0);
            cell.LarvaeCount = 0;
        }

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
