#pragma once
#include <string>
#include <vector>

namespace marovi {
struct Model;

// The captions, titles and messages the analysis windows draw around their charts.

// Every analysis window's caption: "file NAME".
std::string AnalysisCaption(const Model& m);

// Cluster histogram: the value axis title, the series title and the mean line's label
// once a chart with bars has been drawn.
std::string ClusterHistogramAxisTitle(const Model& m, bool sizes);
std::string ClusterHistogramSeriesTitle(double mean);
std::string ClusterHistogramMeanLabel(double mean);

// Sliding box chart: title and vertical axis title.
std::string SlidingBoxTitle(const Model& m, bool reciprocal);

// Rank plot: the title lines.
std::vector<std::string> RankChartTitle(const Model& m, bool showFileName);

// ROV transect chart, by mode: species, guilds, beta diversity of species or of guilds.
enum class TTransectChart { Species, Guilds, BetaSpecies, BetaGuilds };
std::string TransectChartTitle(const Model& m, TTransectChart mode);
std::string TransectAxisTitle(TTransectChart mode, bool relative);
// The guild short names of the transect table and chart legend: "*", "R0", "R1", "R2", "UD".
std::string GuildShortName(int guild);

// Histogram window: the title lines.
std::vector<std::string> HistogramTitle(const Model& m, int species, bool size);

// Disturbance-age chart, guild mode: the message of a click near the points of one interval.
std::string SuccessionClickMessage(const std::vector<double>& guildShares);

// Region of interest: the title of species slot s's curves.
std::string RoiSeriesTitle(int species);

} // namespace marovi
