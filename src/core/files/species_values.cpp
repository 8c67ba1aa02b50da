#include "files/species_values.h"

#include <algorithm>
#include <cmath>

#include "model/model.h"
#include "model/numeric.h"
#include "model/parameter_table.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

// Means and spreads of one guild group; MaxLifespan is a multiple of the normal lifespan
// when maxFactor > 0, else the fixed maxFixed.
struct TGroupValues {
    const char* Prefix;
    double Dispersal, DispersalSpread;
    double Patch, PatchSpread;
    double Lifespan, LifespanSpread;
    int MaxFactor, MaxFixed;
    double Fecundity, FecunditySpread;
    int FirstReproduction;
    int Guild;
};

constexpr TGroupValues Groups[4] = {
    {"R0", 15, 15, 5, 5, 5, 5, 10, 0, 20, 20, 1, 1},
    {"R1", 10, 10, 5, 5, 30, 30, 0, 100, 5, 5, 3, 2},
    {"R2", 5, 5, 1, 1, 50, 50, 10, 0, 4.5, 4.5, 10, 3},
    {"UD", 0, 0, 2, 2, 100, 200, 10, 0, 2, 3, 40, 4},
};

// A drawn value brought into the range the species field takes (the editor's own table).
double InFieldRange(const char* field, double value)
{
    const TParameter& p = *FindParameter(field, true);
    return std::clamp(value, p.Min, p.Max);
}

} // namespace

void StandardPool(Model& m, double variationFactor)
{
    const int n = m.SpeciesMax + 1;
    // Every draw is made as without the limits; only the values are held in their fields' ranges.
    auto vary = [&](double mean, double spread) { return mean + m.Random.Gauss() * variationFactor * spread; };
    auto varyInt = [&](const char* field, double mean, double spread) {
        return RoundToInt(InFieldRange(field, std::nearbyint(vary(mean, spread))));
    };
    for (int i = 0; i < n; ++i) {
        const int g = std::clamp(TruncToInt(static_cast<double>(i) / n * 4), 0, 3);
        const TGroupValues& v = Groups[g];
        const double k = (i + 1) - g * static_cast<double>(m.SpeciesMax) / 4;
        TSpecies& s = m.SpeciesPool[static_cast<size_t>(i)];
        s.Name = Format(std::string(v.Prefix) + " %d", {g == 0 ? RoundToInt(k) : TruncToInt(k)}).substr(0, NameLength);
        s.DispersalDistance = InFieldRange("DispersalDistance", vary(v.Dispersal, v.DispersalSpread));
        s.PatchSize = InFieldRange("PatchSize", vary(v.Patch, v.PatchSpread));
        // A lifespan below one step would make the death probability infinite or negative.
        s.NormalLifespan = varyInt("NormalLifespan", v.Lifespan, v.LifespanSpread);
        const double maxMean = v.MaxFactor > 0 ? static_cast<double>(v.MaxFactor) * s.NormalLifespan : v.MaxFixed;
        s.MaxLifespan = varyInt("MaxLifespan", maxMean, 0.0);
        s.Fecundity[0] = InFieldRange("Fecundity", vary(v.Fecundity, v.FecunditySpread));
        s.FirstReproduction = v.FirstReproduction;
        s.ReproInterval = 1;
        s.Guild = static_cast<int8_t>(v.Guild);
        s.DeathProb[0] = std::log(2.0) / s.NormalLifespan;
    }
}

double SurvivalRate(const TSpecies& s) { return std::exp(-static_cast<double>(s.NormalLifespan) * s.DeathProb[0]); }

double DeathProbForSurvival(double survival, int normalLifespan)
{
    if (!(survival > 0 && survival <= 1)) throw Error(Format("survival rate %g must lie above 0 and not above 1!", {survival}));
    if (normalLifespan < 1) throw Error(Format("normal live span %d must be at least 1!", {normalLifespan}));
    return -std::log(survival) / normalLifespan;
}

void SetNormalLifespan(TSpecies& s, int lifespan, bool keepSurvival)
{
    // The survival is defined only for positive lifespans; otherwise the probability stays.
    if (keepSurvival && lifespan != s.NormalLifespan && s.NormalLifespan > 0 && lifespan > 0) {
        const double survival = SurvivalRate(s);
        if (survival > 0) s.DeathProb[0] = -std::log(survival) / lifespan;
    }
    s.NormalLifespan = lifespan;
}

} // namespace marovi
