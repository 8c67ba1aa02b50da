#include "view/view_texts.h"

#include "model/model.h"
#include "util/format.h"

namespace marovi {

std::string ViewCaption(const Model& m)
{
    return Format("MAROVI timestep %-8d (%2.2d/%5.5d month/year) file %s", {m.TimeStep, m.Season, m.SeasonYear, m.FileName});
}

std::string SnapshotName(const std::string& directory, const std::string& stem, int timeStep, const char* extension)
{
    return Format("%s%s%6.6d", {directory, stem, timeStep}) + extension;
}

std::string SceneName(const std::string& stem, int timeStep) { return Format("%s%6.6d.pov", {stem, timeStep}); }

} // namespace marovi
