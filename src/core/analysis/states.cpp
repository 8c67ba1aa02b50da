#include "analysis/states.h"

#include "model/model.h"

namespace marovi {

void ResetStateDefs(TStateDef& defs)
{
    for (int k = 0; k < StateCount; ++k)
        for (int g = 0; g < GuildCount; ++g) {
            bool own = (g == k + 1);
            defs.Criteria[k][g] = TStateCriterion{own, own ? 0.5 : 0.0, own ? 1.0 : 0.0};
        }
}

int CellState(const Model& m, int x, int y)
{
    int count[GuildCount] = {};
    int n = 0;
    for (const TIndividual& ind : m.Cell(x, y).Individuals) {
        if (!(ind.Size > m.MinSize)) continue;
        int g = m.SpeciesPool[static_cast<size_t>(ind.Species)].Guild;
        if (g >= 0 && g < GuildCount) ++count[g];
        ++n;
    }
    if (n == 0) return 0;
    double p[GuildCount];
    for (int g = 0; g < GuildCount; ++g) p[g] = static_cast<double>(count[g]) / n;
    for (int k = 1; k <= StateCount; ++k) {
        bool match = true;
        for (int g = 0; g < GuildCount && match; ++g) {
            const TStateCriterion& c = m.StateDefs.Criteria[k - 1][g];
            if (c.consider && !(c.min <= p[g] && p[g] <= c.max)) match = false;
        }
        if (match) return k;
    }
    return 0;
}

std::string StateName(int k)
{
    switch (k) {
    case 1: return "R0";
    case 2: return "R1";
    case 3: return "R2";
    case 4: return "UD";
    default: return "unknown";
    }
}

uint32_t StateColor(int k)
{
    switch (k) {
    case 1: return 0xFF0000;
    case 2: return 0xFFFF00;
    case 3: return 0x008000;
    case 4: return 0x0000FF;
    default: return 0xC0C0C0;
    }
}

} // namespace marovi
