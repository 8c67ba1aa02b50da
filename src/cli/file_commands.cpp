// The simulation and file commands: new, run, export, info, scenario.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "commands.h"
#include "files/exports.h"
#include "files/status_list.h"
#include "files/summary.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "model/scenario.h"
#include "model/simulation.h"
#include "model/step_threads.h"
#include "provenance.h"
#include "runner.h"
#include "scenario_file.h"
#include "util/error.h"
#include "util/format.h"
#include "util/sha256.h"

namespace marovi::cli {
namespace {

struct TRunOptions {
    std::string In;
    int32_t Seed = 0;
    std::string Grid;
    int Fill = 0;
    bool CommonRhythm = false;
    int Steps = 0;
    std::string Out;
    bool Status = false;
    int Every = 1;
    int Replicates = 1;
    int Jobs = 1;
    int Threads = 1;
    bool ToHorizon = false;
    // The parts of a new start: a scenario and the files and generator that replace its parts.
    std::string Scenario, Pool, Disturbances, Flow, States, Landscape;
    int HighCapacity = 0, LowCapacity = 0;
    double HighProb = 0;
    CLI::Option *HighCapacityOption = nullptr, *LowCapacityOption = nullptr, *HighProbOption = nullptr;
    CLI::Option* SeedOption = nullptr;
    CLI::Option* GridOption = nullptr;
    CLI::Option* FillOption = nullptr;
    CLI::Option* ReplicatesOption = nullptr;
    CLI::Option* JobsOption = nullptr;
    CLI::Option* ThreadsOption = nullptr;
    bool IsNew = false;
    bool Quiet = false;
};

bool Given(const CLI::Option* o) { return o && o->count() > 0; }

void CheckOptions(const TRunOptions& o)
{
    if (o.Steps < 0) throw Error("--steps must not be negative");
    if (o.Every < 1) throw Error("--every must be at least 1");
    if (o.Replicates < 1) throw Error("--replicates must be at least 1");
    if (Given(o.JobsOption) && o.Jobs < 1) throw Error("--jobs must be at least 1");
    CheckThreads(o.ThreadsOption, o.Threads);
    if (Given(o.ReplicatesOption) && !Given(o.SeedOption))
        throw Error("--replicates needs --seed: replicate i runs with seed S+i-1");
    if (Given(o.ReplicatesOption) && static_cast<long long>(o.Seed) + o.Replicates - 1 > INT32_MAX)
        throw Error("--seed + --replicates - 1 exceeds the largest seed 2147483647");
    if (Given(o.GridOption) && !o.In.empty()) throw Error("--grid applies only to a new start without IN.mgf");
    if (Given(o.FillOption) && o.Fill < -1) throw Error("--fill must be -1 (no fill) or more");
    if (o.Status && CompanionFileName(o.Out) == o.Out)
        throw Error("--out " + o.Out + ": its companion file would have the same name");
}

// What a landscape is made of, for the provenance.
std::string LandscapeText(const TLandscapeSpec& l, bool loaded)
{
    switch (l.Kind) {
    case TLandscapeKind::Keep: return loaded ? "as in the base file" : "random, from the seed";
    case TLandscapeKind::Random: return "random, from the seed";
    case TLandscapeKind::Fractal: return "fractal, from the seed";
    case TLandscapeKind::FractalDiscrete: return "fractal with discrete levels, from the seed";
    case TLandscapeKind::Image: return "from an image";
    case TLandscapeKind::Cells: return "given cell by cell";
    }
    return "";
}

// Runs side by side and threads in each, from the options and the processors.
TProcessorShare Share(const TRunOptions& o, int runs)
{
    return ShareProcessors(runs, Given(o.JobsOption) ? o.Jobs : 0, Given(o.ThreadsOption) ? o.Threads : 0,
                           UsableProcessors());
}

// One complete run on `threads` threads: the model prepared, the steps, the files saved with
// their provenance. Replicates share the loaded model and copy it; a single run takes over
// `own` instead, so that a large grid is not held twice.
void RunOne(const TRunOptions& o, const TScenario& s, const Model* loaded, std::optional<int32_t> seed, int gridW,
            int gridH, const std::string& out, int threads, const std::function<void(int)>& progress,
            std::ostream& notes,
            Model* own = nullptr)
{
    Model m;
    if (own) m = std::move(*own);
    else if (loaded) m = *loaded;
    int32_t used = 0;
    if (o.IsNew) {
        used = StartScenario(m, loaded != nullptr, s, seed, ClockSeed(), gridW, gridH, [&o](Model& start) {
            if (Given(o.FillOption)) start.StartFill = o.Fill;
            if (o.CommonRhythm) start.OldReproInterval = false;
        });
    } else {
        // The generator's state is not stored in a grid file: it always gets a seed.
        used = seed ? *seed : ClockSeed();
        m.Random.SeedRandom(used);
        if (o.CommonRhythm) m.OldReproInterval = false;
    }
    m.StepThreads.SetCount(threads);
    TProvenance provenance;
    if (!o.In.empty()) provenance.Text("input", o.In);
    if (!o.Scenario.empty()) provenance.Text("scenario", o.Scenario);
    provenance.Number("seed", used);
    provenance.Number("steps", o.Steps);
    if (o.IsNew) provenance.Text("landscape", LandscapeText(s.Landscape, loaded != nullptr));
    provenance.Inputs(s.Inputs);
    provenance.Parameters(m);

    std::unique_ptr<TTempDir> tempDir;
    std::unique_ptr<TStatusList> list;
    if (o.Status) {
        tempDir = std::make_unique<TTempDir>();
        list = std::make_unique<TStatusList>(LocalDateTimeText, tempDir->Path());
        if (o.IsNew) list->StartNew(m);
    }
    const TBatchResult result = RunBatch(m, o.Steps, o.Every, list.get(), progress, o.ToHorizon);
    if (result.StepsDone < o.Steps) {
        notes << "marovi-cli: " << out << ": the run stopped at time step " << m.TimeStep
              << (result.End.DiversityZero && !o.ToHorizon ? ": the diversity fell to 0\n"
                                                           : ": the termination criterion holds\n");
    }
    m.FileName = out;
    SaveRunOutputs(m, out, list.get());
    provenance.WriteFor(out);
}

void RunReplicates(const TRunOptions& o, const TScenario& s, const Model* loaded, int gridW, int gridH)
{
    const TProcessorShare share = Share(o, o.Replicates);
    for (int r = 1; r <= o.Replicates; ++r) CheckWritable(ReplicateName(o.Out, r));
    std::atomic<int> next{0}, done{0};
    std::mutex lock;
    std::string firstError;
    TProgressLine progress(o.Quiet);
    auto worker = [&] {
        for (int r = next++; r < o.Replicates; r = next++) {
            {
                std::lock_guard<std::mutex> g(lock);
                if (!firstError.empty()) return;
            }
            try {
                std::ostringstream notes;
                RunOne(o, s, loaded, o.Seed + r, gridW, gridH, ReplicateName(o.Out, r + 1), share.Threads, {}, notes);
                std::lock_guard<std::mutex> g(lock);
                progress.Finish();
                std::cerr << notes.str();
                progress.ShowCount("replicates done:", ++done, o.Replicates, "runs", true, true);
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> g(lock);
                if (firstError.empty()) firstError = ReplicateName(o.Out, r + 1) + ": " + e.what();
                return;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int j = 0; j < share.Jobs; ++j) threads.emplace_back(worker);
    for (auto& t : threads) t.join();
    progress.Finish();
    if (!firstError.empty()) throw Error(firstError);
}

// The scenario of a new start: --scenario, IN as its base, then the parts the options give.
TScenario NewScenario(const TRunOptions& o)
{
    TScenario s;
    if (!o.Scenario.empty()) s = LoadScenario(o.Scenario);
    if (!o.In.empty()) {
        if (!s.BaseFile.empty()) throw Error("--scenario " + o.Scenario + " starts from its own file; give no IN");
        s.BaseFile = o.In;
    }
    if (Given(o.GridOption)) {
        if (!s.BaseFile.empty()) throw Error("--grid applies only to a new start without IN.mgf");
        if (s.Landscape.GridW > 0) throw Error("--grid: the scenario gives its own grid");
    }
    if (!o.Pool.empty()) SetPoolFile(s, o.Pool);
    if (!o.Disturbances.empty()) SetDisturbanceFile(s, o.Disturbances);
    if (!o.States.empty()) SetStatesFile(s, o.States);
    TLandscapeSpec& l = s.Landscape;
    if (!o.Landscape.empty() && !ParseLandscapeGenerator(o.Landscape, l.Kind)) SetLandscapeImage(s, o.Landscape);
    const std::pair<const CLI::Option*, std::pair<const char*, double>> parameters[] = {
        {o.HighCapacityOption, {"HighCapacity", o.HighCapacity}},
        {o.LowCapacityOption, {"LowCapacity", o.LowCapacity}},
        {o.HighProbOption, {"HighCapacityProb", o.HighProb}}};
    for (const auto& [option, parameter] : parameters) {
        if (!Given(option)) continue;
        // Generator parameters make a new landscape: random unless --landscape names another.
        if (l.Kind == TLandscapeKind::Cells)
            throw Error(option->get_name() + " makes a landscape, but the scenario gives it cell by cell: add "
                                              "--landscape random (or fractal)");
        const std::string why = ParameterValueError(*FindLandscapeParameter(parameter.first), parameter.second);
        if (!why.empty()) throw Error(option->get_name() + ": " + why);
        SetLandscapeParameter(l, parameter.first, parameter.second);
    }
    return s;
}

void ExecuteRun(const TRunOptions& o)
{
    CheckOptions(o);
    int gridW = 100, gridH = 100;
    if (Given(o.GridOption)) ParseGridSize(o.Grid, gridW, gridH, "--grid");
    TScenario s;
    if (o.IsNew) s = NewScenario(o);
    std::optional<Model> loaded;
    const std::string base = o.IsNew ? s.BaseFile : o.In;
    if (!base.empty()) loaded = LoadSimulationFile(base);
    if (!o.In.empty()) s.Inputs.insert(s.Inputs.begin(), {o.In, FileSha256Hex(o.In)});
    // A text flow grid's fields are divided by the separator the run will have.
    if (!o.Flow.empty()) SetFlowFile(s, o.Flow, s.Separator ? *s.Separator : loaded ? loaded->Separator : ';');
    if (Given(o.ReplicatesOption)) {
        RunReplicates(o, s, loaded ? &*loaded : nullptr, gridW, gridH);
        return;
    }
    CheckWritable(o.Out);
    std::optional<int32_t> seed;
    if (Given(o.SeedOption)) seed = o.Seed;
    TProgressLine progress(o.Quiet);
    RunOne(o, s, loaded ? &*loaded : nullptr, seed, gridW, gridH, o.Out, Share(o, 1).Threads,
           [&](int steps) { progress.ShowCount("time step", steps, o.Steps, "steps", false); }, std::cerr,
           loaded ? &*loaded : nullptr);
}

void AddRunOptions(CLI::App* cmd, const std::shared_ptr<TRunOptions>& o)
{
    cmd->add_option("--steps", o->Steps, "number of time steps. A run ends earlier, as the desktop's does, at the end "
                                         "of the round (--every) in which the diversity fell to 0 (one species left, "
                                         "or none; not with --to-horizon) or the termination criterion holds "
                                         "(MaxRuntime, TermDisturbances, TermSteps)")
        ->required();
    cmd->add_flag("--to-horizon", o->ToHorizon, "go on to --steps when the diversity falls to 0");
    cmd->add_option("--out", o->Out, "the grid file to write (.mgf)")->required();
    cmd->add_flag("--status", o->Status,
                  "also write OUT's companion file (OUT with the extension .TXT): the status list of the run");
    cmd->add_option("--every", o->Every, "one status entry every K time steps (default 1)");
    cmd->add_flag("--common-rhythm", o->CommonRhythm,
                  "reproduce in the common rhythm with asynchrony (old reproduction interval off)");
    cmd->add_flag("--quiet", o->Quiet, "no progress line (there is none either when stderr is not a terminal)");
    o->ThreadsOption = cmd->add_option("--threads", o->Threads, ThreadsHelp);
}

void AddNew(CLI::App& app)
{
    auto o = std::make_shared<TRunOptions>();
    o->IsNew = true;
    CLI::App* cmd = app.add_subcommand("new", "start a new simulation (as \"new\" does), run it and save it");
    cmd->add_option("IN", o->In, "a grid file whose landscape, species and settings are used; without it the "
                                 "start-up state: 10 default species on a random landscape, no disturbances");
    o->SeedOption = cmd->add_option("--seed", o->Seed, "random seed S: the new start and a landscape it makes (the start-up one, or --landscape); "
                                                       "without it the random seed stored in IN, or the clock "
                                                       "when that is 0 or there is no IN");
    o->GridOption = cmd->add_option("--grid", o->Grid, "grid size WxH of the start-up state (default 100x100)");
    o->FillOption = cmd->add_option("--fill", o->Fill, "fill columns 0..COLUMNS at the start (-1: none)");
    cmd->add_option("--scenario", o->Scenario, "a scenario (.toml): parameters, species, disturbances, landscape, flow "
                                               "and states as text (marovi-cli scenario writes one from a grid file); "
                                               "the options below replace its parts");
    cmd->add_option("--pool", o->Pool, "the species from a species pool file (.msd)");
    cmd->add_option("--disturbances", o->Disturbances, "the disturbance definitions from a definition file (.mdf)");
    cmd->add_option("--flow", o->Flow, "the flow grid from a flow grid file (.mfg) or its text definition (fields "
                                       "divided by the data separator)");
    cmd->add_option("--states", o->States, "the succession state definitions from a state definition file (.mtd)");
    cmd->add_option("--landscape", o->Landscape, "a new landscape: random (two-level, as at start-up), fractal, "
                                                 "fractal-discrete (from the seed), or IMAGE.bmp (grey values; "
                                                 "./random for an image file called random)");
    o->HighCapacityOption = cmd->add_option("--high-capacity", o->HighCapacity,
                                            "capacity of a high cell (default 10) of a new landscape (random unless "
                                            "--landscape names another)");
    o->LowCapacityOption = cmd->add_option("--low-capacity", o->LowCapacity, "capacity of a low cell (default 5)");
    o->HighProbOption = cmd->add_option("--high-prob", o->HighProb, "probability of a high cell (default 0.5); the "
                                                                    "level of the discrete fractal landscape");
    AddRunOptions(cmd, o);
    o->ReplicatesOption = cmd->add_option("--replicates", o->Replicates,
                                          "R replicates with seeds S..S+R-1, written to OUT's stem + _001.mgf, _002.mgf, ...");
    o->JobsOption = cmd->add_option("--jobs", o->Jobs, "replicates run side by side (default: the processors this process may use)");
    cmd->callback([o] { ExecuteRun(*o); });
}

void AddRun(CLI::App& app)
{
    auto o = std::make_shared<TRunOptions>();
    CLI::App* cmd = app.add_subcommand("run", "continue a saved simulation for some time steps and save it");
    cmd->add_option("IN", o->In, "the grid file to continue")->required();
    o->SeedOption = cmd->add_option("--seed", o->Seed, "seed of the random generator (without it the clock)");
    AddRunOptions(cmd, o);
    cmd->callback([o] { ExecuteRun(*o); });
}

struct TExportOptions {
    std::string What, In, Out, Separator;
    CLI::Option* SeparatorOption = nullptr;
};

char SeparatorChar(const std::string& text)
{
    if (text == "tab") return '\t';
    if (text.size() != 1 || text[0] == '\r' || text[0] == '\n')
        throw Error("--separator " + text + ": one character expected (or \"tab\")");
    return text[0];
}

void ExecuteExport(const TExportOptions& o)
{
    CheckWritable(o.Out);
    const bool newSeparator = Given(o.SeparatorOption);
    const char separator = newSeparator ? SeparatorChar(o.Separator) : ';';
    Model m = LoadSimulationFile(o.In);
    if (o.What == "status") {
        TTempDir tempDir;
        TStatusList list(LocalDateTimeText, tempDir.Path());
        const std::string companion = CompanionFileName(o.In);
        if (std::filesystem::exists(companion)) {
            // Its lines are copied as they were written, with the file's separator.
            const TPopulationData data = LoadPopulationData(m, companion, m.FirstSpeciesColumn, list);
            if (!data.Error.empty()) std::cerr << "marovi-cli: warning: reading stopped at " << data.Error << "\n";
        } else {
            if (newSeparator) m.Separator = separator;
            list.StartLoaded(m);
        }
        list.SaveStatusData(o.Out);
        TProvenance().WriteFor(o.Out);
        return;
    }
    if (newSeparator) m.Separator = separator;
    if (o.What == "individuals") SaveIndividualList(m, o.Out);
    else SaveSpeciesList(m, o.Out);
    TProvenance().WriteFor(o.Out);
}

void AddExport(CLI::App& app)
{
    auto o = std::make_shared<TExportOptions>();
    CLI::App* cmd = app.add_subcommand("export", "write a text export of a saved simulation");
    cmd->add_option("WHAT", o->What, "individuals: every individual; species: adults and larvae of every species "
                                     "in every cell (a grid file does not store the larvae of the "
                                     "previous step: they are 0 after loading); status: the status list of the run (the companion file)")
        ->required()
        ->check(CLI::IsMember({"individuals", "species", "status"}));
    cmd->add_option("IN", o->In, "the grid file")->required();
    cmd->add_option("OUT", o->Out, "the text file to write")->required();
    o->SeparatorOption = cmd->add_option("--separator", o->Separator,
                                         "field separator C (one character or \"tab\"; default: the file's); "
                                         "status copies the lines of the companion file as they are");
    cmd->callback([o] { ExecuteExport(*o); });
}

struct TScenarioOptions {
    std::string In, Out;
};

void ExecuteScenario(const TScenarioOptions& o)
{
    if (std::filesystem::path(o.Out).extension() != ".toml") throw Error("--out " + o.Out + ": a scenario is a .toml file");
    CheckWritable(o.Out);
    const Model m = LoadSimulationFile(o.In);
    const std::vector<std::string> written = WriteScenario(m, o.Out, o.In);
    try {
        LoadScenario(o.Out); // what is written must read back
    } catch (const Error& e) {
        std::error_code ec;
        for (const std::string& f : written) std::filesystem::remove(f, ec);
        throw Error(o.In + " holds what a scenario can not: " + e.what());
    }
    TProvenance provenance;
    provenance.Text("input", o.In);
    provenance.Inputs({{o.In, FileSha256Hex(o.In)}});
    provenance.WriteFor(o.Out);
}

void AddScenario(CLI::App& app)
{
    auto o = std::make_shared<TScenarioOptions>();
    CLI::App* cmd = app.add_subcommand("scenario", "write the scenario of a saved simulation as text: new --scenario "
                                                   "OUT --seed S then starts as new IN --seed S");
    cmd->add_option("IN", o->In, "the grid file")->required();
    cmd->add_option("--out", o->Out, "the scenario to write (.toml); the landscape (capacity and substrate of "
                                     "every cell) and a flow grid of more than one cell go beside it, into "
                                     "OUT's stem + .capacity.txt, .substrate.txt and .flow.mfg")
        ->required();
    cmd->callback([o] { ExecuteScenario(*o); });
}

void AddInfo(CLI::App& app)
{
    auto in = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("info", "print a summary of a saved simulation");
    cmd->add_option("IN", *in, "the grid file")->required();
    cmd->callback([in] { std::cout << SimulationSummary(LoadSimulationFile(*in)); });
}

} // namespace

void AddFileCommands(CLI::App& app)
{
    AddNew(app);
    AddRun(app);
    AddExport(app);
    AddInfo(app);
    AddScenario(app);
}

} // namespace marovi::cli
