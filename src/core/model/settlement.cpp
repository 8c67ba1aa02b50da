#include <algorithm>

#include "model/grid.h"
#include "model/step.h"

namespace marovi {

bool HasRoom(const TCell& cell)
{
    if (CellFull(cell)) return false;
    double size = 0;
    for (const TIndividual& ind : cell.Individuals) size += ind.Size;
    return size < cell.Capacity;
}

void RemoveUnsuitableLarvae(const Model& m, TCell& cell)
{
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        if ((m.SpeciesPool[static_cast<size_t>(s)].GrowsOn & cell.Substrate) == 0) {
            cell.LarvaeCount -= cell.Larvae[static_cast<size_t>(s)];
            cell.Larvae[static_cast<size_t>(s)] = 0;
        }
    }
}

TSpeciesCounts CountNeighbourhood(const Model& m, int x, int y)
{
    TSpeciesCounts count{};
    int r = m.NeighbourhoodSize;
    for (int cx = x - r; cx <= x + r; ++cx)
        for (int cy = y - r; cy <= y + r; ++cy) {
            int wx = cx, wy = cy;
            if (!WrapCoordinates(m, wx, wy)) continue;
            for (const TIndividual& ind : m.Cell(wx, wy).Individuals)
                if (ind.Size >= m.MinSize) count[static_cast<size_t>(ind.Species)] += 1;
        }
    return count;
}

int SimpleLottery(Model& m, const TSpeciesCounts& pool)
{
    int32_t total = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) total += pool[static_cast<size_t>(s)];
    int32_t r = m.Random.RandomInt(total);
    int32_t running = 0;
    for (int s = 0; s < MaxSpecies; ++s) {
        running += pool[static_cast<size_t>(s)];
        if (r < running) return s;
    }
    return -1;
}

int BiasedLotteryDraw(Model& m, const TSpeciesCounts& pool, const TSpeciesCounts& neighbours)
{
    int32_t n = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) n += neighbours[static_cast<size_t>(s)];
    double w[MaxSpecies];
    double total = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        double rel = n > 0 ? static_cast<double>(neighbours[static_cast<size_t>(s)]) / n : 1.0;
        double k = m.SpeciesKFactor ? m.SpeciesPool[static_cast<size_t>(s)].KFactor : m.GlobalKFactor;
        w[s] = (k * rel + 1) * pool[static_cast<size_t>(s)];
        if (w[s] < 0) w[s] = 0;
        total += w[s];
    }
    if (total <= 0) return -1;
    for (int s = 0; s <= m.SpeciesMax; ++s) w[s] /= total;
    double r = m.Random.Uniform();
    double running = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        running += w[s];
        if (running >= r) return s;
    }
    return -1;
}

void SettleCell(Model& m, int x, int y)
{
    TCell& cell = m.Cell(x, y);
    TCounts previous = m.PrevLarvaeAt(x, y);
    std::copy(cell.Larvae.begin(), cell.Larvae.end(), previous.begin());
    if (cell.LarvaeCount == 0) return; // nothing to settle, nothing to draw
    RemoveUnsuitableLarvae(m, cell);
    TSpeciesCounts neighbours{};
    if (m.BiasedLottery) neighbours = CountNeighbourhood(m, x, y);
    TSpeciesCounts pool{};
    int64_t attempts = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        pool[static_cast<size_t>(s)] = cell.Larvae[static_cast<size_t>(s)];
        attempts += pool[static_cast<size_t>(s)];
    }
    // The summed size of HasRoom, kept up to date in list order as settlers are appended.
    double size = 0;
    for (const TIndividual& ind : cell.Individuals) size += ind.Size;
    auto room = [&] { return !CellFull(cell) && size < cell.Capacity; };
    while (room() && attempts >= 1) {
        int s = m.BiasedLottery ? BiasedLotteryDraw(m, pool, neighbours) : SimpleLottery(m, pool);
        if (s >= 0) {
            InsertIndividual(m, x, y, s, 0, 0);
            pool[static_cast<size_t>(s)] -= 1;
            size += cell.Individuals.back().Size;
        }
        attempts -= 1;
    }
}

} // namespace marovi
