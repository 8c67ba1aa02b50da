#include "widgets/species_names.h"

#include "model/model.h"

namespace marovi::app {

QStringList SpeciesNames(const Model& m)
{
    QStringList names;
    for (int s = 0; s <= m.SpeciesMax; ++s) names << QString::fromStdString(m.SpeciesPool[static_cast<size_t>(s)].Name);
    return names;
}

} // namespace marovi::app
