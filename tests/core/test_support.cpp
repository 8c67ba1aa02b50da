#include "test_support.h"

#include <cstring>
#include <string>

#include "model/grid.h"
#include "model/life_history.h"
#include "model/species_pool.h"
#include "util/error.h"

namespace marovi::test {

Model MakeModel(int xdim, int ydim, int species, int capacity, int32_t seed)
{
    Model m;
    m.Random.SeedRandom(seed);
    CreateSpeciesPool(m, species);
    CreateGrid(m, xdim, ydim);
    for (TCell& c : m.Cells) c.Capacity = capacity;
    return m;
}

::testing::AssertionResult CellInvariants(const Model& m)
{
    if (m.Cells.SpeciesCount() != m.SpeciesMax + 1)
        return ::testing::AssertionFailure() << "counts for " << m.Cells.SpeciesCount() << " species in every cell";
    for (int x = 0; x < m.XDim; ++x)
        for (int y = 0; y < m.YDim; ++y) {
            const TCell& c = m.Cell(x, y);
            const std::string where = "cell [" + std::to_string(x) + "," + std::to_string(y) + "]: ";
            if (c.IndividualCount != static_cast<int32_t>(c.Individuals.size()) || c.IndividualCount != c.Occupied.Count())
                return ::testing::AssertionFailure() << where << "count " << c.IndividualCount << ", list "
                                                     << c.Individuals.size() << ", occupied " << c.Occupied.Count();
            bool seen[CellSide][CellSide] = {};
            for (const TIndividual& ind : c.Individuals) {
                if (ind.Species < 0 || ind.Species > m.SpeciesMax)
                    return ::testing::AssertionFailure() << where << "species " << ind.Species;
                if (ind.PosX < 0 || ind.PosX >= CellSide || ind.PosY < 0 || ind.PosY >= CellSide)
                    return ::testing::AssertionFailure() << where << "position out of the cell";
                if (seen[ind.PosX][ind.PosY] || !c.Occupied.Has(ind.PosX, ind.PosY))
                    return ::testing::AssertionFailure() << where << "position shared or not marked";
                seen[ind.PosX][ind.PosY] = true;
            }
            if (c.IndividualCount > c.Capacity && c.IndividualCount > 0)
                return ::testing::AssertionFailure() << where << "over capacity";
        }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameState(const Model& a, const Model& b)
{
    auto fail = [](const std::string& what) { return ::testing::AssertionFailure() << what; };
    if (a.XDim != b.XDim || a.YDim != b.YDim) return fail("grid size");
    for (int x = 0; x < a.XDim; ++x)
        for (int y = 0; y < a.YDim; ++y) {
            const TCell& p = a.Cell(x, y);
            const TCell& q = b.Cell(x, y);
            const std::string where = "cell [" + std::to_string(x) + "," + std::to_string(y) + "] ";
            if (p.Abundance != q.Abundance) return fail(where + "Abundance");
            if (p.Larvae != q.Larvae || p.LarvaeCount != q.LarvaeCount) return fail(where + "Larvae");
            if (p.IndividualCount != q.IndividualCount) return fail(where + "IndividualCount");
            if (p.Capacity != q.Capacity) return fail(where + "Capacity");
            if (p.DisturbanceCount != q.DisturbanceCount) return fail(where + "DisturbanceCount");
            if (p.CellAge != q.CellAge) return fail(where + "CellAge");
            if (p.Substrate != q.Substrate) return fail(where + "Substrate");
            if (p.Occupied != q.Occupied) return fail(where + "Occupied");
            if (p.Individuals.size() != q.Individuals.size()) return fail(where + "list length");
            for (size_t i = 0; i < p.Individuals.size(); ++i) {
                const TIndividual& u = p.Individuals[i];
                const TIndividual& v = q.Individuals[i];
                if (u.Species != v.Species || u.Age != v.Age || u.Size != v.Size ||
                    u.LastReproduction != v.LastReproduction || u.PosX != v.PosX || u.PosY != v.PosY)
                    return fail(where + "individual " + std::to_string(i));
            }
            if (a.PrevLarvaeAt(x, y) != b.PrevLarvaeAt(x, y)) return fail(where + "PrevLarvae");
        }
    if (a.TimeStep != b.TimeStep) return fail("TimeStep");
    if (a.StepAbundance != b.StepAbundance) return fail("StepAbundance");
    if (a.LastAbundance != b.LastAbundance) return fail("LastAbundance");
    if (a.ExtinctionStep != b.ExtinctionStep) return fail("ExtinctionStep");
    if (a.DisturbanceEventCount != b.DisturbanceEventCount) return fail("DisturbanceEventCount");
    if (a.DisturbedCellCount != b.DisturbedCellCount) return fail("DisturbedCellCount");
    if (a.TermCountBase != b.TermCountBase || a.TermReachedStep != b.TermReachedStep ||
        a.TerminateFlag != b.TerminateFlag)
        return fail("termination state");
    const TRandom& r = a.Random;
    const TRandom& s = b.Random;
    if (std::memcmp(r.Table, s.Table, sizeof r.Table) != 0 || r.Next != s.Next ||
        r.GaussCached != s.GaussCached || (r.GaussCached && r.GaussValue != s.GaussValue))
        return fail("random stream");
    return ::testing::AssertionSuccess();
}

TIndividual& Place(Model& m, int x, int y, int species, int age, int lastReproduction)
{
    TCell& c = m.Cell(x, y);
    for (int px = 0; px < CellSide; ++px)
        for (int py = 0; py < CellSide; ++py)
            if (!c.Occupied.Has(px, py)) {
                TIndividual ind;
                ind.Species = species;
                ind.Age = age;
                ind.Size = GrowthSize(m, species, age);
                ind.LastReproduction = lastReproduction;
                ind.PosX = static_cast<int8_t>(px);
                ind.PosY = static_cast<int8_t>(py);
                c.Occupied.Set(px, py);
                c.IndividualCount += 1;
                c.Individuals.push_back(ind);
                return c.Individuals.back();
            }
    throw std::logic_error("cell full");
}

std::pair<int, int> ReplayPosition(TRandom& r, bool occupied[CellSide][CellSide])
{
    int px, py;
    do {
        px = r.RandomInt(CellSide);
        py = r.RandomInt(CellSide);
    } while (occupied[px][py]);
    occupied[px][py] = true;
    return {px, py};
}

std::string ErrorText(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace marovi::test
