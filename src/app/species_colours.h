#pragma once
#include <QColor>

namespace marovi {
struct Model;
}

namespace marovi::app {

// The display colour of a species: its stored colour (a Windows colour value, red in the
// lowest byte), or one of a fixed set of distinct colours while none is stored.
QColor SpeciesQColor(const Model& m, int species);

} // namespace marovi::app
