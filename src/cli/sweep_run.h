#pragma once
#include <atomic>
#include <string>

#include "provenance.h"

namespace marovi::cli {

struct TSweepPlan;

// How a sweep runs: its table, its share of the runs and its threads.
struct TSweepSettings {
    std::string Out;                 // the table (.csv)
    int PartK = 1, PartN = 1;        // the share: runs K, K+N, K+2N, ...
    int Jobs = 0;                    // runs side by side; 0 for the processors this process may use
    bool Quiet = false;              // no progress line
    TOrigin Origin = RunnerOrigin(); // what ran the sweep, for its provenance files
    int Threads = 0;                 // of each run; 0 for what the runs side by side leave of the processors
};

// Runs those runs of the share that the table lacks, then finishes the table (sorted by run,
// journal removed, provenance beside it). `stop`, set from outside (a signal handler may),
// starts no further run and ends the runs in flight at their next round; the sweep then fails
// with "stopped: N of M runs are in OUT; the same command runs the rest".
void RunSweep(const TSweepPlan& plan, const TSweepSettings& settings, std::atomic<bool>& stop);

} // namespace marovi::cli
