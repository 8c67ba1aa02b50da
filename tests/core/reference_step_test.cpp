// The time step against a second, deliberately plain implementation of the same rules:
// every list walked anew, every sum recomputed, no shortcut. Both run on copies of one
// model and must agree field by field, and in the random stream, after every step.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>

#include "disturbance/disturbance.h"
#include "landscape/flow.h"
#include "model/grid.h"
#include "model/life_history.h"
#include "model/step.h"
#include "test_support.h"

namespace {

using namespace marovi;

namespace plain {

int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

bool Wrap(const Model& m, int& x, int& y)
{
    if (m.Torus) {
        while (x < 0) x += m.XDim;
        while (x > m.XMax) x -= m.XDim;
        while (y < 0) y += m.YDim;
        while (y > m.YMax) y -= m.YDim;
        return true;
    }
    return 0 <= x && x < m.XDim && 0 <= y && y < m.YDim;
}

const TSpecies& Sp(const Model& m, int s) { return m.SpeciesPool[static_cast<size_t>(s)]; }

double Size(const Model& m, int s, int age)
{
    const TSpecies& sp = Sp(m, s);
    if (m.GrowthFunc[static_cast<size_t>(s)] == 1)
        return sp.MaxSize * (1 - std::exp(-sp.GrowthK * (100 * age) / sp.MaxLifespan));
    if (age >= sp.NormalLifespan) return sp.MaxSize;
    return static_cast<double>(age) / sp.NormalLifespan * sp.MaxSize;
}

void Insert(Model& m, int x, int y, int s, int lastReproduction, int age)
{
    TCell& c = m.Cell(x, y);
    ASSERT_LT(c.IndividualCount, c.Capacity);
    c.IndividualCount += 1;
    TIndividual ind;
    ind.Species = s;
    ind.Age = age;
    ind.Size = Size(m, s, age);
    ind.LastReproduction = lastReproduction;
    int px, py;
    do {
        px = m.Random.RandomInt(10);
        py = m.Random.RandomInt(10);
    } while (c.Occupied.Has(px, py));
    c.Occupied.Set(px, py);
    ind.PosX = static_cast<int8_t>(px);
    ind.PosY = static_cast<int8_t>(py);
    c.Individuals.push_back(ind);
}

void Remove(TCell& c, size_t i)
{
    const TIndividual ind = c.Individuals[i];
    c.IndividualCount -= 1;
    c.Occupied.Free(ind.PosX, ind.PosY);
    c.Individuals.erase(c.Individuals.begin() + static_cast<long>(i));
}

double DeathChance(const Model& m, int s, int age)
{
    const TSpecies& sp = Sp(m, s);
    double p0 = sp.DeathProb[0];
    if (age <= sp.NormalLifespan) return p0;
    int span = sp.MaxLifespan - sp.NormalLifespan;
    if (span >= 1) return p0 + (age - sp.NormalLifespan) * (1 - p0) / span;
    return 1.0;
}

int Reproducing(Model& m, TCell& c, int s)
{
    const TSpecies& sp = Sp(m, s);
    int n = 0;
    for (TIndividual& ind : c.Individuals) {
        if (ind.Species != s || ind.Age < sp.FirstReproduction) continue;
        bool reproduces;
        if (m.OldReproInterval) {
            reproduces = ind.Age - ind.LastReproduction >= sp.ReproInterval;
        } else {
            double u = m.Random.Uniform();
            int interval = sp.ReproInterval < 1 ? 1 : sp.ReproInterval;
            reproduces = m.TimeStep % interval == 0 || u < sp.ReproAsync;
        }
        if (reproduces) {
            ind.LastReproduction = ind.Age;
            ++n;
        }
    }
    return n;
}

double Kernel(Model& m, TKernel k, double d)
{
    if (k == TKernel::Diffusion) return d * std::fabs(m.Random.Gauss());
    if (k == TKernel::Uniform) return d * m.Random.Uniform();
    double u = m.Random.Uniform();
    if (u == 0) return 0;
    return d * -std::log(u);
}

TFlowCell Flow(const Model& m, int x, int y)
{
    int fx = Round(static_cast<double>((m.FlowGrid.XCount - 1) * x) / m.XDim);
    int fy = Round(static_cast<double>((m.FlowGrid.YCount - 1) * y) / m.YDim);
    return m.FlowGrid.Cells[static_cast<size_t>(fx * m.FlowGrid.YCount + fy)];
}

void Release(Model& m, int x, int y)
{
    if (m.OnlyGlobalDrift) return;
    const TFlowCell f = Flow(m, x, y);
    TCell& c = m.Cell(x, y);
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        int n = Reproducing(m, c, s);
        int larvae = Round(n * Sp(m, s).Fecundity[0]);
        if (m.FluctRepro) larvae = larvae * (m.Random.RandomInt(m.FluctReproMax - m.FluctReproMin + 1) + m.FluctReproMin);
        if (larvae <= 0) continue;
        double angle = m.Random.Gauss() * f.Deviation + f.Direction;
        double dist = Kernel(m, m.DispersalKernel, Sp(m, s).DispersalDistance) * f.Speed;
        double cx = x + std::cos(angle) * dist;
        double cy = y + std::sin(angle) * dist;
        for (int i = 0; i < larvae; ++i) {
            double a = m.Random.Gauss() * f.Deviation + f.Direction;
            double d = Kernel(m, m.PatchKernel, Sp(m, s).PatchSize) * f.Speed;
            int tx = Round(cx + std::cos(a) * d);
            int ty = Round(cy + std::sin(a) * d);
            if (Wrap(m, tx, ty)) {
                m.Cell(tx, ty).Larvae[static_cast<size_t>(s)] += 1;
                m.Cell(tx, ty).LarvaeCount += 1;
            }
        }
    }
}

int DriftPick(Model& m)
{
    double w[MaxSpecies] = {};
    double total = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        w[s] = Round(m.LastAbundance[static_cast<size_t>(s)] * Sp(m, s).Fecundity[0]);
        total += w[s];
    }
    if (total <= 0) return -1;
    double r = m.Random.Uniform();
    double sum = 0;
    int s = 0;
    while (true) {
        sum += w[s] / total;
        if (sum >= r || s == m.SpeciesMax) return s;
        ++s;
    }
}

void Drift(Model& m, int x, int y)
{
    if (!m.AnyGlobalDrift) return;
    if (m.Random.Uniform() >= m.ExternalDriftProb) return;
    int n = m.Random.RandomInt(m.MaxDriftLarvae);
    TCell& c = m.Cell(x, y);
    if (m.OldReproInterval) {
        for (int i = 0; i < n; ++i) {
            int s = m.ProportionalDrift ? DriftPick(m) : m.Random.RandomInt(m.SpeciesMax + 1);
            if (s < 0) continue;
            if (Sp(m, s).GlobalDrift && Sp(m, s).Fecundity[0] > 0 && m.LastAbundance[static_cast<size_t>(s)] > 0) {
                c.Larvae[static_cast<size_t>(s)] += 1;
                c.LarvaeCount += 1;
            }
        }
        return;
    }
    double w[MaxSpecies] = {};
    double total = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        int interval = Sp(m, s).ReproInterval < 1 ? 1 : Sp(m, s).ReproInterval;
        if (m.TimeStep % interval == 0 && Sp(m, s).GlobalDrift && Sp(m, s).Fecundity[0] > 0)
            w[s] = m.ProportionalDrift ? m.LastAbundance[static_cast<size_t>(s)] : 1.0;
        total += w[s];
    }
    if (total <= 0) return;
    for (int s = 0; s <= m.SpeciesMax; ++s) w[s] = w[s] / total;
    for (int i = 0; i < n; ++i) {
        double r = m.Random.Uniform();
        double sum = 0;
        int s = 0;
        while (true) {
            sum += w[s];
            if (sum >= r || s == m.SpeciesMax) break;
            ++s;
        }
        c.Larvae[static_cast<size_t>(s)] += 1;
        c.LarvaeCount += 1;
    }
}

void Update(Model& m, int x, int y)
{
    TCell& c = m.Cell(x, y);
    c.CellAge += 1;
    uint32_t mask = 0;
    for (TIndividual& ind : c.Individuals) {
        ind.Age += 1;
        ind.Size = Size(m, ind.Species, ind.Age);
        if (Sp(m, ind.Species).NormalLifespan <= ind.Age) mask |= Sp(m, ind.Species).ChangesSubstrate;
    }
    c.Substrate ^= mask;
    Release(m, x, y);
    Drift(m, x, y);
    size_t i = 0;
    while (i < c.Individuals.size()) {
        const TIndividual ind = c.Individuals[i];
        if (m.Random.Uniform() <= DeathChance(m, ind.Species, ind.Age))
            Remove(c, i);
        else
            ++i;
    }
}

bool Room(const TCell& c)
{
    double size = 0;
    for (const TIndividual& ind : c.Individuals) size += ind.Size;
    return c.IndividualCount < c.Capacity && size < c.Capacity;
}

void Settle(Model& m, int x, int y)
{
    TCell& c = m.Cell(x, y);
    for (int s = 0; s <= m.SpeciesMax; ++s) m.PrevLarvaeAt(x, y)[static_cast<size_t>(s)] = c.Larvae[static_cast<size_t>(s)];
    for (int s = 0; s <= m.SpeciesMax; ++s)
        if ((Sp(m, s).GrowsOn & c.Substrate) == 0) {
            c.LarvaeCount -= c.Larvae[static_cast<size_t>(s)];
            c.Larvae[static_cast<size_t>(s)] = 0;
        }
    TSpeciesCounts neighbours{};
    if (m.BiasedLottery) {
        int r = m.NeighbourhoodSize;
        for (int cx = x - r; cx <= x + r; ++cx)
            for (int cy = y - r; cy <= y + r; ++cy) {
                int wx = cx, wy = cy;
                if (!Wrap(m, wx, wy)) continue;
                for (const TIndividual& ind : m.Cell(wx, wy).Individuals)
                    if (ind.Size >= m.MinSize) neighbours[static_cast<size_t>(ind.Species)] += 1;
            }
    }
    TSpeciesCounts pool{};
    int attempts = 0;
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        pool[static_cast<size_t>(s)] = c.Larvae[static_cast<size_t>(s)];
        attempts += pool[static_cast<size_t>(s)];
    }
    while (Room(c) && attempts >= 1) {
        int drawn = -1;
        if (m.BiasedLottery) {
            int n = 0;
            for (int s = 0; s <= m.SpeciesMax; ++s) n += neighbours[static_cast<size_t>(s)];
            double w[MaxSpecies] = {};
            double total = 0;
            for (int s = 0; s <= m.SpeciesMax; ++s) {
                double rel = n > 0 ? static_cast<double>(neighbours[static_cast<size_t>(s)]) / n : 1.0;
                double k = m.SpeciesKFactor ? Sp(m, s).KFactor : m.GlobalKFactor;
                w[s] = (k * rel + 1) * pool[static_cast<size_t>(s)];
                if (w[s] < 0) w[s] = 0;
                total += w[s];
            }
            if (total > 0) {
                for (int s = 0; s <= m.SpeciesMax; ++s) w[s] = w[s] / total;
                double r = m.Random.Uniform();
                double sum = 0;
                for (int s = 0; s <= m.SpeciesMax && drawn < 0; ++s) {
                    sum += w[s];
                    if (sum >= r) drawn = s;
                }
            }
        } else {
            int total = 0;
            for (int s = 0; s <= m.SpeciesMax; ++s) total += pool[static_cast<size_t>(s)];
            int r = m.Random.RandomInt(total);
            int sum = 0;
            for (int s = 0; s < MaxSpecies && drawn < 0; ++s) {
                sum += pool[static_cast<size_t>(s)];
                if (r < sum) drawn = s;
            }
        }
        if (drawn >= 0) {
            Insert(m, x, y, drawn, 0, 0);
            pool[static_cast<size_t>(drawn)] -= 1;
        }
        attempts -= 1;
    }
}

void DisturbOne(Model& m, int x, int y, uint32_t substrate, double severity)
{
    TCell& c = m.Cell(x, y);
    m.DisturbedCellCount += 1;
    c.DisturbanceCount += 1;
    c.CellAge = 0;
    c.Substrate = substrate;
    size_t i = 0;
    while (i < c.Individuals.size()) {
        if (m.Random.Uniform() <= severity)
            Remove(c, i);
        else
            ++i;
    }
    m.PrevLarvaeAt(x, y).fill(0);
}

void Disturb(Model& m, const TDisturbanceDef& d)
{
    double p = d.Probability[0];
    do {
        if (m.Random.Uniform() < p) {
            m.DisturbanceEventCount += 1;
            for (int k = 0; k < d.Subevents; ++k) {
                int cx = d.X1 + m.Random.RandomInt(d.X2 - d.X1);
                int cy = d.Y2 + m.Random.RandomInt(d.Y1 - d.Y2);
                double a = m.Random.Gauss() * d.Deviation + d.Direction;
                int sx = std::abs(Round(m.Random.Gauss() * d.XSizeDev + d.XSize));
                int sy = std::abs(Round(m.Random.Gauss() * d.YSizeDev + d.YSize));
                int hx = Round(sx / 2.0), hy = Round(sy / 2.0);
                double co = std::cos(-a), si = std::sin(-a);
                int r = Round(std::sqrt(static_cast<double>(hx * hx + hy * hy))) + 1;
                for (int dx = -r; dx <= r; ++dx)
                    for (int dy = -r; dy <= r; ++dy) {
                        int rx = Round(dx * co - dy * si), ry = Round(dy * co + dx * si);
                        if (rx < -hx || rx > hx || ry < -hy || ry > hy) continue;
                        int x = cx + dx, y = cy + dy;
                        if (!Wrap(m, x, y)) continue;
                        if (d.Clipping && !(d.X1 <= x && x <= d.X2 && d.Y2 <= y && y <= d.Y1)) continue;
                        DisturbOne(m, x, y, d.Substrate, d.Severity);
                    }
            }
        }
        p = p - 1;
    } while (p > 0);
}

void Step(Model& m)
{
    m.StepAbundance.fill(0);
    m.TimeStep += 1;
    for (int x = 0; x <= m.XMax; ++x)
        for (int y = 0; y <= m.YMax; ++y) Update(m, x, y);
    for (int x = 0; x <= m.XMax; ++x)
        for (int y = 0; y <= m.YMax; ++y) {
            Settle(m, x, y);
            TCell& c = m.Cell(x, y);
            for (int s = 0; s <= m.SpeciesMax; ++s) m.StepAbundance[static_cast<size_t>(s)] += c.Abundance[static_cast<size_t>(s)];
            c.Larvae.fill(0);
            c.LarvaeCount = 0;
        }
    for (const TDisturbanceDef& d : m.Disturbances) Disturb(m, d);
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        size_t i = static_cast<size_t>(s);
        if (m.StepAbundance[i] == 0 && m.LastAbundance[i] > 0) m.ExtinctionStep[i] = m.TimeStep;
        m.LastAbundance[i] = m.StepAbundance[i];
    }
    if (m.TimeStep == m.MaxRuntime) m.TermCountBase = m.DisturbanceEventCount;
    if (m.TimeStep >= m.MaxRuntime && m.TermReachedStep == 0 && m.DisturbanceEventCount - m.TermCountBase >= m.TermDisturbances)
        m.TermReachedStep = m.TimeStep;
    m.TerminateFlag = m.MaxRuntime >= 1 && m.TermReachedStep >= 1 && m.TermReachedStep + m.TermSteps <= m.TimeStep;
}

} // namespace plain

struct Scenario {
    const char* name;
    std::function<void(Model&)> setup;
};

// A small grid with mixed capacities, four species of different habits, and a fill.
Model BaseModel(int32_t seed)
{
    Model m = test::MakeModel(9, 7, 4, 0, seed);
    for (TCell& c : m.Cells) c.Capacity = 2 + m.Random.RandomInt(11);
    m.SpeciesPool[1].FirstReproduction = 2;
    m.SpeciesPool[1].ReproInterval = 3;
    m.SpeciesPool[2].Fecundity[0] = 1.25;
    m.SpeciesPool[2].NormalLifespan = 4;
    m.SpeciesPool[2].MaxLifespan = 9;
    m.SpeciesPool[2].ChangesSubstrate = 6;
    m.SpeciesPool[3].GrowsOn = 3;
    m.SpeciesPool[3].MaxSize = 2.5;
    SetGrowthModel(m, 3, 1);
    InitialFill(m, m.XMax);
    return m;
}

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

class ReferenceStep : public ::testing::TestWithParam<Scenario> {};

TEST_P(ReferenceStep, AgreesFieldByFieldOverManySteps)
{
    for (int32_t seed : {3, 71}) {
        Model m = BaseModel(seed);
        GetParam().setup(m);
        Model ref = m;
        Model threaded = m; // and the step on several threads, the same bit for bit
        threaded.StepThreads.SetCount(3);
        for (int step = 1; step <= 40; ++step) {
            SimulationStep(m);
            plain::Step(ref);
            SimulationStep(threaded);
            ASSERT_TRUE(test::SameState(m, ref)) << GetParam().name << ", seed " << seed << ", step " << step;
            ASSERT_TRUE(test::SameState(threaded, m)) << GetParam().name << ", seed " << seed << ", step " << step;
            ASSERT_TRUE(test::CellInvariants(m)) << "step " << step;
        }
        long long alive = 0;
        for (int32_t a : m.StepAbundance) alive += a;
        EXPECT_GT(alive, 0) << GetParam().name << ": the scenario should keep a population";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, ReferenceStep,
    ::testing::Values(
        Scenario{"defaults", [](Model&) {}},
        Scenario{"no wrap, diffusion and uniform kernels, flow grid",
                 [](Model& m) {
                     m.Torus = false;
                     m.DispersalKernel = TKernel::Diffusion;
                     m.PatchKernel = TKernel::Uniform;
                     NewFlowGrid(m.FlowGrid, 3, 2, 0.7, 0.4, 1.5);
                     m.FlowGrid.Cell(1, 1).Speed = 0.0;
                     m.FlowGrid.Cell(2, 0) = TFlowCell{-2.0, 0.0, 0.6};
                 }},
        Scenario{"biased lottery with species k factors",
                 [](Model& m) {
                     m.BiasedLottery = true;
                     m.SpeciesKFactor = true;
                     m.NeighbourhoodSize = 2;
                     m.SpeciesPool[0].KFactor = -2.0;
                     m.SpeciesPool[1].KFactor = 3.5;
                     m.SpeciesPool[2].KFactor = 0.5;
                     m.Torus = false;
                 }},
        Scenario{"biased lottery, global k factor",
                 [](Model& m) {
                     m.BiasedLottery = true;
                     m.GlobalKFactor = -1.5;
                     m.MinSize = 0.5;
                 }},
        Scenario{"common rhythm, fluctuating reproduction, proportional drift",
                 [](Model& m) {
                     m.OldReproInterval = false;
                     m.SpeciesPool[0].ReproAsync = 0.3;
                     m.SpeciesPool[1].ReproInterval = 0;
                     m.SpeciesPool[2].ReproAsync = 1.0;
                     m.FluctRepro = true;
                     m.FluctReproMin = 0;
                     m.FluctReproMax = 2;
                     m.SpeciesPool[1].GlobalDrift = true;
                     m.SpeciesPool[3].GlobalDrift = true;
                     m.AnyGlobalDrift = true;
                     m.ExternalDriftProb = 0.4;
                     m.MaxDriftLarvae = 6;
                     m.ProportionalDrift = true;
                 }},
        Scenario{"individual rhythm drift, uniform and proportional picks",
                 [](Model& m) {
                     m.SpeciesPool[0].GlobalDrift = true;
                     m.SpeciesPool[2].GlobalDrift = true;
                     m.SpeciesPool[2].Fecundity[0] = 0.0;
                     m.AnyGlobalDrift = true;
                     m.ExternalDriftProb = 0.5;
                     m.MaxDriftLarvae = 5;
                 }},
        Scenario{"only external drift",
                 [](Model& m) {
                     m.OnlyGlobalDrift = true;
                     for (TSpecies& s : m.SpeciesPool) s.GlobalDrift = true;
                     m.AnyGlobalDrift = true;
                     m.ExternalDriftProb = 0.7;
                     m.MaxDriftLarvae = 8;
                     m.ProportionalDrift = true;
                 }},
        Scenario{"disturbances, termination watched",
                 [](Model& m) {
                     AddDisturbance(m, 1, 5, 7, 1, true, 3.0, 1.0, 2.0, 0.5, 1.7, 0.6, 0.785398, 0.3, 2, 2);
                     AddDisturbance(m, 0, 0, m.XMax, m.YMax, false, 2.0, 0.0, 4.0, 1.0, 0.4, 1.0, 0.0, 6.283185, 5, 1);
                     m.MaxRuntime = 10;
                     m.TermDisturbances = 3;
                     m.TermSteps = 4;
                 }}),
    [](const ::testing::TestParamInfo<Scenario>& info) { return "Scenario" + std::to_string(info.index); });

} // namespace
