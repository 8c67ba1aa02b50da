#include "model/species_editor.h"

#include <algorithm>
#include <cmath>

#include "colours/hsl.h"
#include "model/grid_properties.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "model/species_pool.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

TSpecies& Species(Model& m, int s)
{
    if (s < 0 || s > m.SpeciesMax) throw Error("species number out of range!");
    return m.SpeciesPool[static_cast<size_t>(s)];
}

const TSpecies& Species(const Model& m, int s)
{
    if (s < 0 || s > m.SpeciesMax) throw Error("species number out of range!");
    return m.SpeciesPool[static_cast<size_t>(s)];
}

std::string ReproSyncText(const TSpecies& sp) { return Format("%5.2f", {(1 - sp.ReproAsync) * 100}); }

// The parameter of the program's table behind a field, with the caption the editor shows.
struct TFieldParameter {
    const char* Name;
    const char* Caption;
};

TFieldParameter FieldParameter(TSpeciesField field)
{
    switch (field) {
    case TSpeciesField::FirstReproduction: return {"FirstReproduction", "first Reproduction"};
    case TSpeciesField::ReproInterval: return {"ReproInterval", "Reproduction interval"};
    case TSpeciesField::MaxLifespan: return {"MaxLifespan", "max live span"};
    case TSpeciesField::DispersalDistance: return {"DispersalDistance", "dispersal distance"};
    case TSpeciesField::PatchSize: return {"PatchSize", "dispersal patch size"};
    case TSpeciesField::MaxSize: return {"MaxSize", "max size"};
    case TSpeciesField::KFactor: return {"KFactor", "kfactor"};
    case TSpeciesField::Name:
    case TSpeciesField::ReproSync: break;
    }
    return {"", ""};
}

// Refuses a value outside the parameter's range with the field's caption in the message,
// naming the value that stays, if any.
void CheckRange(const TParameter& p, const char* caption, double value, std::optional<double> kept = std::nullopt)
{
    std::string error = ParameterValueError(p, value);
    if (error.empty()) return;
    error.replace(0, std::string_view(p.Name).size(), std::string("\"") + caption + "\"");
    throw Error(error + (kept ? " (" + ShortestText(*kept) + " kept)!" : "!"));
}

// Reads a number for the parameter: an integer or a finite real by its kind.
bool ParseFor(const TParameter& p, std::string_view text, double& value)
{
    if (p.Kind == TParameterKind::Integer) {
        int i = 0;
        if (!ParseInt(text, i)) return false;
        value = i;
        return true;
    }
    return ParseFiniteReal(text, value);
}

// Sets a numeric field from typed text through the program's parameter table.
bool SetNumericField(Model& m, int s, const TFieldParameter& f, std::string_view text)
{
    const TParameter& p = *FindParameter(f.Name, true);
    double v = 0;
    if (!ParseFor(p, text, v)) return false;
    CheckRange(p, f.Caption, v, p.Get(m, s));
    p.Set(m, s, v);
    return true;
}

} // namespace

const std::array<const char*, SpeciesListColumnCount> SpeciesListColumns = {
    "Name", "Fecundity", "first reproduction", "reproduction interval", "max size", "dispersal distance",
    "dispersal patch size", "global drift", "normal live span", "max live span", "death probability", "reprod.sync",
    "kfactor",
};

std::array<std::string, SpeciesListColumnCount> SpeciesRowTexts(const Model& m, int s)
{
    const TSpecies& sp = Species(m, s);
    const double kFactor = m.SpeciesKFactor ? sp.KFactor : m.GlobalKFactor;
    return {
        sp.Name,
        Format("%5.2f", {sp.Fecundity[0]}),
        std::to_string(sp.FirstReproduction),
        std::to_string(sp.ReproInterval),
        ShortestText(sp.MaxSize),
        ShortestText(sp.DispersalDistance),
        ShortestText(sp.PatchSize),
        sp.GlobalDrift ? "drift" : " --- ",
        std::to_string(sp.NormalLifespan),
        std::to_string(sp.MaxLifespan),
        Format("%5.3f", {sp.DeathProb[0]}),
        ReproSyncText(sp),
        Format("%5.3f", {kFactor}),
    };
}

std::string GuildName(int guild)
{
    static const char* const names[] = {"*", "R0", "R1", "R2", "UD"};
    if (guild >= 0 && guild <= 4) return names[guild];
    return std::to_string(guild);
}

TSpeciesFields SpeciesFieldsOf(const Model& m, int s)
{
    const TSpecies& sp = Species(m, s);
    TSpeciesFields f;
    f.Name = sp.Name;
    f.FirstReproduction = std::to_string(sp.FirstReproduction);
    f.ReproInterval = std::to_string(sp.ReproInterval);
    f.NormalLifespan = std::to_string(sp.NormalLifespan);
    f.MaxLifespan = std::to_string(sp.MaxLifespan);
    f.DispersalDistance = ShortestText(sp.DispersalDistance);
    f.PatchSize = ShortestText(sp.PatchSize);
    f.MaxSize = ShortestText(sp.MaxSize);
    f.GlobalDrift = sp.GlobalDrift;
    f.Colour = m.SpeciesColor[static_cast<size_t>(s)];
    f.PovShape = m.SpeciesPovShape[static_cast<size_t>(s)];
    f.Guild = GuildName(sp.Guild);
    f.GrowthModel = sp.GrowthModel;
    f.ShowGrowthK = sp.GrowthModel == 1;
    if (f.ShowGrowthK) f.GrowthK = Format("%5.3f", {sp.GrowthK});
    f.ShowKFactor = m.SpeciesKFactor;
    if (f.ShowKFactor) f.KFactor = Format("%5.3f", {sp.KFactor});
    f.GrowsOn = sp.GrowsOn & 0xFF;
    f.ChangesSubstrate = sp.ChangesSubstrate & 0xFF;
    f.ReproSync = ReproSyncText(sp);
    return f;
}

TPoolFields PoolFieldsOf(const Model& m)
{
    TPoolFields f;
    f.SpeciesCount = std::to_string(m.SpeciesMax + 1);
    f.ExternalDriftProb = Format("%3.2f", {m.ExternalDriftProb});
    f.MaxDriftLarvae = std::to_string(m.MaxDriftLarvae);
    f.ProportionalDrift = m.ProportionalDrift;
    f.OnlyGlobalDrift = m.OnlyGlobalDrift;
    return f;
}

void TakeShownPoolFields(Model& m, const TPoolFields& shown)
{
    m.ExternalDriftProb = ConvertReal(shown.ExternalDriftProb);
    m.MaxDriftLarvae = ConvertInt(shown.MaxDriftLarvae);
}

bool SetSpeciesField(Model& m, int s, TSpeciesField field, std::string_view text)
{
    TSpecies& sp = Species(m, s);
    if (field == TSpeciesField::Name) {
        sp.Name = std::string(text.substr(0, NameLength));
        return true;
    }
    if (field == TSpeciesField::ReproSync) {
        double v = 0;
        if (!ParseFiniteReal(text, v)) return false;
        sp.ReproAsync = 1 - std::clamp(v, 0.0, 100.0) / 100;
        return true;
    }
    return SetNumericField(m, s, FieldParameter(field), text);
}

std::optional<int> NormalLifespanChange(const Model& m, int s, std::string_view text)
{
    const TSpecies& sp = Species(m, s);
    int v = 0;
    if (!ParseInt(text, v) || v == sp.NormalLifespan) return std::nullopt;
    CheckRange(*FindParameter("NormalLifespan", true), "normal live span", v, sp.NormalLifespan);
    return v;
}

void SetSeasonValues(Model& m, int s, bool deathProbability, const std::array<double, SeasonsPerYear>& values)
{
    TSpecies& sp = Species(m, s);
    const TParameter& p = *FindParameter(deathProbability ? "DeathProb" : "Fecundity", true);
    std::array<double, SeasonsPerYear>& field = deathProbability ? sp.DeathProb : sp.Fecundity;
    for (size_t i = 0; i < values.size(); ++i)
        CheckRange(p, deathProbability ? "death propability" : "fecundity", values[i], field[i]);
    field = values;
}

void StandardSpeciesValues(Model& m, int s)
{
    const TSpecies& sp = Species(m, s);
    CheckRange(*FindParameter("NormalLifespan", true), "normal live span", sp.NormalLifespan);
    StandardValues(m, s);
}

void StepGuild(Model& m, int s, int direction)
{
    TSpecies& sp = Species(m, s);
    if (direction > 0) sp.Guild = static_cast<int8_t>(std::min(sp.Guild + 1, 4));
    if (direction < 0) sp.Guild = static_cast<int8_t>(std::max(sp.Guild - 1, 0));
}

int SetPovShape(Model& m, int s, int shape)
{
    Species(m, s);
    const int v = std::clamp(shape, 0, MaxSpecies - 1);
    m.SpeciesPovShape[static_cast<size_t>(s)] = v;
    return v;
}

void SetSpeciesColour(Model& m, int s, uint32_t colour, bool alsoRecord)
{
    TSpecies& sp = Species(m, s);
    m.SpeciesColor[static_cast<size_t>(s)] = colour & 0xFFFFFF;
    if (alsoRecord) sp.Color = static_cast<int32_t>(SwapRedBlue(colour));
}

void StoreSpeciesColours(Model& m)
{
    for (size_t s = 0; s < m.SpeciesPool.size(); ++s)
        m.SpeciesPool[s].Color = static_cast<int32_t>(SwapRedBlue(m.SpeciesColor[s]));
}

void SetExternalDriftProb(Model& m, std::string_view text)
{
    const double v = ConvertReal(text);
    CheckRange(*FindParameter("ExternalDriftProb", false), "probabillity for external larvae drift", v, m.ExternalDriftProb);
    m.ExternalDriftProb = v;
}

void SetMaxDriftLarvae(Model& m, std::string_view text)
{
    const int v = ConvertInt(text);
    CheckRange(*FindParameter("MaxDriftLarvae", false), "max larvae per drift event", v, m.MaxDriftLarvae);
    m.MaxDriftLarvae = v;
}

int NewPoolSize(std::string_view text)
{
    const int n = ConvertInt(text);
    if (n > MaxSpecies) throw Error(Format("Can not create more then %d different species!", {MaxSpecies - 1}));
    // An empty pool has no species to show or to fill a grid with.
    if (n < 1) throw Error(Format("a pool needs at least 1 species (%d asked)!", {n}));
    return n;
}

std::string SisterName(const Model& m, int s) { return Format("%s %d", {Species(m, s).Name, m.SpeciesMax + 1}); }

double VariationFactor(std::string_view text)
{
    double v = 0;
    if (!ParseFiniteReal(text, v)) return 0.0;
    // Larger spreads give fecundities and lifespans that no time step could finish.
    if (std::fabs(v) > MaxVariationFactor)
        throw Error(Format("a variation factor of %s is too large (at most %d)!", {ShortestText(v), MaxVariationFactor}));
    return v;
}

} // namespace marovi
