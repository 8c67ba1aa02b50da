#include "model/status_line.h"

#include "model/model.h"
#include "util/format.h"

namespace marovi {

TSpeciesCounts GuildVector(const Model& m)
{
    TSpeciesCounts guilds{};
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        const int g = m.SpeciesPool[static_cast<size_t>(s)].Guild;
        if (m.StepAbundance[static_cast<size_t>(s)] > 0 && g >= 0 && g < MaxSpecies) guilds[static_cast<size_t>(g)] += 1;
    }
    return guilds;
}

std::string StatusLine(const Model& m)
{
    const std::string S(1, m.Separator);
    std::string line = Format("%6.6d", {m.TimeStep}) + S;
    line += Format("%8.2f", {m.DiversityFunc(m, m.StepAbundance)}) + S;
    line += Format("%8.2f", {m.DiversityFunc(m, GuildVector(m))}) + S;
    line += Format("%10d", {m.DisturbanceEventCount}) + S;
    line += Format("%10d", {m.DisturbedCellCount}) + S;
    // SpeciesMax counts followed by a separator, then the last one without.
    for (int s = 0; s < m.SpeciesMax; ++s) line += Format("%8d", {m.StepAbundance[static_cast<size_t>(s)]}) + S;
    line += Format("%8d", {m.StepAbundance[static_cast<size_t>(m.SpeciesMax > 0 ? m.SpeciesMax : 0)]});
    return line;
}

std::string StatusHeader(const Model& m)
{
    const std::string S(1, m.Separator);
    std::string header = "timestep" + S + m.DiversityName + "(species)" + S + m.DiversityName + "(guild)" + S +
                         "Count" + S + "Area " + S;
    return header + SpeciesColumnLabels(m.SpeciesMax + 1);
}

std::string SpeciesColumnLabels(int count)
{
    std::string labels;
    for (int s = 0; s < count; ++s) labels += Format("-------%2d", {s + 1});
    return labels;
}

std::string ExtinctionTimesText(const Model& m)
{
    std::string text = "extinction time :\r\r";
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        const std::string& name = m.SpeciesPool[static_cast<size_t>(s)].Name;
        const int32_t step = m.ExtinctionStep[static_cast<size_t>(s)];
        text += "\r";
        text += step > 0 ? Format("%2.2d.) %-15.15s : %5.5d", {s + 1, name, step})
                         : Format("%2.2d.) %-15.15s : -----", {s + 1, name});
    }
    return text;
}

} // namespace marovi
