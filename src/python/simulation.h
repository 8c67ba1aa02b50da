// One simulation of the Python module: the model with the status list that its companion
// file is written from, and the census of its run.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "files/status_list.h"
#include "model/model.h"
#include "runner.h"
#include "util/error.h"

namespace marovi::python {

// A file that can not be read or written: OSError in Python (other errors are ValueError).
struct TFileError : Error {
    using Error::Error;
};

// The census after every step since the run of this object started, and of the state it
// started from: one row per entry of Steps.
struct TCensus {
    int Species = 0; // abundance entries per row
    std::vector<int32_t> Steps, Abundance, DisturbanceEvents, DisturbedCells;
    std::vector<double> Diversity, GuildDiversity;
};

class TSimulation {
public:
    // Nothing loaded yet: Load follows.
    TSimulation();
    // The start-up state of `marovi-cli new --seed SEED --grid WIDTHxHEIGHT` (the clock's
    // seed without one).
    TSimulation(std::optional<int32_t> seed, int width, int height);

    // The grid file replaces the simulation (a failed load leaves it as it was); the status
    // list takes the companion file's history as the desktop program does, and the
    // generator starts from the seed (a grid file holds none).
    void Load(const std::string& path, std::optional<int32_t> seed);
    // The grid file and its companion file, as marovi-cli writes them.
    void Save(const std::string& path);
    // "new": the landscape, species and parameters kept, the cells filled again, time step 0.
    void Restart(std::optional<int32_t> seed);
    // Up to n steps as marovi-cli runs them with a status entry per step: fewer when the
    // diversity falls to 0, when the termination criterion holds or once `stop` is set.
    // Returns the steps done.
    int Step(int n, const std::atomic<bool>& stop);
    // The threads a step runs on (every count gives the same results); the processors this
    // process may use unless set.
    int Threads() const { return threads_; }
    void SetThreads(int threads);

    Model& M() { return m_; }
    int32_t Seed() const { return seed_; }
    const TCensus& Census() const { return census_; }
    // Held by whoever uses the model: a step runs without Python's lock.
    std::mutex& Busy() { return busy_; }

private:
    void StartCensus();
    void AddCensusRow();

    Model m_;
    cli::TTempDir tempDir_;
    TStatusList list_;
    int32_t seed_ = 0;
    int threads_;
    TCensus census_;
    std::mutex busy_;
};

} // namespace marovi::python
