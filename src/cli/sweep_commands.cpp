// Parameter sweeps to one tidy table: sweep, merge.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "analysis/indices.h"
#include "analysis_common.h"
#include "commands.h"
#include "files/grid_file.h"
#include "files/status_list.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "model/scenario.h"
#include "model/simulation.h"
#include "model/step_threads.h"
#include "provenance.h"
#include "runner.h"
#include "sweep_plan.h"
#include "sweep_run.h"
#include "sweep_table.h"
#include "util/error.h"
#include "util/format.h"
#include "util/sha256.h"

namespace fs = std::filesystem;

namespace marovi::cli {
namespace {

// Set by Ctrl-C or a scheduler's SIGTERM: no new run starts and runs in flight are left;
// a second signal ends the process at once.
std::atomic<bool> stopRequested{false};

extern "C" void RequestStop(int signal)
{
    stopRequested = true;
    std::signal(signal, SIG_DFL);
}

struct TStopped {};

struct TPart {
    int K = 1, N = 1;
};

TPart ParsePart(const std::string& text, const std::string& what)
{
    TPart p;
    const size_t slash = text.find('/');
    if (slash == std::string::npos || !ParseInt(text.substr(0, slash), p.K) || !ParseInt(text.substr(slash + 1), p.N) ||
        p.N < 1 || p.K < 1 || p.K > p.N)
        throw Error(what + " " + text + ": expected K/N with 1 <= K <= N, e.g. 2/8");
    return p;
}

// --part, or the share of a Slurm array task: task ids counted from SLURM_ARRAY_TASK_MIN.
TPart PartOf(const std::string& option)
{
    if (!option.empty()) return ParsePart(option, "--part");
    const char* id = std::getenv("SLURM_ARRAY_TASK_ID");
    const char* count = std::getenv("SLURM_ARRAY_TASK_COUNT");
    if (!id || !count) return {};
    const char* min = std::getenv("SLURM_ARRAY_TASK_MIN");
    int task = 0, first = 0, n = 0;
    if (!ParseInt(id, task) || !ParseInt(count, n) || (min && !ParseInt(min, first)))
        throw Error("SLURM_ARRAY_TASK_ID, _MIN and _COUNT must be numbers");
    return ParsePart(Format("%d/%d", {task - first + 1, n}), "the Slurm array task");
}

struct TSweepOptions {
    std::string Plan, Out, Part;
    int Jobs = 0;
    int Threads = 0;
    CLI::Option* JobsOption = nullptr;
    CLI::Option* ThreadsOption = nullptr;
    bool Quiet = false;
};

// Everything the runs of one sweep share.
struct TSweepContext {
    const TSweepPlan& Plan;
    std::vector<const Model*> Bases; // per start: its loaded base file, or nullptr
    const TDiversityEntry* Measure;
    int SpeciesCount;                 // the most any start has: the table's species columns
    std::string GridDir;
    std::atomic<bool>& Stop;
    const TOrigin& Origin;
    int Threads = 1; // of each run
};

// One run from its start to the block of its rows; the grid file and its companion at the
// end when kept.
std::string RunSweepRun(const TSweepContext& c, const TSweepRun& run)
{
    const TSweepPlan& plan = c.Plan;
    const Model* base = c.Bases[static_cast<size_t>(run.Start)];
    const TScenario scenario = RunScenario(plan, run);
    Model m;
    if (base) m = *base;
    StartScenario(m, base != nullptr, scenario, run.Seed, run.Seed, plan.GridW, plan.GridH, [&](Model& start) {
        ApplyRunValues(plan, run, start);
        start.DiversityFunc = c.Measure->Func;
        start.DiversityName = c.Measure->Name;
        start.HillOrder = plan.HillOrder;
    });
    m.StepThreads.SetCount(c.Threads);
    // A kept grid gets its provenance and its status list: the parameters as the run starts.
    std::optional<TProvenance> provenance;
    std::unique_ptr<TTempDir> tempDir;
    std::unique_ptr<TStatusList> list;
    if (!c.GridDir.empty()) {
        provenance.emplace(c.Origin);
        provenance->Number("run", run.Id);
        provenance->Number("seed", run.Seed);
        provenance->Inputs(scenario.Inputs);
        provenance->Parameters(m);
        tempDir = std::make_unique<TTempDir>();
        list = std::make_unique<TStatusList>(LocalDateTimeText, tempDir->Path());
        list->StartNew(m);
    }
    std::vector<std::string> rows{TableRow(plan, run, m, c.SpeciesCount)};
    const TBatchResult result = RunBatch(
        m, plan.Steps, plan.Every, list.get(),
        [&](int) {
            rows.push_back(TableRow(plan, run, m, c.SpeciesCount));
            if (c.Stop) throw TStopped{};
        },
        plan.ToHorizon);
    if (!c.GridDir.empty()) {
        const std::string out = (fs::path(c.GridDir) / Format("run_%5.5d.mgf", {run.Id})).string();
        m.FileName = out;
        SaveRunOutputs(m, out, list.get());
        provenance->WriteFor(out);
    }
    return RunRows(rows, m.TimeStep, BatchEndReason(result, plan.Steps, plan.ToHorizon));
}

} // namespace

void RunSweep(const TSweepPlan& plan, const TSweepSettings& o, std::atomic<bool>& stop)
{
    const TPart part{o.PartK, o.PartN};
    // Each base file is loaded once; the runs copy it.
    std::map<std::string, Model> bases;
    int species = 0;
    TSweepContext context{plan, {}, FindDiversityMeasure(plan.Diversity), 0, "", stop, o.Origin};
    for (const TSweepStart& start : plan.Starts) {
        const std::string& file = start.Scenario.BaseFile;
        if (!file.empty() && !bases.count(file)) bases.emplace(file, LoadSimulationFile(file));
        context.Bases.push_back(file.empty() ? nullptr : &bases.at(file));
        species = std::max(species, start.SpeciesCount);
    }
    context.SpeciesCount = species;
    if (!plan.KeepGrids.empty()) {
        context.GridDir = (fs::path(o.Out).parent_path() / plan.KeepGrids).string();
        fs::create_directories(context.GridDir);
    }

    TSweepTable table(o.Out, TableHeader(plan, species));
    const long long total = RunCount(plan);
    std::vector<TSweepRun> pending;
    long long mine = 0;
    for (long long id = part.K; id <= total; id += part.N) {
        ++mine;
        const TSweepRun run = RunOfPlan(plan, id);
        const auto found = table.Done().find(run.Id);
        if (found == table.Done().end()) pending.push_back(run);
        else if (found->second.rfind(RunPrefix(plan, run), 0) != 0)
            throw Error(Format("%s: run %d has other values than the plan gives it; choose another --out",
                               {o.Out, run.Id}));
    }

    const TProcessorShare share = ShareProcessors(static_cast<int>(std::min<size_t>(pending.size(), 1 << 16)),
                                                  o.Jobs, o.Threads, UsableProcessors());
    context.Threads = share.Threads;
    std::atomic<size_t> next{0};
    const long long before = mine - static_cast<long long>(pending.size());
    std::atomic<long long> done{before};
    std::mutex lock;
    std::string firstError;
    TProgressLine progress(o.Quiet);
    progress.ShowCount("runs done:", done, mine, "runs", true, true, before);
    auto worker = [&] {
        for (size_t i = next++; i < pending.size() && !stop; i = next++) {
            try {
                table.Append(pending[i].Id, RunSweepRun(context, pending[i]));
                std::lock_guard<std::mutex> g(lock);
                progress.ShowCount("runs done:", ++done, mine, "runs", true, true, before);
            } catch (const TStopped&) {
                return;
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> g(lock);
                if (firstError.empty()) firstError = Format("run %d: ", {pending[i].Id}) + e.what();
                stop = true;
                return;
            }
        }
    };
    std::vector<std::thread> threads;
    for (int j = 0; j < share.Jobs; ++j) threads.emplace_back(worker);
    for (auto& t : threads) t.join();
    progress.Finish();
    if (!firstError.empty()) throw Error(firstError);
    if (done < mine)
        throw Error(Format("stopped: %d of %d runs are in %s; the same command runs the rest", {done.load(), mine, o.Out}));
    table.Finish();

    TProvenance provenance(o.Origin);
    provenance.Text("plan", plan.Path);
    std::vector<std::pair<std::string, std::string>> inputs{{plan.Path, Sha256Hex(plan.Text)}};
    for (const TSweepStart& start : plan.Starts)
        for (const auto& input : start.Scenario.Inputs)
            if (std::find(inputs.begin(), inputs.end(), input) == inputs.end()) inputs.push_back(input);
    provenance.Inputs(inputs);
    provenance.Text("part", Format("%d/%d", {part.K, part.N}));
    provenance.Number("runs", mine);
    provenance.Lines("plan_text", plan.Text);
    provenance.WriteFor(o.Out);
}

namespace {

// Ctrl-C or a scheduler's SIGTERM stop the sweep while it runs.
struct TStopSignals {
    TStopSignals()
    {
        stopRequested = false;
        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
    }
    ~TStopSignals()
    {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }
};

void ExecuteSweep(const TSweepOptions& o)
{
    if (o.JobsOption->count() > 0 && o.Jobs < 1) throw Error("--jobs must be at least 1");
    CheckThreads(o.ThreadsOption, o.Threads);
    const TPart part = PartOf(o.Part);
    CheckWritable(o.Out);
    const TSweepPlan plan = LoadSweepPlan(o.Plan);
    TStopSignals signals;
    RunSweep(plan,
             {o.Out, part.K, part.N, o.JobsOption->count() > 0 ? o.Jobs : 0, o.Quiet, RunnerOrigin(),
              o.ThreadsOption->count() > 0 ? o.Threads : 0},
             stopRequested);
}

void AddSweep(CLI::App& app)
{
    auto o = std::make_shared<TSweepOptions>();
    CLI::App* cmd = app.add_subcommand(
        "sweep", "run every combination of a plan's parameter values with every seed into one tidy table "
                 "(CSV: one row per run and recorded time step); the same command again after an "
                 "interruption runs only what is missing. A run ends at steps or earlier, as the desktop's "
                 "does, at the end of the round (every) in which the diversity fell to 0 (one species left, "
                 "or none; not with to_horizon = true) or the termination criterion holds; end_step and "
                 "end_reason (steps, diversity_zero, termination) say when and why");
    cmd->add_option("PLAN", o->Plan, "the plan (.toml): grid, file or scenario (one, or a list to compare), steps, "
                                     "every, seeds or replicates and first_seed, to_horizon, diversity, hill_order, "
                                     "keep_grids, [vary]")
        ->required();
    cmd->add_option("--out", o->Out, "the table to write (.csv)")->required();
    o->JobsOption = cmd->add_option("--jobs", o->Jobs, "runs side by side (default: the processors this process may use)");
    o->ThreadsOption = cmd->add_option("--threads", o->Threads, ThreadsHelp);
    cmd->add_option("--part", o->Part, "run share K of N (runs K, K+N, K+2N, ...); default from "
                                       "SLURM_ARRAY_TASK_ID and SLURM_ARRAY_TASK_COUNT when set");
    cmd->add_flag("--quiet", o->Quiet, "no progress line (there is none either when stderr is not a terminal)");
    std::string globals, fields;
    for (const TParameter& p : ParameterTable()) (p.PerSpecies ? fields : globals) += std::string(" ") + p.Name;
    std::string disturbance, landscape;
    for (const TParameter& p : DisturbanceFieldTable()) disturbance += std::string(" ") + p.Name;
    for (const TParameter& p : LandscapeParameterTable()) landscape += std::string(" ") + p.Name;
    cmd->footer("Global parameters ([vary]):" + globals + "\nSpecies fields ([vary.species.N]):" + fields +
                "\nDisturbance fields ([vary.disturbance.N]):" + disturbance +
                "\nLandscape parameters ([vary.landscape], a new landscape per run):" + landscape +
                "\nThe table counts every individual (species1.., diversity).");
    cmd->callback([o] { ExecuteSweep(*o); });
}

struct TMergeOptions {
    std::vector<std::string> Parts;
    std::string Out;
};

void ExecuteMerge(const TMergeOptions& o)
{
    CheckWritable(o.Out);
    TTableBlocks merged;
    std::map<int, std::string> from;
    for (const std::string& part : o.Parts) {
        if (fs::exists(JournalName(part)))
            throw Error(part + " is not finished (" + JournalName(part) + " exists): run its sweep again first");
        if (!fs::is_regular_file(part)) throw Error("can not read " + part);
        TTableBlocks t = ReadTable(part, static_cast<size_t>(fs::file_size(part)));
        if (merged.Header.empty()) merged.Header = t.Header;
        else if (t.Header != merged.Header) throw Error(part + " has other columns than " + o.Parts.front());
        for (auto& [run, rows] : t.Runs) {
            if (from.count(run)) throw Error(Format("run %d is in both %s and %s", {run, from[run], part}));
            from[run] = part;
            merged.Runs[run] = std::move(rows);
        }
    }
    WriteSortedTable(o.Out, merged);
    TProvenance provenance;
    provenance.Number("runs", static_cast<long long>(merged.Runs.size()));
    provenance.WriteFor(o.Out);
}

void AddMerge(CLI::App& app)
{
    auto o = std::make_shared<TMergeOptions>();
    CLI::App* cmd = app.add_subcommand("merge", "join the tables of a sweep's parts (--part) into the table "
                                                "the whole sweep writes");
    cmd->add_option("PART", o->Parts, "the parts' tables (.csv)")->required();
    cmd->add_option("--out", o->Out, "the table to write (.csv)")->required();
    cmd->callback([o] { ExecuteMerge(*o); });
}

} // namespace

void AddSweepCommands(CLI::App& app)
{
    AddSweep(app);
    AddMerge(app);
}

} // namespace marovi::cli
