#include "simulation.h"

#include <filesystem>
#include <fstream>

#include "model/scenario.h"
#include "model/simulation.h"
#include "model/step_threads.h"
#include "model/status_line.h"
#include "util/format.h"

namespace marovi::python {

TSimulation::TSimulation() : list_(LocalDateTimeText, tempDir_.Path()), threads_(UsableProcessors()) {}

void TSimulation::SetThreads(int threads)
{
    if (threads < 1 || threads > MaxStepThreads) throw Error(Format("threads must be 1..%d (not %d)", {MaxStepThreads, threads}));
    threads_ = threads;
}

TSimulation::TSimulation(std::optional<int32_t> seed, int width, int height) : TSimulation()
{
    cli::ParseGridSize(Format("%dx%d", {width, height}), width, height, "grid");
    seed_ = StartScenario(m_, false, TScenario{}, seed, ClockSeed(), width, height, {});
    list_.StartNew(m_);
    StartCensus();
}

void TSimulation::Load(const std::string& path, std::optional<int32_t> seed)
{
    Model fresh;
    try {
        fresh = cli::LoadSimulationFile(path);
    } catch (const Error& e) {
        std::error_code ec;
        if (!std::ifstream(path) || std::filesystem::is_directory(path, ec)) throw TFileError(e.what());
        throw;
    }
    seed_ = seed ? *seed : ClockSeed();
    fresh.Random.SeedRandom(seed_);
    m_ = std::move(fresh);
    list_.Reset();
    list_.StartLoaded(m_);
    const std::string companion = CompanionFileName(path);
    std::error_code ec;
    if (m_.TimeStep > 1 && std::filesystem::exists(companion, ec)) {
        // The history is a bonus, as in the desktop program: what can be read of it is kept.
        try {
            LoadPopulationData(m_, companion, m_.FirstSpeciesColumn, list_);
        } catch (const std::exception&) {
        }
    }
    StartCensus();
}

void TSimulation::Save(const std::string& path)
{
    try {
        cli::CheckWritable(path);
        cli::SaveRunOutputs(m_, path, &list_);
    } catch (const Error& e) {
        throw TFileError(e.what());
    }
    m_.FileName = path;
}

void TSimulation::Restart(std::optional<int32_t> seed)
{
    seed_ = StartScenario(m_, true, TScenario{}, seed, ClockSeed(), m_.XDim, m_.YDim, {});
    m_.FileName = "-not saved-";
    list_.Reset();
    list_.StartNew(m_);
    StartCensus();
}

int TSimulation::Step(int n, const std::atomic<bool>& stop)
{
    struct TStopped {};
    int done = 0;
    m_.StepThreads.SetCount(threads_); // a loaded or new model comes with one
    try {
        RunBatch(m_, n, 1, &list_, [&](int steps) {
            if (steps > done) AddCensusRow();
            done = steps;
            if (stop) throw TStopped{};
        });
    } catch (const TStopped&) {
    }
    return done;
}

void TSimulation::StartCensus()
{
    census_ = TCensus{};
    census_.Species = m_.SpeciesMax + 1;
    AddCensusRow();
}

void TSimulation::AddCensusRow()
{
    TCensus& c = census_;
    c.Steps.push_back(m_.TimeStep);
    c.Abundance.insert(c.Abundance.end(), m_.StepAbundance.begin(), m_.StepAbundance.begin() + c.Species);
    c.Diversity.push_back(m_.DiversityFunc(m_, m_.StepAbundance));
    c.GuildDiversity.push_back(m_.DiversityFunc(m_, GuildVector(m_)));
    c.DisturbanceEvents.push_back(m_.DisturbanceEventCount);
    c.DisturbedCells.push_back(m_.DisturbedCellCount);
}

} // namespace marovi::python
