#include "analysis/chart_texts.h"

#include "analysis/indices.h"
#include "analysis/states.h"
#include "model/model.h"
#include "util/format.h"

namespace marovi {

std::string AnalysisCaption(const Model& m) { return Format("file %s", {m.FileName}); }

std::string ClusterHistogramAxisTitle(const Model& m, bool sizes) { return sizes ? "size [cells]" : m.DiversityName; }
std::string ClusterHistogramSeriesTitle(double mean) { return Format("cluster, average=%4.2f", {mean}); }
std::string ClusterHistogramMeanLabel(double mean) { return Format("%4.2f", {mean}); }

std::string SlidingBoxTitle(const Model& m, bool reciprocal) { return m.DiversityName + (reciprocal ? "^-1" : ""); }

std::vector<std::string> RankChartTitle(const Model& m, bool showFileName)
{
    std::vector<std::string> lines{"rank abundance plot"};
    if (showFileName) lines.push_back(AnalysisCaption(m));
    return lines;
}

std::string TransectChartTitle(const Model& m, TTransectChart mode)
{
    switch (mode) {
    case TTransectChart::Species: return "species along the virtual ROV transect";
    case TTransectChart::Guilds: return "guilds along the virtual ROV transect";
    case TTransectChart::BetaSpecies: return SimilarityName(m) + "(species) along the virtual ROV transect";
    case TTransectChart::BetaGuilds: return SimilarityName(m) + "(guilds) along the virtual ROV transect";
    }
    return "";
}

std::string TransectAxisTitle(TTransectChart mode, bool relative)
{
    if (mode == TTransectChart::BetaSpecies || mode == TTransectChart::BetaGuilds) return "value";
    return relative ? "relative [%]" : "abundance";
}

std::string GuildShortName(int guild)
{
    static const char* const names[] = {"*", "R0", "R1", "R2", "UD"};
    return guild >= 0 && guild < 5 ? names[guild] : "";
}

std::vector<std::string> HistogramTitle(const Model& m, int species, bool size)
{
    return {size ? "size histogram of " : "age histogram of ", m.SpeciesPool[static_cast<size_t>(species)].Name};
}

std::string SuccessionClickMessage(const std::vector<double>& guildShares)
{
    std::string text = "nearest datapoint,\rrelative abundances:\r\r";
    for (size_t g = 0; g < guildShares.size(); ++g)
        text += Format("%15s : %4.2f\r", {StateName(static_cast<int>(g)), guildShares[g]});
    return text;
}

std::string RoiSeriesTitle(int species) { return Format("Species %d", {species + 1}); }

} // namespace marovi
