#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace marovi {
struct Model;
struct TParameter;
}

namespace marovi::cli {

// One parameter a sweep varies, with every value it takes.
struct TVaried {
    const TParameter* Parameter = nullptr;
    int Species = -1;    // species index for a species field
    std::string Column;  // "GlobalKFactor", "species3.DispersalDistance"
    std::vector<double> Values;
};

// A parameter sweep: every combination of the varied values runs once with every seed.
struct TSweepPlan {
    std::string Path, Text;  // the plan file and its content
    std::string BaseFile;    // a grid file to start from, or empty for the start-up state
    int GridW = 100, GridH = 100;
    std::vector<int32_t> Seeds;
    int Steps = 0, Every = 1;
    std::string Diversity = "shannon";
    double HillOrder = 1.0;
    std::string KeepGrids;   // directory for each run's grid file at the end, or empty
    std::vector<TVaried> Varied;
};

// Reads and checks a plan. Unknown keys, parameters that do not exist and values out of
// their range are refused with the plan's name and line: "plan.toml:7: ...". The base grid
// file is loaded to check species numbers; relative paths are taken from the plan's directory.
TSweepPlan LoadSweepPlan(const std::string& path);
// The same for a plan's text; `path` names it in messages and is where relative paths start.
TSweepPlan ParseSweepPlan(const std::string& text, const std::string& path);

// The model every run of the plan starts from before its seed and values are applied:
// the base grid file, or nothing for the start-up state (whose landscape comes from the seed).
// Runs are numbered from 1: the first varied parameter changes slowest, the seed fastest.
struct TSweepRun {
    int Id = 0;
    int32_t Seed = 0;
    std::vector<double> Values; // one per varied parameter
};
long long RunCount(const TSweepPlan& plan);
TSweepRun RunOfPlan(const TSweepPlan& plan, long long id);

// Applies the run's values to a model.
void ApplyRunValues(const TSweepPlan& plan, const TSweepRun& run, Model& m);

} // namespace marovi::cli
