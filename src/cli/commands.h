#pragma once

namespace CLI {
class App;
}

namespace marovi::cli {

// Simulation and file commands: new, run, export, info, scenario.
void AddFileCommands(CLI::App& app);
// Analysis commands: clusters, rank, succession, histogram, transect, pov, index, similarity, map.
void AddAnalysisCommands(CLI::App& app);

// Parameter sweeps: sweep, merge.
void AddSweepCommands(CLI::App& app);

} // namespace marovi::cli
