#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/state_def.h"
#include "disturbance/disturbance_def.h"
#include "landscape/flow_grid.h"
#include "landscape/landscape.h"
#include "model/types.h"

namespace marovi {
struct Model;
struct TParameter;

// How a new start gets its landscape.
enum class TLandscapeKind {
    Keep,            // the base's, or the start-up state's random landscape
    Random,          // two-level random (RandomLandscape with HighCapacityProb)
    Fractal,         // fractal, continuous levels
    FractalDiscrete, // fractal, two levels
    Image,           // grey values of an image
    Cells,           // capacity (and substrate) given cell by cell
};

struct TLandscapeSpec {
    TLandscapeKind Kind = TLandscapeKind::Keep;
    int GridW = 0, GridH = 0; // 0: the base's size, or the caller's start-up size
    std::optional<int32_t> HighCapacity, LowCapacity;
    std::optional<double> HighCapacityProb;
    TGreyImage Image;                // Kind Image
    std::vector<int32_t> Capacity;   // Kind Cells, x-major: x * GridH + y
    std::vector<uint32_t> Substrate; // Kind Cells; empty: 255 everywhere
    bool Generated() const
    {
        return Kind == TLandscapeKind::Random || Kind == TLandscapeKind::Fractal ||
               Kind == TLandscapeKind::FractalDiscrete || Kind == TLandscapeKind::Image;
    }
};

// "random", "fractal" or "fractal-discrete" as its kind; false for other texts.
bool ParseLandscapeGenerator(std::string_view name, TLandscapeKind& kind);
// Sets a landscape parameter of the landscape table (HighCapacity, LowCapacity,
// HighCapacityProb); a landscape kept as it is becomes a random one, which they make.
void SetLandscapeParameter(TLandscapeSpec& l, std::string_view name, double value);

// A field of a table (parameter, species or disturbance field) with a value.
struct TFieldValue {
    const TParameter* Field = nullptr;
    double Value = 0;
};

// Everything a new start is made of besides its seed and the individuals of the fill:
// what a scenario file, a sweep plan or the options of "new" give. Parts left empty come
// from the base (a saved simulation) or the start-up state.
struct TScenario {
    std::string Name;
    std::string BaseFile; // a saved simulation to start from, or empty for the start-up state
    std::optional<std::vector<TSpecies>> Species;
    // Each definition as fields over the "standard" definition of the grid; Recurrence
    // is set after the others, from them.
    std::optional<std::vector<std::vector<TFieldValue>>> Disturbances;
    // Where each definition was given ("file:line", or the definition file), for messages.
    std::vector<std::string> DisturbanceOrigins;
    std::optional<TFlowGrid> Flow;
    std::optional<TStateDef> States;
    TLandscapeSpec Landscape;
    std::vector<TFieldValue> Globals; // global parameters, in the order given
    std::optional<char> Separator;
    std::optional<int32_t> RandomSeed;
    std::optional<bool> ReservedFlag;
    std::optional<double> FlowDirection, FlowDeviation;
    // Every file read for it and its SHA-256, for the provenance of what it produces.
    std::vector<std::pair<std::string, std::string>> Inputs;
};

// Every field of a definition, to give a whole definition as fields.
std::vector<TFieldValue> DisturbanceFields(const TDisturbanceDef& d);
// Sets a field of definition `index` (0-based) in the scenario; a later value wins.
void SetScenarioDisturbanceField(TScenario& s, size_t index, const TParameter& field, double value);
// The definitions the fields make on the model's grid, Recurrence last in each; a refused
// value names the definition and, where known, where it was given.
std::vector<TDisturbanceDef> BuildDisturbances(const Model& m, const std::vector<std::vector<TFieldValue>>& defs,
                                               const std::vector<std::string>& origins = {});
// Sets fields of the model's definitions (a sweep's values on a base's list), Recurrence last.
void SetDisturbanceFields(Model& m, size_t index, const std::vector<TFieldValue>& fields);

// The model of a new start ("new"): the base (m as it is when `loaded`, else the start-up
// state of the scenario's grid size, or gridW x gridH), the scenario's parts, then `adjust`
// (values set on top), then the landscape when the scenario generates one, then the new
// start. The seed of the start and of a generated landscape is `seed` when given, else the
// scenario's or the base's RandomSeed, else clockSeed; it is returned.
int32_t StartScenario(Model& m, bool loaded, const TScenario& s, std::optional<int32_t> seed, int32_t clockSeed,
                      int gridW, int gridH, const std::function<void(Model&)>& adjust = {});

} // namespace marovi
