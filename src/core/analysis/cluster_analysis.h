#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "analysis/clusters.h"
#include "analysis/feature_matrix.h"

namespace marovi {
struct Model;

// What defines a feature cell of the cluster analysis.
enum class TClusterMode { Species, States, Diversity, Area };

// The settings of the cluster analysis, as the analysis window holds them.
struct TClusterRequest {
    TClusterMode Mode = TClusterMode::States;
    int Species = 0;         // an index above SpeciesMax stands for "any"
    int State = 0;           // 0..4, as the state names list them
    bool Larvae = false;
    int MinCount = 1, MaxCount = 10;
    double DiversityLo = 0, DiversityHi = 0;
    double AreaLo = 0, AreaHi = 25;
    bool AgeRestricted = false;
    int MinAge = 0, MaxAge = 10;
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool Close = true;
    bool NoOrphans = true;
    // On a wrap-around grid: clusters touching across the grid's edges are one (only across
    // edges that the window reaches on both sides).
    bool Periodic = false;
};

// The window's defaults for a model: the whole grid, counts 1..HighCapacity, diversity
// 0..ln(number of species).
TClusterRequest DefaultClusterRequest(const Model& m);

// Clamps the corners into the grid and orders them.
void ClampClusterWindow(const Model& m, TClusterRequest& r);

struct TClusterAnalysis {
    TClusterRequest Request;       // with the window as used
    std::string Title;             // what was clustered
    std::string OptionText;        // which clean-up ran
    std::string CAText;            // "%10.5f" of the CA-homogeneity
    int ClusterCount = 0;
    tMerkmal_Matrix Features;      // after the clean-up
    tMerkmal_Matrix Labels;        // final labels 1..K, 0 elsewhere
    std::vector<TClusterRecord> Clusters;
    TClusterSizeStats Stats;
    TSpeciesCounts Totals{};
};

// The CA-homogeneity of the window in the request's mode, and as the window shows it ("%10.5f").
double ClusterCA(const Model& m, const TClusterRequest& r);
std::string ClusterCAText(const Model& m, const TClusterRequest& r);

// The whole analysis: CA-homogeneity, mask, criterion, clean-up, labelling, records and shapes.
TClusterAnalysis RunClusterAnalysis(const Model& m, TClusterRequest request);

// The texts of the window. Lines carry no line ends.
std::string CountsLine(const Model& m, const TSpeciesCounts& counts);
std::vector<std::string> ClusterSummaryLabels(const TClusterAnalysis& a);
std::vector<std::string> ClusterReport(const Model& m, const TClusterAnalysis& a);
// Details of cluster n; empty when n is not in 1..K.
std::vector<std::string> ClusterDetails(const Model& m, const TClusterAnalysis& a, int n);
// The report without shape columns, summary lines and total line.
std::vector<std::string> ClusterTableReport(const Model& m, const TClusterAnalysis& a);
// The label matrix as text: one line per row from y = 0 up, labels of x = 0.. separated by blanks.
std::vector<std::string> LabelMatrixLines(const tMerkmal_Matrix& labels);

// The histogram as drawn: the bars, their mean and the value axis range, up to 1.1 x the
// highest bar (and down to 1.1 x the lowest where diversities are negative).
struct TClusterHistogram {
    std::vector<double> Bars;
    double Mean = 0, AxisMin = 0, AxisMax = 1;
};
TClusterHistogram ClusterHistogram(const Model& m, const TClusterAnalysis& a, bool sizes);

// The bars of the cluster histogram (only drawn for more than one cluster): cell counts,
// or the clusters' diversities.
std::vector<double> ClusterHistogramBars(const Model& m, const TClusterAnalysis& a, bool sizes);

// The 19-entry palette of random cluster colours; entry 0 (ClusterNoColour) is "no colour".
constexpr uint32_t ClusterNoColour = 0x1FFFFFFF;
const std::vector<uint32_t>& ClusterPalette();
// One colour per cluster: all alike when monochrome, else random palette entries that differ
// from the background, drawn from a generator of the window's own (not the simulation's).
std::vector<uint32_t> ClusterColours(const Model& m, const TClusterAnalysis& a, bool monochrome, uint32_t background,
                                     std::mt19937& rng);

} // namespace marovi
