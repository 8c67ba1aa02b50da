#pragma once
#include <cstdint>
#include <functional>
#include <optional>

namespace marovi {
struct Model;
class TStatusList;

// The program's start-up state: generator seeded, 10 default species with their display
// colours, a 100 x 100 grid (or xdim x ydim) with the two-level random landscape of
// probability 0.5.
void InitStartupModel(Model& m, int32_t seed, int xdim = 100, int ydim = 100);

// The model side of "new": counters reset, the generator seeded from RandomSeed (or from
// clockSeed when RandomSeed is 0), extinction steps and last abundances zeroed, a changed
// start fill taken over, all cells and the larvae of the previous step cleared, the
// initial fill, time step 0.
// The landscape, the flow grid and the disturbance definitions are kept.
void NewSimulationModel(Model& m, int32_t clockSeed, std::optional<int> changedStartFill = std::nullopt);

// One step of the run control: the time step, then a requested extra disturbance.
// Returns the Shannon index of the census (whatever measure is selected).
double StepAndRefreshModel(Model& m);

// The steps of one run-loop round: up to `steps` StepAndRefreshModel, none once the
// termination criterion holds. Returns the number of steps done.
int RunRoundSteps(Model& m, int steps);

// What the run loop learns at the end of a round.
struct TRoundEnd {
    bool DiversityZero = false;      // one species or none left: the run stops
    bool TerminationReached = false; // ask whether to go on (the default answer is no)
};

// What the state after a round means for the run loop.
TRoundEnd RoundEnd(const Model& m);

// The bookkeeping after a round: the run entry on top of the status list; when the Shannon
// index of the census is 0 and that stops the run, the stop entry as well; the overflow
// file when the list is full.
TRoundEnd FinishRound(const Model& m, TStatusList& list, bool zeroDiversityStops = true);

// "Yes" to the termination question: the run goes on without a termination criterion.
void ContinueAfterTermination(Model& m);

// The run loop without a window: rounds of `every` steps (the last one shorter) until
// `steps` steps are done, with the round's status entries when a list is given. Like the
// desktop's, the run ends early, at the end of the round, when the diversity falls to 0
// (unless toHorizon) or when the termination criterion holds (nobody answers the
// question, whose default is no). progress is told the number of steps done after every
// round.
struct TBatchResult {
    int StepsDone = 0;
    TRoundEnd End;
};
TBatchResult RunBatch(Model& m, int steps, int every, TStatusList* list,
                      const std::function<void(int)>& progress = {}, bool toHorizon = false);
// Why a batch of `steps` steps ended: "steps" when all were done, else "diversity_zero" or
// "termination" (the desktop looks at the diversity first).
const char* BatchEndReason(const TBatchResult& result, int steps, bool toHorizon = false);

// A seed in 0..2147483646 from the system's clock-seeded generator.
int32_t ClockSeed();

} // namespace marovi
