#pragma once
// How a time step shares its work between threads and stays the serial step bit for bit.
//
// The random stream is one sequence, and which value goes to which decision is fixed by the
// serial order of the step. The cell update (phase 1) runs in three stages:
// - any thread prepares a column a little ahead of the sweep: ages its individuals and, in the
//   individual rhythm, counts those that reproduce (no draws, so the order does not matter);
// - the thread that sweeps the grid in column order, the planner, makes the decisions whose
//   draws are cheap or change what comes later (the common rhythm's reproduction, fluctuating
//   fecundity, drift) and passes over the draws of the costly work, clutch dispersal and
//   deaths, only noting where each begins in the stream;
// - that work goes out in chunks, each with a copy of the generator where it begins; any
//   thread runs a chunk by drawing the same values again from its copy. Larvae land in the
//   grid's counts by atomic additions, which give the same sums in any order.
// On one thread the planner does each piece at once, on the model's generator. In settlement
// (phase 2) the lotteries stay with the sweeping thread, and the census of settled columns
// goes to the others, each counting into its own totals, added up at the end.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "model/random.h"
#include "model/step_threads.h"
#include "model/types.h"

namespace marovi {
struct Model;
struct TFlowCell;
class TDrawPlan;

// The cell update's pieces with the threads in mind. Without a plan (one thread) they draw on
// the model's generator and do everything at once; with one, dispersal and deaths are deferred.
// The cell is aged; `reproducing` holds its reproducing individuals per species when they were
// counted in advance (individual rhythm), else it is null and they are counted here.
void UpdateAgedCell(Model& m, int x, int y, TDrawPlan* plan, const int32_t* reproducing, int32_t individuals);
void ReleaseLarvae(Model& m, int x, int y, TDrawPlan* plan, const int32_t* reproducing);
// shared: other threads count larvae into the grid at the same time.
void ExternalDrift(Model& m, int x, int y, bool shared);
void MortalityCell(Model& m, TRandom& random, int x, int y);
// The patch centre and every larva of one clutch, drawn on `random`.
template <bool Shared>
void DisperseClutch(Model& m, TRandom& random, const TFlowCell& flow, int x, int y, int s, int32_t larvae);

// Lets threads wait until another changes the atomics their condition reads: a short spin,
// then sleep. Whoever changes such an atomic (sequentially consistent) calls Notify after.
class TSignal {
public:
    template <class Ready>
    void Wait(Ready ready)
    {
        for (int i = 0; i < 256; ++i) {
            if (ready()) return;
            Pause();
        }
        std::unique_lock<std::mutex> g(lock_);
        sleepers_.fetch_add(1);
        wake_.wait(g, ready);
        sleepers_.fetch_sub(1);
    }
    void Notify()
    {
        if (sleepers_.load() == 0) return;
        std::lock_guard<std::mutex> g(lock_);
        wake_.notify_all();
    }

private:
    static void Pause()
    {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    std::mutex lock_;
    std::condition_variable wake_;
    std::atomic<int> sleepers_{0};
};

// Work of the cell update whose draws the planner passed over.
struct TDeferredDraws {
    static constexpr int32_t Deaths = -1; // Species of the mortality of the cell
    uint32_t Cell = 0;                     // x * YDim + y
    int32_t Species = Deaths;              // the clutch's species, or Deaths
    uint64_t Drawn = 0;                    // the stream's place where its draws begin
    int32_t Larvae = 0;                    // of a clutch
};

// A run of deferred work in stream order, and the generator where it begins.
struct TDrawChunk {
    TRandom Start;
    // Start's cached deviate is still to be made from this pair (the planner does not make
    // the deviates it passes over).
    bool PendingGauss = false;
    double PendingA = 0.0, PendingRsq = 0.0;
    std::unique_ptr<TDeferredDraws[]> Work;
    size_t Count = 0;
    // 1 + the number of the last chunk run from this slot.
    std::atomic<uint64_t> Finished{0};
};

// The storage and the hand-over state of a step's phases for a given thread count.
struct TStepWork {
    explicit TStepWork(int threads);
    // Bytes held.
    size_t Bytes() const;

    static constexpr size_t ChunkCapacity = 512; // deferred pieces of work per chunk
    static constexpr int64_t ChunkDraws = 8192;   // a chunk closes once its work draws about this many
    const int Threads;
    TSignal Signal;

    // Processor seconds of the last step's serial part: what the sweeping thread did that no
    // other thread could have taken over (the plan, the lotteries). Helped counts, during a
    // phase, what it took over from the others.
    double SerialSeconds = 0.0;
    double Helped = 0.0;
    // The clock of those figures: on one thread there is nothing to share, and the step does
    // not ask the system for the time.
    double SerialClock() const { return Threads > 1 ? ThreadSeconds() : 0.0; }

    // --- phase 1 ---
    // Sizes the column storage for the model (allocating only when it grew) and starts over.
    void StartCellUpdate(const Model& m);
    // Column x prepared for the sweep, prepared here if no other thread has taken it: per cell
    // Stride() entries, the reproducing individuals per species (when counted in advance),
    // then the number of individuals.
    const int32_t* ReadyColumn(Model& m, int x);
    size_t Stride() const { return stride_; }
    bool CountsReproducing() const { return countsReproducing_; }
    // The sweep is done with column x: its storage may take another.
    void ColumnSwept(int x);
    // Every thread once it has nothing else (the planner after Finish): prepares columns and
    // runs chunks until the plan is done and every chunk is taken.
    void HelpCellUpdate(Model& m);
    // Runs the oldest chunk nobody has taken, if one is planned.
    bool RunOneChunk(Model& m);

    std::atomic<uint64_t> Planned{0}; // chunks handed out
    std::atomic<uint64_t> Claimed{0}; // chunks taken by a thread
    std::atomic<bool> PlanDone{false};
    const size_t SlotCount;
    std::unique_ptr<TDrawChunk[]> Slots;
    TDrawChunk& Slot(uint64_t chunk) { return Slots[chunk % SlotCount]; }

    // --- phase 2 ---
    // The sweeping thread settles column after column; every thread takes the census of
    // settled columns until all are counted.
    void StartSettlement();
    void CountSettledColumns(Model& m, int thread, bool wait);
    std::atomic<int> Settled{0};              // columns settled
    std::atomic<int> NextCensus{0};           // next column whose census is taken
    std::unique_ptr<TSpeciesCounts[]> Census; // per thread

private:
    bool PrepareOne(Model& m);
    bool Preparable() const;
    int32_t* ColumnData(int x) { return columns_.get() + static_cast<size_t>(x) % ColumnSlots * columnSize_; }

    const size_t ColumnSlots;
    std::unique_ptr<std::atomic<int>[]> columnReady_; // per slot: 1 + the column prepared in it
    std::unique_ptr<int32_t[]> columns_;
    size_t columnsHeld_ = 0, columnSize_ = 0, stride_ = 0;
    int columnCount_ = 0;
    bool countsReproducing_ = false;
    std::atomic<int> nextColumn_{0};   // the next column nobody has taken to prepare
    std::atomic<int> sweptColumns_{0}; // columns the sweep is done with
};

// The planner of the cell update: records deferred work in chunks and passes over its draws on
// the model's generator.
class TDrawPlan {
public:
    TDrawPlan(Model& m, TStepWork& work);
    // The dispersal of a clutch of `larvae` larvae of species s from cell (x, y).
    void Clutch(int x, int y, int s, int32_t larvae);
    // The mortality of the n individuals in cell (x, y).
    void Deaths(int x, int y, int32_t n);
    // Hands out the last chunk and leaves the generator as the serial step would.
    void Finish();

private:
    void Add(uint32_t cell, int32_t species, int32_t larvae);
    void CloseWhenFull();
    void Close();

    Model& m_;
    TStepWork& work_;
    TDrawChunk* open_ = nullptr;
    uint64_t number_ = 0;   // of the open chunk, or the next one
    int64_t draws_ = 0;     // in the open chunk, about
    bool pairPassed_ = false; // the generator's cached deviate belongs to the pair below
    double pairA_ = 0.0, pairRsq_ = 0.0;
};

} // namespace marovi
