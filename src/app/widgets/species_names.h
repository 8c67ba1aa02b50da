#pragma once
#include <QStringList>

namespace marovi {
struct Model;
}

namespace marovi::app {

// The names of the pool's species, species 1 first: the items of a species list or box.
QStringList SpeciesNames(const Model& m);

} // namespace marovi::app
