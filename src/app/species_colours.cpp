#include "species_colours.h"

#include <array>

#include "model/model.h"

namespace marovi::app {

QColor SpeciesQColor(const Model& m, int species)
{
    static constexpr std::array<QRgb, 12> palette = {
        0xe6194b, 0x3cb44b, 0x4363d8, 0xf58231, 0x911eb4, 0x42d4f4,
        0xf032e6, 0x9a6324, 0x469990, 0x800000, 0x808000, 0x000075,
    };
    const int32_t stored = m.SpeciesPool[static_cast<size_t>(species)].Color;
    if (stored != 0) return QColor(stored & 0xff, (stored >> 8) & 0xff, (stored >> 16) & 0xff);
    return QColor(palette[static_cast<size_t>(species) % palette.size()]);
}

} // namespace marovi::app
