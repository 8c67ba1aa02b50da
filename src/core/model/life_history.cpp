#include "model/life_history.h"

#include <algorithm>
#include <cmath>

#include "model/model.h"
#include "util/error.h"

namespace marovi {

double GrowthLinear(const Model& m, int species, int age)
{
    const TSpecies& s = m.SpeciesPool[static_cast<size_t>(species)];
    if (age >= s.NormalLifespan) return s.MaxSize;
    return static_cast<double>(age) / s.NormalLifespan * s.MaxSize;
}

double GrowthExponential(const Model& m, int species, int age)
{
    const TSpecies& s = m.SpeciesPool[static_cast<size_t>(species)];
    return s.MaxSize * (1.0 - std::exp(-s.GrowthK * static_cast<double>(100 * age) / s.MaxLifespan));
}

double GrowthSize(const Model& m, int species, int age)
{
    return m.GrowthFunc[static_cast<size_t>(species)] == 1 ? GrowthExponential(m, species, age)
                                                           : GrowthLinear(m, species, age);
}

void SetGrowthModel(Model& m, int species, int model)
{
    if (model != 0 && model != 1) throw Error("unknown growth model!");
    TSpecies& s = m.SpeciesPool[static_cast<size_t>(species)];
    s.GrowthModel = model;
    m.GrowthFunc[static_cast<size_t>(species)] = model;
    if (model == 1 && s.GrowthK == 0.0) s.GrowthK = DefaultGrowthK;
}

double DeathProbability(const Model& m, int species, int age)
{
    const TSpecies& s = m.SpeciesPool[static_cast<size_t>(species)];
    double p0 = s.DeathProb[static_cast<size_t>(m.Season)];
    if (age <= s.NormalLifespan) return p0;
    int span = s.MaxLifespan - s.NormalLifespan;
    if (span >= 1) return p0 + (age - s.NormalLifespan) * (1 - p0) / span;
    return 1.0;
}

bool DiesThisStep(Model& m, int species, int age) { return DiesThisStep(m, m.Random, species, age); }

bool DiesThisStep(const Model& m, TRandom& random, int species, int age)
{
    double u = random.Uniform();
    return u <= DeathProbability(m, species, age);
}

int32_t CountReproducing(Model& m, TCell& cell, int species)
{
    const TSpecies& s = m.SpeciesPool[static_cast<size_t>(species)];
    int32_t n = 0;
    if (m.OldReproInterval) {
        for (TIndividual& ind : cell.Individuals) {
            if (ind.Species != species || ind.Age < s.FirstReproduction) continue;
            if (ind.Age - ind.LastReproduction >= s.ReproInterval) {
                ind.LastReproduction = ind.Age;
                ++n;
            }
        }
        return n;
    }
    // Common rhythm; an interval below 1 is taken as 1 (it is a divisor).
    bool commonStep = m.TimeStep % std::max(s.ReproInterval, 1) == 0;
    for (TIndividual& ind : cell.Individuals) {
        if (ind.Species != species || ind.Age < s.FirstReproduction) continue;
        double u = m.Random.Uniform();
        if (commonStep || u < s.ReproAsync) {
            ind.LastReproduction = ind.Age;
            ++n;
        }
    }
    return n;
}

void CountReproducingIndividualRhythm(const Model& m, TCell& cell, TSpeciesCounts& counts)
{
    counts.fill(0);
    for (TIndividual& ind : cell.Individuals) {
        const TSpecies& s = m.SpeciesPool[static_cast<size_t>(ind.Species)];
        if (ind.Age >= s.FirstReproduction && ind.Age - ind.LastReproduction >= s.ReproInterval) {
            ind.LastReproduction = ind.Age;
            counts[static_cast<size_t>(ind.Species)] += 1;
        }
    }
}

} // namespace marovi
