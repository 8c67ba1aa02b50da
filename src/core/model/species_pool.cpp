#include "model/species_pool.h"

#include <cmath>
#include <utility>

#include "model/grid.h"
#include "model/model.h"
#include "model/species_moves.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

int CreateSpeciesPool(Model& m, int count)
{
    if (count > MaxSpecies) throw Error(Format("Can not create more then %d different species!", {MaxSpecies - 1}));
    if (count < 0) count = 0;
    m.SpeciesPool.resize(static_cast<size_t>(count));
    m.SpeciesMax = count - 1;
    for (int i = 0; i < count; ++i) {
        TSpecies& s = m.SpeciesPool[static_cast<size_t>(i)];
        s.Name = Format("Species %.2d", {i + 1}).substr(0, NameLength);
        s.DispersalDistance = i + 1;
        s.PatchSize = 2.0;
        s.NormalLifespan = 30;
        s.MaxLifespan = 150;
        s.MaxSize = 1.0;
        s.ReproInterval = 1;
        s.FirstReproduction = 0;
        s.GrowsOn = 1;
        s.ChangesSubstrate = 0;
        s.GlobalDrift = false;
        s.Guild = 0;
        s.KFactor = 0.0;
        s.Fecundity[0] = 200.0 / s.NormalLifespan;
        s.DeathProb[0] = std::log(1 / 0.01) / s.NormalLifespan;
    }
    return FitGridToPool(m);
}

void AddSisterSpecies(Model& m, int source, const std::string& name)
{
    if (m.SpeciesMax >= MaxSpecies - 1) throw Error("max. species count reached, can not add an other one!");
    if (source < 0 || source > m.SpeciesMax) throw Error("species number out of range!");
    TSpecies copy = m.SpeciesPool[static_cast<size_t>(source)];
    copy.Name = name.substr(0, NameLength);
    m.SpeciesPool.push_back(std::move(copy));
    m.SpeciesMax = static_cast<int32_t>(m.SpeciesPool.size()) - 1;
    FitGridToPool(m);
    m.GrowthFunc[static_cast<size_t>(m.SpeciesMax)] = m.GrowthFunc[static_cast<size_t>(source)];
}

TPoolEdit SwapSpecies(Model& m, int first, int second)
{
    if (first < 0 || first > m.SpeciesMax) throw Error("first species number out of range!");
    if (second < 0 || second > m.SpeciesMax) throw Error("second species number out of range!");
    std::swap(m.SpeciesPool[static_cast<size_t>(first)], m.SpeciesPool[static_cast<size_t>(second)]);
    TPoolEdit edit{KeptSpecies(m.SpeciesMax + 1), 0};
    std::swap(edit.Moves[static_cast<size_t>(first)], edit.Moves[static_cast<size_t>(second)]);
    edit.Removed = FollowSpeciesMoves(m, edit.Moves);
    return edit;
}

TPoolEdit DeleteSpecies(Model& m, int index)
{
    if (index < 0 || index > m.SpeciesMax) throw Error("species number out of range!");
    TPoolEdit edit{KeptSpecies(m.SpeciesMax + 1), 0};
    edit.Moves[static_cast<size_t>(index)] = -1;
    for (int s = index + 1; s <= m.SpeciesMax; ++s) edit.Moves[static_cast<size_t>(s)] = s - 1;
    m.SpeciesPool.erase(m.SpeciesPool.begin() + index);
    m.SpeciesMax = static_cast<int32_t>(m.SpeciesPool.size()) - 1;
    edit.Removed = FollowSpeciesMoves(m, edit.Moves);
    return edit;
}

void StandardValues(Model& m, int index)
{
    if (index < 0 || index > m.SpeciesMax) throw Error("species number out of range!");
    TSpecies& s = m.SpeciesPool[static_cast<size_t>(index)];
    s.Fecundity[0] = 200.0 / s.NormalLifespan;
    s.DeathProb[0] = std::log(1 / 0.01) / s.NormalLifespan;
    s.FirstReproduction = static_cast<int32_t>(std::nearbyint(s.NormalLifespan * 0.2));
    s.PatchSize = 5.0 * std::sqrt((1 + s.DispersalDistance) * 0.12);
}

int ClearSpeciesPool(Model& m)
{
    m.SpeciesPool.clear();
    m.SpeciesMax = -1;
    return FitGridToPool(m);
}

void UpdateAnyGlobalDrift(Model& m)
{
    m.AnyGlobalDrift = false;
    for (const TSpecies& s : m.SpeciesPool)
        if (s.GlobalDrift) m.AnyGlobalDrift = true;
}

} // namespace marovi
