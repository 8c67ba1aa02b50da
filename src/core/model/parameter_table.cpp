#include "model/parameter_table.h"

#include <cmath>
#include <cstdint>

#include "disturbance/disturbance.h"
#include "disturbance/disturbance_editor.h"
#include "landscape/flow.h"
#include "landscape/landscape.h"
#include "model/life_history.h"
#include "model/model.h"
#include "model/species_pool.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {
namespace {

using K = TParameterKind;
constexpr double IntMax = INT32_MAX;

int32_t AsInt(double v) { return static_cast<int32_t>(v); }
TSpecies& Sp(Model& m, int s) { return m.SpeciesPool[static_cast<size_t>(s)]; }
const TSpecies& Sp(const Model& m, int s) { return m.SpeciesPool[static_cast<size_t>(s)]; }

// One entry per field: its name, kind, range and the field itself.
#define GLOBAL(name, kind, lo, hi, open, field, toField)                                     \
    TParameter{name, kind, false, lo, hi, open,                                            \
               [](Model& m, int, double v) { m.field = toField(v); },                     \
               [](const Model& m, int) { return static_cast<double>(m.field); }}
#define SPECIES(name, kind, lo, hi, open, field, toField)                                    \
    TParameter{name, kind, true, lo, hi, open,                                             \
               [](Model& m, int s, double v) { Sp(m, s).field = toField(v); },            \
               [](const Model& m, int s) { return static_cast<double>(Sp(m, s).field); }}

bool AsBool(double v) { return v != 0; }
double AsReal(double v) { return v; }
TKernel AsKernel(double v) { return static_cast<TKernel>(static_cast<int>(v)); }
uint8_t AsByte(double v) { return static_cast<uint8_t>(v); }
int8_t AsGuild(double v) { return static_cast<int8_t>(v); }
uint32_t AsSet(double v) { return static_cast<uint32_t>(v); }

// The bounds follow the program's own rules where it has them (the Grid properties dialog
// for kFactor and the neighbourhood, the species editor for synchrony and guild, the growth
// models a file may name); elsewhere they keep a time step finite: no division by a zero
// lifespan or interval, no probability outside 0..1, no fecundity or drift that would
// release billions of larvae.
const std::vector<TParameter> Table = {
    GLOBAL("StartFill", K::Integer, -1, 9999, false, StartFill, AsInt),
    GLOBAL("Torus", K::Boolean, 0, 1, false, Torus, AsBool),
    GLOBAL("DispersalKernel", K::Kernel, 1, 4, false, DispersalKernel, AsKernel),
    GLOBAL("PatchKernel", K::Kernel, 1, 4, false, PatchKernel, AsKernel),
    GLOBAL("BiasedLottery", K::Boolean, 0, 1, false, BiasedLottery, AsBool),
    GLOBAL("GlobalKFactor", K::Real, -100, 100, true, GlobalKFactor, AsReal),
    GLOBAL("SpeciesKFactor", K::Boolean, 0, 1, false, SpeciesKFactor, AsBool),
    GLOBAL("NeighbourhoodSize", K::Integer, 1, 24, false, NeighbourhoodSize, AsByte),
    GLOBAL("MinSize", K::Real, 0, 1000, false, MinSize, AsReal),
    GLOBAL("ExternalDriftProb", K::Real, 0, 1, false, ExternalDriftProb, AsReal),
    GLOBAL("MaxDriftLarvae", K::Integer, 0, 10000, false, MaxDriftLarvae, AsInt),
    GLOBAL("ProportionalDrift", K::Boolean, 0, 1, false, ProportionalDrift, AsBool),
    GLOBAL("OnlyGlobalDrift", K::Boolean, 0, 1, false, OnlyGlobalDrift, AsBool),
    GLOBAL("OldReproInterval", K::Boolean, 0, 1, false, OldReproInterval, AsBool),
    GLOBAL("SeedSync", K::Boolean, 0, 1, false, SeedSync, AsBool),
    GLOBAL("FluctRepro", K::Boolean, 0, 1, false, FluctRepro, AsBool),
    GLOBAL("FluctReproMin", K::Integer, 0, 1000, false, FluctReproMin, AsInt),
    GLOBAL("FluctReproMax", K::Integer, 0, 1000, false, FluctReproMax, AsInt),
    GLOBAL("Repetitions", K::Integer, 0, IntMax, false, Repetitions, AsInt),
    GLOBAL("MaxRuntime", K::Integer, 0, IntMax, false, MaxRuntime, AsInt),
    GLOBAL("TermDisturbances", K::Integer, 0, IntMax, false, TermDisturbances, AsInt),
    GLOBAL("TermSteps", K::Integer, 0, IntMax, false, TermSteps, AsInt),

    SPECIES("DispersalDistance", K::Real, 0, 1e6, false, DispersalDistance, AsReal),
    SPECIES("PatchSize", K::Real, 0, 1e6, false, PatchSize, AsReal),
    SPECIES("MaxSize", K::Real, 0, 1000, false, MaxSize, AsReal),
    SPECIES("DeathProb", K::Real, 0, 1, false, DeathProb[0], AsReal),
    SPECIES("Fecundity", K::Real, 0, 1000, false, Fecundity[0], AsReal),
    SPECIES("MaxLifespan", K::Integer, 1, 100000, false, MaxLifespan, AsInt),
    SPECIES("NormalLifespan", K::Integer, 1, 100000, false, NormalLifespan, AsInt),
    SPECIES("FirstReproduction", K::Integer, 0, 100000, false, FirstReproduction, AsInt),
    SPECIES("ReproInterval", K::Integer, 1, 100000, false, ReproInterval, AsInt),
    // The step asks for external drift only when some species drifts: that flag follows.
    TParameter{"GlobalDrift", K::Boolean, true, 0, 1, false,
               [](Model& m, int s, double v) {
                   Sp(m, s).GlobalDrift = AsBool(v);
                   UpdateAnyGlobalDrift(m);
               },
               [](const Model& m, int s) { return static_cast<double>(Sp(m, s).GlobalDrift); }},
    SPECIES("Guild", K::Integer, 0, 4, false, Guild, AsGuild),
    SPECIES("GrowsOn", K::Integer, 0, 255, false, GrowsOn, AsSet),
    SPECIES("ChangesSubstrate", K::Integer, 0, 255, false, ChangesSubstrate, AsSet),
    SPECIES("ReproAsync", K::Real, 0, 1, false, ReproAsync, AsReal),
    // The growth model goes through SetGrowthModel, which also sets the growth function.
    TParameter{"GrowthModel", K::Integer, true, 0, 1, false,
               [](Model& m, int s, double v) { SetGrowthModel(m, s, AsInt(v)); },
               [](const Model& m, int s) { return static_cast<double>(Sp(m, s).GrowthModel); }},
    SPECIES("GrowthK", K::Real, 0, 1000, false, GrowthK, AsReal),
    SPECIES("KFactor", K::Real, -100, 100, true, KFactor, AsReal),
};

TDisturbanceDef& Def(Model& m, int d) { return m.Disturbances[static_cast<size_t>(d)]; }
const TDisturbanceDef& Def(const Model& m, int d) { return m.Disturbances[static_cast<size_t>(d)]; }

#define DISTURBANCE(name, kind, lo, hi, open, field, toField)                                \
    TParameter{name, kind, true, lo, hi, open,                                             \
               [](Model& m, int d, double v) { Def(m, d).field = toField(v); },           \
               [](const Model& m, int d) { return static_cast<double>(Def(m, d).field); }}

constexpr double MaxCorner = 1000000;
constexpr double TwoPi = 6.2832; // a little above 2 pi: radians of any bearing or spread

// Probability, as the editor sets it, holds the same value in every season.
void SetProbability(TDisturbanceDef& d, double p) { d.Probability.fill(p); }

const std::vector<TParameter> DisturbanceTable = {
    DISTURBANCE("X1", K::Integer, -MaxCorner, MaxCorner, false, X1, AsInt),
    DISTURBANCE("Y1", K::Integer, -MaxCorner, MaxCorner, false, Y1, AsInt),
    DISTURBANCE("X2", K::Integer, -MaxCorner, MaxCorner, false, X2, AsInt),
    DISTURBANCE("Y2", K::Integer, -MaxCorner, MaxCorner, false, Y2, AsInt),
    DISTURBANCE("XSize", K::Real, -MaxFootprintExtent, MaxFootprintExtent, false, XSize, AsReal),
    DISTURBANCE("XSizeDev", K::Real, -MaxFootprintExtent, MaxFootprintExtent, false, XSizeDev, AsReal),
    DISTURBANCE("YSize", K::Real, -MaxFootprintExtent, MaxFootprintExtent, false, YSize, AsReal),
    DISTURBANCE("YSizeDev", K::Real, -MaxFootprintExtent, MaxFootprintExtent, false, YSizeDev, AsReal),
    DISTURBANCE("Clipping", K::Boolean, 0, 1, false, Clipping, AsBool),
    TParameter{"Probability", K::Real, true, 0, MaxEventsPerStep, false,
               [](Model& m, int d, double v) { SetProbability(Def(m, d), v); },
               [](const Model& m, int d) { return Def(m, d).Probability[0]; }},
    TParameter{"Recurrence", K::Real, true, 0, 1e15, true,
               [](Model& m, int d, double v) {
                   TSeasonProbability p;
                   p.fill(ProbabilityForYears(Def(m, d), v));
                   CheckEventProbability(p);
                   Def(m, d).Probability = p;
               },
               [](const Model& m, int d) { return RecurrenceYears(Def(m, d), Def(m, d).Probability); }},
    DISTURBANCE("Severity", K::Real, 0, 1, false, Severity, AsReal),
    DISTURBANCE("Substrate", K::Integer, 0, 255, false, Substrate, AsByte),
    DISTURBANCE("Direction", K::Real, -TwoPi, TwoPi, false, Direction, AsReal),
    DISTURBANCE("Deviation", K::Real, -TwoPi, TwoPi, false, Deviation, AsReal),
    TParameter{"Bearing", K::Real, true, -3600, 3600, false,
               [](Model& m, int d, double v) { Def(m, d).Direction = DegToRad(CompassToMath(v)); },
               [](const Model& m, int d) { return MathToCompass(RadToDeg(Def(m, d).Direction)); }},
    TParameter{"DeviationDegrees", K::Real, true, -360, 360, false,
               [](Model& m, int d, double v) { Def(m, d).Deviation = DegToRad(v); },
               [](const Model& m, int d) { return RadToDeg(Def(m, d).Deviation); }},
    DISTURBANCE("Subevents", K::Integer, -10000, 10000, false, Subevents, AsInt),
};

const std::vector<TParameter> LandscapeTable = {
    GLOBAL("HighCapacity", K::Integer, 0, MaxCellCapacity, false, HighCapacity, AsInt),
    GLOBAL("LowCapacity", K::Integer, 0, MaxCellCapacity, false, LowCapacity, AsInt),
    GLOBAL("HighCapacityProb", K::Real, 0, 1, false, HighCapacityProb, AsReal),
};

#undef GLOBAL
#undef SPECIES
#undef DISTURBANCE

const TParameter* FindIn(const std::vector<TParameter>& table, std::string_view name)
{
    for (const TParameter& p : table)
        if (name == p.Name) return &p;
    return nullptr;
}

constexpr const char* KernelNames[] = {"exponential", "diffusion", "uniform"};
constexpr int KernelCodes[] = {1, 2, 4};

} // namespace

const std::vector<TParameter>& ParameterTable() { return Table; }

const std::vector<TParameter>& DisturbanceFieldTable() { return DisturbanceTable; }
const TParameter* FindDisturbanceField(std::string_view name) { return FindIn(DisturbanceTable, name); }
const std::vector<TParameter>& LandscapeParameterTable() { return LandscapeTable; }
const TParameter* FindLandscapeParameter(std::string_view name) { return FindIn(LandscapeTable, name); }

const TParameter* FindParameter(std::string_view name, bool perSpecies)
{
    for (const TParameter& p : Table)
        if (p.PerSpecies == perSpecies && name == p.Name) return &p;
    return nullptr;
}

TParameterColumn FindParameterColumn(std::string_view column, int speciesCount)
{
    const size_t dot = column.find('.');
    if (column.substr(0, 7) != "species" || dot == std::string_view::npos) {
        const TParameter* p = FindParameter(column, false);
        if (!p) throw Error("no global parameter is called \"" + std::string(column) + "\"");
        return {p, -1};
    }
    const std::string number(column.substr(7, dot - 7));
    int s = 0;
    if (!ParseInt(number, s) || s < 1 || s > speciesCount || number != std::to_string(s))
        throw Error(Format("species \"%s\" does not exist: the pool has species 1..%d", {number, speciesCount}));
    const std::string field(column.substr(dot + 1));
    const TParameter* p = FindParameter(field, true);
    if (!p) throw Error("no species field is called \"" + field + "\"");
    return {p, s - 1};
}

std::string ParameterColumnName(const TParameter& p, int species)
{
    return p.PerSpecies ? Format("species%d.%s", {species + 1, p.Name}) : std::string(p.Name);
}

std::string ParameterValueError(const TParameter& p, double value)
{
    const std::string name = p.Name;
    switch (p.Kind) {
    case K::Boolean:
        return value == 0 || value == 1 ? "" : name + " must be true or false";
    case K::Kernel:
        for (int code : KernelCodes)
            if (value == code) return "";
        return name + " must be \"exponential\", \"diffusion\" or \"uniform\"";
    case K::Integer:
        if (value != std::trunc(value)) return name + " must be a whole number";
        break;
    case K::Real:
        if (!std::isfinite(value)) return name + " must be a finite number";
        break;
    }
    const bool inside = p.OpenRange ? value > p.Min && value < p.Max : value >= p.Min && value <= p.Max;
    if (inside) return "";
    if (p.OpenRange) return name + " must lie strictly between " + ShortestText(p.Min) + " and " + ShortestText(p.Max);
    return name + " must be " + ShortestText(p.Min) + ".." + ShortestText(p.Max);
}

std::string ParameterValueText(const TParameter& p, double value)
{
    switch (p.Kind) {
    case K::Boolean:
        return value != 0 ? "true" : "false";
    case K::Kernel:
        for (size_t i = 0; i < std::size(KernelCodes); ++i)
            if (value == KernelCodes[i]) return KernelNames[i];
        return ShortestText(value);
    case K::Integer:
    case K::Real:
        break;
    }
    return ShortestText(value);
}

bool ParseKernelName(std::string_view text, double& code)
{
    for (size_t i = 0; i < std::size(KernelNames); ++i)
        if (text == KernelNames[i]) {
            code = KernelCodes[i];
            return true;
        }
    return false;
}

} // namespace marovi
