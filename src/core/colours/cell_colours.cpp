#include "colours/cell_colours.h"

#include <cmath>

#include "analysis/indices.h"
#include "analysis/states.h"
#include "colours/hsl.h"
#include "landscape/landscape.h"
#include "model/model.h"

namespace marovi {
namespace {

// Counts of the cell's individuals of at least MinSize, by species or by guild.
TSpeciesCounts SizedCounts(const Model& m, int x, int y, bool byGuild)
{
    TSpeciesCounts c{};
    for (const TIndividual& ind : m.Cell(x, y).Individuals) {
        if (!(ind.Size >= m.MinSize)) continue;
        int k = byGuild ? m.SpeciesPool[static_cast<size_t>(ind.Species)].Guild : ind.Species;
        if (k >= 0 && k < MaxSpecies) c[static_cast<size_t>(k)] += 1;
    }
    return c;
}

uint32_t DominanceColour(const Model& m, const TSpeciesCounts& counts, int used)
{
    TUniqueMax top = UniqueMaxIndex(counts, used);
    return top.Found ? m.SpeciesColor[static_cast<size_t>(top.Index)] : clSilver;
}

int SpeciesSlot(int species) { return species < 0 ? 0 : species >= MaxSpecies ? MaxSpecies - 1 : species; }

} // namespace

bool ParseDisplayMode(std::string_view name, TDisplayMode& mode)
{
    struct Entry { std::string_view Name; TDisplayMode Mode; };
    static constexpr Entry names[] = {
        {"none", TDisplayMode::None},         {"dominance", TDisplayMode::Dominance},
        {"abundance", TDisplayMode::Abundance}, {"states", TDisplayMode::States},
        {"guild", TDisplayMode::Guild},       {"evenness", TDisplayMode::Evenness},
        {"turnover", TDisplayMode::Turnover}, {"disturbance", TDisplayMode::Disturbance},
        {"capacity", TDisplayMode::Capacity},
    };
    for (const Entry& e : names)
        if (e.Name == name) {
            mode = e.Mode;
            return true;
        }
    return false;
}

TUniqueMax UniqueMaxIndex(const TSpeciesCounts& counts, int used)
{
    TUniqueMax r{true, 0};
    int32_t best = counts[0];
    for (int i = 1; i < used; ++i) {
        int32_t v = counts[static_cast<size_t>(i)];
        if (v > best) {
            best = v;
            r = TUniqueMax{true, i};
        } else if (v == best) {
            r.Found = false;
        }
    }
    // The zeros after `used` tie with a largest count of 0.
    if (used < MaxSpecies && best == 0) r.Found = false;
    return r;
}

uint32_t AbundanceColor(const Model& m, int species, int count, double reference)
{
    if (count < 1) return clSilver;
    THsl hsl = RGBtoHSL(m.SpeciesColor[static_cast<size_t>(SpeciesSlot(species))]);
    double s = hsl.S * count * 0.75 / reference;
    // Beyond the full saturation (many larvae, a small reference) the colour stays the species' own.
    if (!(s > 0)) s = 0;
    if (s > 1) s = 1;
    return HSLtoRGB(hsl.H, s, hsl.L);
}

double CellEvenness(const Model& m, int x, int y)
{
    const TCell& cell = m.Cell(x, y);
    if (cell.IndividualCount < 2) return 0;
    return HillNumber(m, ToSpeciesCounts(cell.Abundance), 1) / std::log(static_cast<double>(cell.IndividualCount));
}

uint32_t TurnoverColor(const Model& m, int disturbances)
{
    double v = disturbances < 1 ? 10.0 : -std::log(static_cast<double>(disturbances) / m.TimeStep) / 9.2;
    double hue = v <= 0 ? 1.0 : v <= 1 ? 0.95 * v : 0.95;
    return HSLtoRGB(hue, 0.5, 0.5);
}

uint32_t DisturbanceAgeColor(int age, int maxDisturbanceAge)
{
    if (age >= maxDisturbanceAge) return clSilver;
    return HSLtoRGB(0, 1 - static_cast<double>(age) / maxDisturbanceAge, 0.6);
}

uint32_t CellColour(const Model& m, TDisplayMode mode, bool larvae, int x, int y, const TColourSettings& settings)
{
    const TCell& cell = m.Cell(x, y);
    const int s = SpeciesSlot(settings.Species);
    switch (mode) {
    case TDisplayMode::None: return clSilver;
    case TDisplayMode::Dominance:
        if (larvae) return DominanceColour(m, ToSpeciesCounts(m.PrevLarvaeAt(x, y)), MaxSpecies);
        // Individuals belong to the pool's species: the slots after them stay empty.
        return DominanceColour(m, SizedCounts(m, x, y, false), m.SpeciesMax + 1);
    case TDisplayMode::Abundance:
        if (larvae) return AbundanceColor(m, s, m.PrevLarvaeAt(x, y)[static_cast<size_t>(s)], 60);
        return AbundanceColor(m, s, cell.Abundance[static_cast<size_t>(s)], m.CapacityScaleMax);
    case TDisplayMode::States: return StateColor(CellState(m, x, y));
    case TDisplayMode::Guild: {
        TUniqueMax top = UniqueMaxIndex(SizedCounts(m, x, y, true));
        return top.Found ? StateColor(top.Index) : clSilver;
    }
    case TDisplayMode::Evenness: return HSLtoRGB((1 - CellEvenness(m, x, y)) * 0.95, 0.5, 0.5);
    case TDisplayMode::Turnover: return TurnoverColor(m, cell.DisturbanceCount);
    case TDisplayMode::Disturbance: return DisturbanceAgeColor(cell.CellAge, settings.MaxDisturbanceAge);
    case TDisplayMode::Capacity: return CapacityColour(m, cell.Capacity);
    }
    return clSilver;
}

} // namespace marovi
