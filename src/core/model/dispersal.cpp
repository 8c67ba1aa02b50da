#include <atomic>
#include <cmath>

#include "landscape/flow.h"
#include "model/grid.h"
#include "model/kernel.h"
#include "model/life_history.h"
#include "model/numeric.h"
#include "model/step.h"
#include "model/step_work.h"

namespace marovi {

namespace {

// One larva more in a cell's count of its species and in its total. Shared: other threads
// count into the same cells.
template <bool Shared>
inline void AddLarva(int32_t& species, int32_t& total)
{
    if constexpr (Shared) {
        std::atomic_ref<int32_t>(species).fetch_add(1, std::memory_order_relaxed);
        std::atomic_ref<int32_t>(total).fetch_add(1, std::memory_order_relaxed);
    } else {
        species += 1;
        total += 1;
    }
}

inline void AddLarva(int32_t& species, int32_t& total, bool shared)
{
    if (shared) AddLarva<true>(species, total);
    else AddLarva<false>(species, total);
}

// Counts the larvae of one species into their target cells. On a large grid the targets'
// counts are far out of the caches, and a counter that misses stalls the next larvae's
// math behind it. So each target is prefetched when it is known and counted a few larvae
// later, when its line has arrived. Counting is addition: the order does not change it.
// Shared: other threads count into the same cells, so each addition is atomic.
template <bool Shared>
class TLarvaCounter {
public:
    TLarvaCounter(Model& m, int s)
        : cells_(m.Cells.data()), larvaeOf_(m.Cells.LarvaeData() + s),
          species_(static_cast<size_t>(m.Cells.SpeciesCount()))
    {
    }
    ~TLarvaCounter()
    {
        for (size_t i = 0; i < Depth && i < added_; ++i) Count(pending_[i]);
    }
    void Add(size_t target)
    {
        __builtin_prefetch(&larvaeOf_[target * species_], 1);
        __builtin_prefetch(&cells_[target].LarvaeCount, 1);
        size_t& slot = pending_[added_ % Depth];
        if (added_ >= Depth) Count(slot);
        slot = target;
        ++added_;
    }

private:
    static constexpr size_t Depth = 4;
    void Count(size_t target)
    {
        AddLarva<Shared>(larvaeOf_[target * species_], cells_[target].LarvaeCount);
    }
    TCell* const cells_;
    int32_t* const larvaeOf_;
    const size_t species_;
    size_t pending_[Depth];
    size_t added_ = 0;
};

} // namespace

double KernelDraw(Model& m, TKernel kernel, double d) { return KernelDistance(m.Random, kernel, d); }

template <bool Shared>
void DisperseClutch(Model& m, TRandom& random, const TFlowCell& flow, int x, int y, int s, int32_t larvae)
{
    const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(s)];
    double angle = random.Gauss() * flow.Deviation + flow.Direction;
    double dist = KernelDistance(random, m.DispersalKernel, sp.DispersalDistance) * flow.Speed;
    double cx = x + std::cos(angle) * dist;
    double cy = y + std::sin(angle) * dist;
    // Everything the larva loop reads, held locally: the counts it increments could
    // otherwise alias any int of the model.
    const TKernel patchKernel = m.PatchKernel;
    const double patchSize = sp.PatchSize;
    const double deviation = flow.Deviation, direction = flow.Direction, speed = flow.Speed;
    const TGridShape shape = GridShape(m);
    TLarvaCounter<Shared> counter(m, s);
    for (int32_t i = 0; i < larvae; ++i) {
        double a = random.Gauss() * deviation + direction;
        double d = KernelDistance(random, patchKernel, patchSize) * speed;
        int tx = RoundToInt(cx + std::cos(a) * d);
        int ty = RoundToInt(cy + std::sin(a) * d);
        if (WrapCoordinates(shape, tx, ty))
            counter.Add(static_cast<size_t>(tx) * static_cast<size_t>(shape.YDim) + static_cast<size_t>(ty));
    }
}

template void DisperseClutch<false>(Model&, TRandom&, const TFlowCell&, int, int, int, int32_t);
template void DisperseClutch<true>(Model&, TRandom&, const TFlowCell&, int, int, int, int32_t);

void ReleaseLarvae(Model& m, int x, int y) { ReleaseLarvae(m, x, y, nullptr, nullptr); }

void ReleaseLarvae(Model& m, int x, int y, TDrawPlan* plan, const int32_t* reproducing)
{
    if (m.OnlyGlobalDrift) return;
    TCell& cell = m.Cell(x, y);
    TSpeciesCounts counted, present;
    if (m.OldReproInterval && !reproducing) {
        CountReproducingIndividualRhythm(m, cell, counted);
        reproducing = counted.data();
    }
    if (!m.OldReproInterval) present = ToSpeciesCounts(cell.Abundance); // one pass over the list, not one per species
    const TFlowCell* flow = nullptr;
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(s)];
        // Without individuals of the species nothing is counted and nothing is drawn.
        int32_t n = m.OldReproInterval                    ? reproducing[s]
                    : present[static_cast<size_t>(s)] > 0 ? CountReproducing(m, cell, s)
                                                          : 0;
        int32_t larvae = RoundToInt(n * sp.Fecundity[static_cast<size_t>(m.Season)]);
        if (m.FluctRepro) {
            int32_t factor = m.Random.RandomInt(m.FluctReproMax - m.FluctReproMin + 1) + m.FluctReproMin;
            larvae = RoundToInt(static_cast<double>(larvae) * factor);
        }
        if (larvae <= 0) continue;
        if (plan) {
            plan->Clutch(x, y, s, larvae);
            continue;
        }
        if (!flow) flow = &FlowAt(m, x, y); // once per cell
        DisperseClutch<false>(m, m.Random, *flow, x, y, s, larvae);
    }
}

int ProportionalDriftPick(Model& m)
{
    double w[MaxSpecies];
    double total = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        w[s] = RoundToInt(m.LastAbundance[static_cast<size_t>(s)] *
                          m.SpeciesPool[static_cast<size_t>(s)].Fecundity[static_cast<size_t>(m.Season)]);
        total += w[s];
    }
    if (total <= 0) return -1;
    double r = m.Random.Uniform();
    double running = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        running += w[s] / total;
        if (running >= r) return s;
    }
    return m.SpeciesMax;
}

void ExternalDrift(Model& m, int x, int y) { ExternalDrift(m, x, y, false); }

void ExternalDrift(Model& m, int x, int y, bool shared)
{
    if (!m.AnyGlobalDrift) return;
    double u = m.Random.Uniform();
    if (u >= m.ExternalDriftProb) return;
    int32_t n = m.Random.RandomInt(m.MaxDriftLarvae);
    TCell& cell = m.Cell(x, y);
    const size_t season = static_cast<size_t>(m.Season);
    if (m.OldReproInterval) {
        for (int32_t i = 0; i < n; ++i) {
            int s = m.ProportionalDrift ? ProportionalDriftPick(m) : m.Random.RandomInt(m.SpeciesMax + 1);
            if (s < 0 || s > m.SpeciesMax) continue;
            const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(s)];
            if (sp.GlobalDrift && sp.Fecundity[season] > 0 && m.LastAbundance[static_cast<size_t>(s)] > 0)
                AddLarva(cell.Larvae[static_cast<size_t>(s)], cell.LarvaeCount, shared);
        }
        return;
    }
    double w[MaxSpecies];
    double total = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(s)];
        bool inRhythm = m.TimeStep % (sp.ReproInterval >= 1 ? sp.ReproInterval : 1) == 0;
        if (inRhythm && sp.GlobalDrift && sp.Fecundity[season] > 0)
            w[s] = m.ProportionalDrift ? m.LastAbundance[static_cast<size_t>(s)] : 1.0;
        else
            w[s] = 0;
        total += w[s];
    }
    if (total <= 0) return;
    for (int s = 0; s <= m.SpeciesMax; ++s) w[s] /= total;
    for (int32_t i = 0; i < n; ++i) {
        double r = m.Random.Uniform();
        double running = 0;
        int s = 0;
        for (; s < m.SpeciesMax; ++s) {
            running += w[s];
            if (running >= r) break;
        }
        AddLarva(cell.Larvae[static_cast<size_t>(s)], cell.LarvaeCount, shared);
    }
}

} // namespace marovi
