#include "model/step_work.h"

#include <algorithm>

#include "landscape/flow.h"
#include "model/kernel.h"
#include "model/life_history.h"
#include "model/step.h"
#include "model/model.h"

namespace marovi {

namespace {

// The chunk's work on a copy of the generator: the values drawn are those the planner passed
// over, in the same places.
void RunChunk(Model& m, const TDrawChunk& chunk)
{
    TRandom random = chunk.Start;
    if (chunk.PendingGauss) random.GaussValue = chunk.PendingA * TRandom::PolarFactor(chunk.PendingRsq);
    const uint32_t ydim = static_cast<uint32_t>(m.YDim);
    const TFlowCell* flow = nullptr;
    uint32_t flowCell = UINT32_MAX;
    for (size_t i = 0; i < chunk.Count; ++i) {
        const TDeferredDraws& w = chunk.Work[i];
        random.SkipTo(w.Drawn);
        const int x = static_cast<int>(w.Cell / ydim), y = static_cast<int>(w.Cell % ydim);
        if (w.Species == TDeferredDraws::Deaths) {
            MortalityCell(m, random, x, y);
            continue;
        }
        if (w.Cell != flowCell) {
            flow = &FlowAt(m, x, y);
            flowCell = w.Cell;
        }
        DisperseClutch<true>(m, random, *flow, x, y, w.Species, w.Larvae);
    }
}

// The last pair of the polar method the planner passed over: the generator's cached deviate
// belongs to it.
struct TPassedPair {
    bool Passed;
    double A, Rsq;
};

// A Gauss() passed over: the cached deviate is taken, or a new pair drawn (and its deviates
// left unmade).
[[gnu::always_inline]] inline void SkipGauss(TRandom& r, TPassedPair& pair)
{
    if (r.GaussCached == 1) {
        r.GaussCached = 0;
        return;
    }
    double b;
    r.DrawPolarPair(pair.A, b, pair.Rsq);
    r.GaussCached = 1;
    pair.Passed = true;
}

[[gnu::always_inline]] inline void SkipKernel(TRandom& r, TPassedPair& pair, TKernel kernel)
{
    if (KernelDrawsGauss(kernel)) SkipGauss(r, pair);
    else r.Uniform();
}

// Ages the cells of column x and counts what the sweep needs of them into `out`.
void PrepareColumn(Model& m, int x, bool countReproducing, size_t stride, int32_t* out)
{
    const size_t species = stride - 1;
    TSpeciesCounts reproducing;
    for (int y = 0; y <= m.YMax; ++y, out += stride) {
        AgeCell(m, x, y);
        TCell& cell = m.Cell(x, y);
        if (countReproducing) {
            CountReproducingIndividualRhythm(m, cell, reproducing);
            std::copy_n(reproducing.begin(), species, out);
        }
        out[species] = static_cast<int32_t>(cell.Individuals.size());
    }
}

} // namespace

TStepWork::TStepWork(int threads)
    : Threads(threads), SlotCount(threads > 1 ? 2 * static_cast<size_t>(threads) + 2 : 0), Slots(new TDrawChunk[SlotCount]),
      Census(new TSpeciesCounts[static_cast<size_t>(threads)]), ColumnSlots(static_cast<size_t>(threads) + 2),
      columnReady_(new std::atomic<int>[ColumnSlots])
{
    for (size_t i = 0; i < SlotCount; ++i) Slots[i].Work.reset(new TDeferredDraws[ChunkCapacity]);
}

size_t TStepWork::Bytes() const
{
    return sizeof(TStepWork) + SlotCount * (sizeof(TDrawChunk) + ChunkCapacity * sizeof(TDeferredDraws)) +
           static_cast<size_t>(Threads) * sizeof(TSpeciesCounts) + ColumnSlots * sizeof(std::atomic<int>) +
           columnsHeld_ * sizeof(int32_t);
}

void TStepWork::StartCellUpdate(const Model& m)
{
    stride_ = static_cast<size_t>(m.SpeciesMax + 1) + 1;
    columnSize_ = static_cast<size_t>(m.YDim) * stride_;
    if (ColumnSlots * columnSize_ > columnsHeld_) {
        columns_.reset(new int32_t[ColumnSlots * columnSize_]);
        columnsHeld_ = ColumnSlots * columnSize_;
    }
    columnCount_ = m.XDim;
    countsReproducing_ = m.OldReproInterval && !m.OnlyGlobalDrift;
    nextColumn_ = 0;
    sweptColumns_ = 0;
    for (size_t i = 0; i < ColumnSlots; ++i) columnReady_[i] = 0;
    Planned = 0;
    Claimed = 0;
    PlanDone = false;
    for (size_t i = 0; i < SlotCount; ++i) Slots[i].Finished = 0;
}

bool TStepWork::Preparable() const
{
    const int x = nextColumn_.load();
    return x < columnCount_ && x < sweptColumns_.load() + static_cast<int>(ColumnSlots);
}

bool TStepWork::PrepareOne(Model& m)
{
    int x = nextColumn_.load();
    while (x < columnCount_ && x < sweptColumns_.load() + static_cast<int>(ColumnSlots)) {
        if (nextColumn_.compare_exchange_weak(x, x + 1)) {
            PrepareColumn(m, x, countsReproducing_, stride_, ColumnData(x));
            columnReady_[static_cast<size_t>(x) % ColumnSlots] = x + 1;
            Signal.Notify();
            return true;
        }
    }
    return false;
}

const int32_t* TStepWork::ReadyColumn(Model& m, int x)
{
    std::atomic<int>& ready = columnReady_[static_cast<size_t>(x) % ColumnSlots];
    while (ready.load() != x + 1) {
        const double start = SerialClock();
        const bool prepared = PrepareOne(m);
        Helped += SerialClock() - start;
        if (!prepared) Signal.Wait([&] { return ready.load() == x + 1; });
    }
    return ColumnData(x);
}

void TStepWork::ColumnSwept(int x)
{
    sweptColumns_ = x + 1;
    Signal.Notify();
}

void TStepWork::HelpCellUpdate(Model& m)
{
    for (;;) {
        if (PrepareOne(m) || RunOneChunk(m)) continue;
        if (PlanDone.load() && Claimed.load() >= Planned.load()) return;
        Signal.Wait([&] { return Preparable() || Claimed.load() < Planned.load() || PlanDone.load(); });
    }
}

bool TStepWork::RunOneChunk(Model& m)
{
    uint64_t k = Claimed.load();
    while (k < Planned.load()) {
        if (Claimed.compare_exchange_weak(k, k + 1)) {
            RunChunk(m, Slot(k));
            Slot(k).Finished = k + 1;
            Signal.Notify();
            return true;
        }
    }
    return false;
}

void TStepWork::StartSettlement()
{
    Settled = 0;
    NextCensus = 0;
    for (int t = 0; t < Threads; ++t) Census[static_cast<size_t>(t)].fill(0);
}

void TStepWork::CountSettledColumns(Model& m, int thread, bool wait)
{
    TSpeciesCounts& counts = Census[static_cast<size_t>(thread)];
    for (;;) {
        int x = NextCensus.load();
        if (x >= m.XDim || (!wait && x >= Settled.load())) return;
        if (!NextCensus.compare_exchange_weak(x, x + 1)) continue;
        Signal.Wait([&] { return Settled.load() > x; });
        for (int y = 0; y < m.YDim; ++y) {
            TCell& cell = m.Cell(x, y);
            for (const TIndividual& ind : cell.Individuals) counts[static_cast<size_t>(ind.Species)] += 1;
            cell.Larvae.fill(0);
            cell.LarvaeCount = 0;
        }
    }
}

TDrawPlan::TDrawPlan(Model& m, TStepWork& work) : m_(m), work_(work) {}

void TDrawPlan::Clutch(int x, int y, int s, int32_t larvae)
{
    Add(static_cast<uint32_t>(x) * static_cast<uint32_t>(m_.YDim) + static_cast<uint32_t>(y), s, larvae);
    // The draws of DisperseClutch: the centre's angle and distance, then each larva's. The
    // pass runs on locals, this being the planner's inner loop.
    TRandom& r = m_.Random;
    TPassedPair pair{pairPassed_, pairA_, pairRsq_};
    SkipGauss(r, pair);
    SkipKernel(r, pair, m_.DispersalKernel);
    if (KernelDrawsGauss(m_.PatchKernel)) {
        for (int32_t i = 0; i < larvae; ++i) {
            SkipGauss(r, pair);
            SkipGauss(r, pair);
        }
    } else {
        // Each larva: a deviate, then one uniform. Deviates come in pairs, so two larvae pass
        // over one pair of the polar method and two uniforms.
        int32_t left = larvae;
        if (left > 0 && r.GaussCached == 1) {
            r.GaussCached = 0;
            r.Skip(1);
            --left;
        }
        double b;
        for (; left >= 2; left -= 2) {
            r.DrawPolarPair(pair.A, b, pair.Rsq);
            r.Skip(2);
            pair.Passed = true;
        }
        if (left == 1) {
            SkipGauss(r, pair);
            r.Skip(1);
        }
    }
    pairPassed_ = pair.Passed;
    pairA_ = pair.A;
    pairRsq_ = pair.Rsq;
    draws_ += larvae;
    CloseWhenFull();
}

void TDrawPlan::Deaths(int x, int y, int32_t n)
{
    // One uniform per individual, in list order, whatever dies.
    if (n == 0) return;
    Add(static_cast<uint32_t>(x) * static_cast<uint32_t>(m_.YDim) + static_cast<uint32_t>(y), TDeferredDraws::Deaths, 0);
    m_.Random.SkipTo(m_.Random.Drawn() + static_cast<uint64_t>(n));
    draws_ += n;
    CloseWhenFull();
}

void TDrawPlan::Add(uint32_t cell, int32_t species, int32_t larvae)
{
    if (!open_) {
        // The slot's chunk from the last round must have run; meanwhile run others.
        TDrawChunk& c = work_.Slot(number_);
        const uint64_t before = number_ >= work_.SlotCount ? number_ - work_.SlotCount + 1 : 0;
        while (c.Finished.load() < before) {
            const double start = work_.SerialClock();
            const bool ran = work_.RunOneChunk(m_);
            work_.Helped += work_.SerialClock() - start;
            if (!ran)
                work_.Signal.Wait([&] { return c.Finished.load() >= before || work_.Claimed.load() < work_.Planned.load(); });
        }
        c.Start = m_.Random;
        c.PendingGauss = pairPassed_ && m_.Random.GaussCached == 1;
        c.PendingA = pairA_;
        c.PendingRsq = pairRsq_;
        c.Count = 0;
        draws_ = 0;
        open_ = &c;
    }
    open_->Work[open_->Count++] = TDeferredDraws{cell, species, m_.Random.Drawn(), larvae};
}

void TDrawPlan::CloseWhenFull()
{
    if (draws_ >= TStepWork::ChunkDraws || open_->Count == TStepWork::ChunkCapacity) Close();
}

void TDrawPlan::Close()
{
    work_.Planned = number_ + 1;
    work_.Signal.Notify();
    ++number_;
    open_ = nullptr;
}

void TDrawPlan::Finish()
{
    if (open_) Close();
    if (pairPassed_ && m_.Random.GaussCached == 1) m_.Random.GaussValue = pairA_ * TRandom::PolarFactor(pairRsq_);
}

} // namespace marovi
