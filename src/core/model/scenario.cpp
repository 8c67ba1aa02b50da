#include "model/scenario.h"

#include <algorithm>
#include <cmath>

#include "disturbance/disturbance.h"
#include "files/species_record.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "model/simulation.h"
#include "model/species_pool.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

bool IsRecurrence(const TFieldValue& f) { return std::string_view(f.Field->Name) == "Recurrence"; }

// A grid of another size for a base: its disturbance definitions and flow grid stay.
void ResizeGrid(Model& m, int xdim, int ydim)
{
    std::vector<TDisturbanceDef> disturbances = std::move(m.Disturbances);
    TFlowGrid flow = std::move(m.FlowGrid);
    ReleaseGrid(m);
    CreateGrid(m, xdim, ydim);
    m.Disturbances = std::move(disturbances);
    m.FlowGrid = std::move(flow);
}

void SetPool(Model& m, const std::vector<TSpecies>& species)
{
    m.SpeciesPool = species;
    m.SpeciesMax = static_cast<int32_t>(species.size()) - 1;
    ApplyGrowthModels(m);
    UpdateAnyGlobalDrift(m);
    FitGridToPool(m);
}

void SetCells(Model& m, const TLandscapeSpec& l)
{
    for (int x = 0; x < m.XDim; ++x)
        for (int y = 0; y < m.YDim; ++y) {
            const size_t i = static_cast<size_t>(x) * static_cast<size_t>(m.YDim) + static_cast<size_t>(y);
            TCell& cell = m.Cell(x, y);
            cell.Capacity = l.Capacity[i];
            cell.Substrate = l.Substrate.empty() ? 255 : l.Substrate[i];
            cell.Individuals.reserve(static_cast<size_t>(std::clamp(cell.Capacity, 0, MaxCellCapacity)));
        }
}

void GenerateLandscape(Model& m, const TLandscapeSpec& l, int32_t seed)
{
    m.Random.SeedRandom(seed);
    switch (l.Kind) {
    case TLandscapeKind::Random: RandomLandscape(m, m.HighCapacityProb); break;
    case TLandscapeKind::Fractal:
    case TLandscapeKind::FractalDiscrete:
        FractalLandscape(m, m.HighCapacity, m.LowCapacity, l.Kind == TLandscapeKind::FractalDiscrete, m.HighCapacityProb);
        break;
    case TLandscapeKind::Image: LandscapeFromImage(m, l.Image); break;
    case TLandscapeKind::Keep:
    case TLandscapeKind::Cells: break;
    }
}

} // namespace

bool ParseLandscapeGenerator(std::string_view name, TLandscapeKind& kind)
{
    if (name == "random") kind = TLandscapeKind::Random;
    else if (name == "fractal") kind = TLandscapeKind::Fractal;
    else if (name == "fractal-discrete") kind = TLandscapeKind::FractalDiscrete;
    else return false;
    return true;
}

void SetLandscapeParameter(TLandscapeSpec& l, std::string_view name, double value)
{
    if (l.Kind == TLandscapeKind::Keep) l.Kind = TLandscapeKind::Random;
    if (name == "HighCapacity") l.HighCapacity = static_cast<int32_t>(value);
    else if (name == "LowCapacity") l.LowCapacity = static_cast<int32_t>(value);
    else l.HighCapacityProb = value;
}

std::vector<TFieldValue> DisturbanceFields(const TDisturbanceDef& d)
{
    Model m;
    m.Disturbances.push_back(d);
    std::vector<TFieldValue> fields;
    for (const char* name : {"X1", "Y1", "X2", "Y2", "XSize", "XSizeDev", "YSize", "YSizeDev", "Clipping", "Probability",
                             "Severity", "Substrate", "Direction", "Deviation", "Subevents"}) {
        const TParameter* f = FindDisturbanceField(name);
        fields.push_back({f, f->Get(m, 0)});
    }
    return fields;
}

void SetScenarioDisturbanceField(TScenario& s, size_t index, const TParameter& field, double value)
{
    std::vector<TFieldValue>& fields = s.Disturbances->at(index);
    std::erase_if(fields, [&](const TFieldValue& f) { return f.Field == &field; });
    fields.push_back({&field, value});
    // A value set on top (a sweep's) is named with the place the definition came from.
    if (index < s.DisturbanceOrigins.size())
        s.DisturbanceOrigins[index] += Format(" with %s = %s", {std::string(field.Name), ShortestText(value)});
}

void SetDisturbanceFields(Model& m, size_t index, const std::vector<TFieldValue>& fields)
{
    for (const bool recurrence : {false, true})
        for (const TFieldValue& f : fields)
            if (IsRecurrence(f) == recurrence) {
                try {
                    f.Field->Set(m, static_cast<int>(index), f.Value);
                } catch (const Error& e) {
                    throw Error(Format("disturbance %d: %s", {static_cast<long long>(index + 1), std::string(e.what())}));
                }
            }
}

std::vector<TDisturbanceDef> BuildDisturbances(const Model& m, const std::vector<std::vector<TFieldValue>>& defs,
                                               const std::vector<std::string>& origins)
{
    Model scratch;
    scratch.XMax = m.XMax;
    scratch.YMax = m.YMax;
    for (size_t i = 0; i < defs.size(); ++i) {
        AddStandardDisturbance(scratch);
        try {
            SetDisturbanceFields(scratch, i, defs[i]);
        } catch (const Error& e) {
            // The grid decides what a recurrence asks for, so the value is checked only here.
            if (i < origins.size()) throw Error(origins[i] + ": " + e.what());
            throw;
        }
    }
    return scratch.Disturbances;
}

int32_t StartScenario(Model& m, bool loaded, const TScenario& s, std::optional<int32_t> seed, int32_t clockSeed,
                      int gridW, int gridH, const std::function<void(Model&)>& adjust)
{
    const int32_t stored = s.RandomSeed ? *s.RandomSeed : loaded ? m.RandomSeed : 0;
    // RandomSeed 0 stands for the clock; a given seed 0 is used as it is all the same.
    const int32_t used = seed ? *seed : stored != 0 ? stored : clockSeed;
    const TLandscapeSpec& l = s.Landscape;
    if (l.GridW > 0) gridW = l.GridW, gridH = l.GridH;
    if (!loaded) InitStartupModel(m, used, gridW, gridH);
    else if (l.GridW > 0 && (l.GridW != m.XDim || l.GridH != m.YDim)) ResizeGrid(m, l.GridW, l.GridH);

    if (s.Species) SetPool(m, *s.Species);
    if (s.Flow) m.FlowGrid = *s.Flow;
    if (s.States) m.StateDefs = *s.States;
    if (s.Disturbances) m.Disturbances = BuildDisturbances(m, *s.Disturbances, s.DisturbanceOrigins);
    for (const TFieldValue& g : s.Globals) g.Field->Set(m, -1, g.Value);
    if (s.Separator) m.Separator = *s.Separator;
    if (s.RandomSeed) m.RandomSeed = *s.RandomSeed;
    if (s.ReservedFlag) m.ReservedFlag = *s.ReservedFlag;
    if (s.FlowDirection) m.FlowDirection = *s.FlowDirection;
    if (s.FlowDeviation) m.FlowDeviation = *s.FlowDeviation;
    if (l.HighCapacity) m.HighCapacity = *l.HighCapacity;
    if (l.LowCapacity) m.LowCapacity = *l.LowCapacity;
    if (l.HighCapacityProb) m.HighCapacityProb = *l.HighCapacityProb;
    if (l.Kind == TLandscapeKind::Cells) SetCells(m, l);

    if (adjust) adjust(m);
    if (l.Generated()) GenerateLandscape(m, l, used);
    if (seed) m.RandomSeed = *seed;
    NewSimulationModel(m, used);
    return used;
}

} // namespace marovi
