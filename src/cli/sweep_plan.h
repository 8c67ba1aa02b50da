#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/scenario.h"

namespace marovi {
struct Model;
struct TParameter;
}

namespace marovi::cli {

// One parameter a sweep varies, with every value it takes.
struct TVaried {
    const TParameter* Parameter = nullptr;
    int Species = -1;       // species index for a species field
    int Disturbance = -1;   // definition index for a disturbance field
    bool Landscape = false; // a parameter of the landscape generator
    std::string Column;     // "GlobalKFactor", "species3.DispersalDistance", "disturbance1.Recurrence"
    std::vector<double> Values;
};

// Where runs start: a scenario, a saved simulation (the scenario's BaseFile) or the
// start-up state (an empty scenario).
struct TSweepStart {
    std::string Label; // its value in the table when the plan lists several
    TScenario Scenario;
    int SpeciesCount = 10;
    int DisturbanceCount = 0;
};

// A parameter sweep: every start, with every combination of the varied values, runs once
// with every seed.
struct TSweepPlan {
    std::string Path, Text;          // the plan file and its content
    std::vector<TSweepStart> Starts; // one, or the list of scenarios or files the plan varies
    std::string StartColumn;         // "scenario" or "file" when the plan lists several
    int GridW = 100, GridH = 100;    // the start-up state's grid
    std::vector<int32_t> Seeds;
    int Steps = 0, Every = 1;
    bool ToHorizon = false;          // runs go on when the diversity falls to 0
    std::string Diversity = "shannon";
    double HillOrder = 1.0;
    std::string KeepGrids;           // directory for each run's grid file at the end, or empty
    std::vector<TVaried> Varied;
};

// Reads and checks a plan. Unknown keys, parameters that do not exist and values out of
// their range are refused with the plan's name and line: "plan.toml:7: ...". Scenarios and
// base grid files are read to check what is varied; relative paths are taken from the
// plan's directory.
TSweepPlan LoadSweepPlan(const std::string& path);
// The same for a plan's text; `path` names it in messages and is where relative paths start.
TSweepPlan ParseSweepPlan(const std::string& text, const std::string& path);

// Runs are numbered from 1: the start changes slowest, then the first varied parameter,
// the seed fastest.
struct TSweepRun {
    int Id = 0;
    int Start = 0; // index into the plan's starts
    int32_t Seed = 0;
    std::vector<double> Values; // one per varied parameter
};
long long RunCount(const TSweepPlan& plan);
TSweepRun RunOfPlan(const TSweepPlan& plan, long long id);

// The scenario of a run: its start's, with the varied landscape parameters and the varied
// fields of its disturbance definitions written in, as a scenario file with those values
// would give them.
TScenario RunScenario(const TSweepPlan& plan, const TSweepRun& run);
// The varied values that go onto the model after the scenario: global parameters, species
// fields, and fields of the disturbance definitions a base file brings.
void ApplyRunValues(const TSweepPlan& plan, const TSweepRun& run, Model& m);

} // namespace marovi::cli
