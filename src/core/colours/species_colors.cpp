#include "colours/species_colors.h"

#include "colours/hsl.h"
#include "model/model.h"

namespace marovi {

void InitSpeciesColors(Model& m)
{
    const int n = m.SpeciesMax;
    for (int s = 0; s <= n && s < MaxSpecies; ++s) {
        uint32_t c = HSLtoRGB(static_cast<double>(s) / (n + 1) * 0.95, 1.0, 0.5);
        m.SpeciesColor[static_cast<size_t>(s)] = c;
        m.SpeciesPool[static_cast<size_t>(s)].Color = static_cast<int32_t>(SwapRedBlue(c));
    }
    for (int s = 0; s < MaxSpecies; ++s) m.SpeciesPovShape[static_cast<size_t>(s)] = s;
}

void AdoptSpeciesColors(Model& m)
{
    if (m.SpeciesPool.empty() || m.SpeciesPool[0].Color == 0) {
        InitSpeciesColors(m);
        return;
    }
    for (size_t s = 0; s < m.SpeciesPool.size() && s < MaxSpecies; ++s)
        m.SpeciesColor[s] = SwapRedBlue(static_cast<uint32_t>(m.SpeciesPool[s].Color));
}

} // namespace marovi
