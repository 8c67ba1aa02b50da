#include "analysis/cluster_analysis.h"

#include <algorithm>
#include <cmath>

#include "analysis/cluster_criteria.h"
#include "analysis/hoshen_kopelman.h"
#include "analysis/states.h"
#include "model/model.h"
#include "model/numeric.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {
namespace {

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

std::string Sep(const Model& m) { return std::string(1, m.Separator); }

std::string ClusterTitle(const Model& m, const TClusterRequest& r)
{
    std::string title;
    switch (r.Mode) {
    case TClusterMode::Species:
        if (r.Species > m.SpeciesMax) title = r.Larvae ? "any larvae" : "any species ";
        else title = (r.Larvae ? "larvae of species " : "species ") + m.SpeciesPool[static_cast<size_t>(r.Species)].Name;
        break;
    case TClusterMode::States: title = "state " + StateName(r.State); break;
    case TClusterMode::Diversity:
        title = Format(r.Larvae ? "%s of larvae between %5.2f and %5.2f " : "%s of adults between %5.2f and %5.2f ",
                       {m.DiversityName, r.DiversityLo, r.DiversityHi});
        break;
    case TClusterMode::Area: title = Format("%s between %5.2f and %5.2f ", {"sum of area", r.AreaLo, r.AreaHi}); break;
    }
    if (r.AgeRestricted)
        title = Format("%s and last disturbance between %d and %d ", {title, r.MinAge, r.MaxAge});
    return title;
}

void FillFeatures(const Model& m, const TClusterRequest& r, tMerkmal_Matrix& features, const tMerkmal_Matrix& mask)
{
    switch (r.Mode) {
    case TClusterMode::Species:
        SpeciesCriterion(m, features, r.X1, r.Y1, mask, r.Larvae, r.MinCount, r.MaxCount, r.Species);
        break;
    case TClusterMode::States:
        if (r.Larvae) throw Error("can not use larvae to calc grid state!");
        StateCriterion(m, features, r.X1, r.Y1, mask, r.State);
        break;
    case TClusterMode::Diversity:
        DiversityCriterion(m, features, r.X1, r.Y1, mask, r.Larvae, r.DiversityLo, r.DiversityHi);
        break;
    case TClusterMode::Area:
        if (r.Larvae) throw Error("can not use larvae to calc area!");
        AreaCriterion(m, features, r.X1, r.Y1, mask, r.AreaLo, r.AreaHi);
        break;
    }
}

// A header: the given columns, then the name of every species.
std::string SpeciesNamesAfter(const Model& m, const std::string& head)
{
    std::string h = head;
    for (int s = 0; s <= m.SpeciesMax; ++s) h += Sep(m) + m.SpeciesPool[static_cast<size_t>(s)].Name;
    return h;
}

std::string TableHeader(const Model& m)
{
    const std::string sep = Sep(m);
    return SpeciesNamesAfter(m, "cluster " + sep + " size " + sep + " dx " + sep + " dy " + sep + m.DiversityName);
}

std::vector<std::string> ReportHead(const Model& m, const TClusterAnalysis& a)
{
    std::vector<std::string> lines{"data on clusters of " + m.FileName, "cluster of " + a.Title};
    if (!a.OptionText.empty()) lines.push_back(a.OptionText);
    return lines;
}

// Number, size, box centre, diversity and counts of cluster k.
std::string ClusterLine(const Model& m, const TClusterRecord& r, int k)
{
    const std::string sep = Sep(m);
    return Format("%3d ", {k}) + sep + Format(" %5d ", {r.CellCount}) + sep +
           Format(" %5.1f ", {(r.MinX + r.MaxX) / 2.0}) + sep + Format(" %5.1f ", {(r.MinY + r.MaxY) / 2.0}) + sep +
           Format(" %4.2f ", {m.DiversityFunc(m, r.SpeciesCounts)}) + sep + " " + CountsLine(m, r.SpeciesCounts);
}

std::string ShapeColumns(const Model& m, const TClusterRecord& r)
{
    const std::string sep = Sep(m);
    return sep + Format("%8.3f ", {r.Inertia}) + sep + Format("%8.3f ", {r.Eccentricity}) + sep +
           Format("%8.3f ", {r.MeanSquaredRadius});
}

} // namespace

TClusterRequest DefaultClusterRequest(const Model& m)
{
    TClusterRequest r;
    r.X2 = m.XMax;
    r.Y2 = m.YMax;
    r.MaxCount = m.HighCapacity;
    // The highest Shannon index the pool allows: all of its species in equal numbers.
    r.DiversityHi = std::log(static_cast<double>(m.SpeciesMax + 1));
    return r;
}

void ClampClusterWindow(const Model& m, TClusterRequest& r)
{
    r.X1 = Clamp(r.X1, 0, m.XMax);
    r.X2 = Clamp(r.X2, 0, m.XMax);
    r.Y1 = Clamp(r.Y1, 0, m.YMax);
    r.Y2 = Clamp(r.Y2, 0, m.YMax);
    if (r.X1 > r.X2) std::swap(r.X1, r.X2);
    if (r.Y1 > r.Y2) std::swap(r.Y1, r.Y2);
}

double ClusterCA(const Model& m, const TClusterRequest& r)
{
    switch (r.Mode) {
    case TClusterMode::States: return WindowStateCA(m, r.X1, r.Y1, r.X2, r.Y2, r.State, r.Larvae);
    case TClusterMode::Species: return WindowSpeciesCA(m, r.X1, r.Y1, r.X2, r.Y2, r.Species, r.Larvae);
    case TClusterMode::Diversity:
        return WindowDiversityCA(m, r.X1, r.Y1, r.X2, r.Y2, r.Larvae, r.DiversityLo, r.DiversityHi);
    case TClusterMode::Area: return WindowAreaCA(m, r.X1, r.Y1, r.X2, r.Y2, r.Larvae, r.AreaLo, r.AreaHi);
    }
    return 0;
}

std::string ClusterCAText(const Model& m, const TClusterRequest& r) { return Format("%10.5f", {ClusterCA(m, r)}); }

TClusterAnalysis RunClusterAnalysis(const Model& m, TClusterRequest request)
{
    if (!m.HasGrid()) throw Error("no grid to analyse");
    if (request.Species < 0) throw Error("species number out of range!");
    TClusterAnalysis a;
    ClampClusterWindow(m, request);
    a.Request = request;
    const TClusterRequest& r = a.Request;
    a.CAText = ClusterCAText(m, r);

    const int w = r.X2 - r.X1 + 1, h = r.Y2 - r.Y1 + 1;
    a.Features = tMerkmal_Matrix(w, h);
    tMerkmal_Matrix mask(w, h, 1);
    if (r.AgeRestricted) AgeMask(m, mask, r.X1, r.Y1, r.MinAge, r.MaxAge);
    a.Title = ClusterTitle(m, r);
    FillFeatures(m, r, a.Features, mask);

    if (r.Close) {
        a.OptionText = "clusters closed";
        CloseClusters(a.Features);
    }
    if (r.NoOrphans) {
        a.OptionText = a.OptionText.empty() ? "no orphaned cells" : a.OptionText + " and no orphaned cells";
        RemoveOrphans(a.Features);
    }

    THosheKopelman hk;
    hk.InitLabels(w, h);
    a.ClusterCount = hk.LabelClusters(a.Features);
    a.Labels = std::move(hk.LabelMatrix);
    hk.FreeLabels();
    if (r.Periodic && m.Torus) {
        a.ClusterCount = JoinAcrossEdges(a.Labels, a.ClusterCount, r.X1 == 0 && r.X2 == m.XMax, r.Y1 == 0 && r.Y2 == m.YMax);
        a.OptionText = a.OptionText.empty() ? "joined across edges" : a.OptionText + " and joined across edges";
    }

    a.Clusters = BuildClusterRecords(m, a.Features, a.Labels, a.ClusterCount, r.X1, r.Y1);
    for (TClusterRecord& c : a.Clusters) {
        for (int s = 0; s < MaxSpecies; ++s) a.Totals[static_cast<size_t>(s)] += c.SpeciesCounts[static_cast<size_t>(s)];
        ClusterShape(c);
    }
    a.Stats = ClusterSizeStats(a.Clusters);
    return a;
}

std::string CountsLine(const Model& m, const TSpeciesCounts& counts)
{
    std::string line;
    for (int s = 0; s <= m.SpeciesMax && s < MaxSpecies; ++s) {
        if (s > 0) line += m.Separator;
        line += Format("%8d", {counts[static_cast<size_t>(s)]});
    }
    return line;
}

std::vector<std::string> ClusterSummaryLabels(const TClusterAnalysis& a)
{
    return {Format("%d clusters", {a.ClusterCount}),
            Format("average size : %5.1f +- %5.1f cells", {a.Stats.Mean, a.Stats.StdDev}),
            Format("min size     : %5.1f cells", {a.Stats.Min}), Format("max size     : %5.1f cells", {a.Stats.Max})};
}

std::vector<std::string> ClusterReport(const Model& m, const TClusterAnalysis& a)
{
    const std::string sep = Sep(m);
    std::vector<std::string> lines = ReportHead(m, a);
    lines.push_back(Format("CA           : %s", {a.CAText}));
    lines.push_back(Format("clusters     : %d", {a.ClusterCount}));
    lines.push_back(Format("average size : %5.1f cells", {a.Stats.Mean}));
    lines.push_back(Format("min size     : %5.1f cells", {a.Stats.Min}));
    lines.push_back(Format("max size     : %5.1f cells", {a.Stats.Max}));
    lines.push_back(TableHeader(m));
    if (a.ClusterCount > 1)
        for (int k = 1; k <= a.ClusterCount; ++k) {
            const TClusterRecord& r = a.Clusters[static_cast<size_t>(k - 1)];
            lines.push_back(ClusterLine(m, r, k) + ShapeColumns(m, r));
        }
    lines.push_back("total " + sep + Format(" %5d ", {RoundToInt(a.ClusterCount * a.Stats.Mean)}) + sep + sep + sep +
                    Format(" %4.2f ", {m.DiversityFunc(m, a.Totals)}) + sep + " " + CountsLine(m, a.Totals));
    return lines;
}

std::vector<std::string> ClusterDetails(const Model& m, const TClusterAnalysis& a, int n)
{
    if (n < 1 || n > a.ClusterCount) return {};
    const std::string sep = Sep(m);
    const TClusterRecord& r = a.Clusters[static_cast<size_t>(n - 1)];
    std::vector<std::string> lines = ReportHead(m, a);
    lines.push_back(Format("details of cluster %d", {n}));
    lines.push_back(TableHeader(m));
    lines.push_back(ClusterLine(m, r, n));
    lines.push_back(SpeciesNamesAfter(m, "cell " + sep + " dx " + sep + " dy "));
    for (size_t c = 0; c < r.Cells.size(); ++c) {
        const TClusterCell& cell = r.Cells[c];
        lines.push_back(Format("%3d ", {static_cast<long long>(c)}) + sep + Format(" %5d ", {cell.I}) + sep +
                        Format(" %5d ", {cell.J}) + sep + " " + CountsLine(m, cell.Counts));
    }
    return lines;
}

std::vector<std::string> ClusterTableReport(const Model& m, const TClusterAnalysis& a)
{
    std::vector<std::string> lines = ReportHead(m, a);
    lines.push_back(TableHeader(m));
    if (a.ClusterCount > 1)
        for (int k = 1; k <= a.ClusterCount; ++k) lines.push_back(ClusterLine(m, a.Clusters[static_cast<size_t>(k - 1)], k));
    return lines;
}

std::vector<std::string> LabelMatrixLines(const tMerkmal_Matrix& labels)
{
    std::vector<std::string> lines;
    for (int j = 0; j < labels.H; ++j) {
        std::string line;
        for (int i = 0; i < labels.W; ++i) {
            if (i > 0) line += ' ';
            line += std::to_string(labels(i, j));
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<double> ClusterHistogramBars(const Model& m, const TClusterAnalysis& a, bool sizes)
{
    std::vector<double> bars;
    if (a.ClusterCount <= 1) return bars;
    for (const TClusterRecord& r : a.Clusters)
        bars.push_back(sizes ? r.CellCount : m.DiversityFunc(m, r.SpeciesCounts));
    return bars;
}

TClusterHistogram ClusterHistogram(const Model& m, const TClusterAnalysis& a, bool sizes)
{
    TClusterHistogram h;
    h.Bars = ClusterHistogramBars(m, a, sizes);
    if (h.Bars.empty()) return h;
    double sum = 0, lowest = 0, highest = 0;
    for (double b : h.Bars) {
        sum += b;
        lowest = std::min(lowest, b);
        highest = std::max(highest, b);
    }
    h.Mean = sum / static_cast<double>(h.Bars.size());
    h.AxisMin = 1.1 * lowest;
    if (highest > 0 || lowest == 0) h.AxisMax = highest > 0 ? 1.1 * highest : 1;
    else h.AxisMax = 0;
    return h;
}

const std::vector<uint32_t>& ClusterPalette()
{
    static const std::vector<uint32_t> palette = {
        ClusterNoColour, 0x00FFFF, 0x000000, 0x0000FF, 0x808080, 0xFF00FF, 0x808080, 0x008000, 0x00FF00, 0xC0C0C0,
        0x800000,        0x000080, 0x808000, 0x800080, 0xFF0000, 0xC0C0C0, 0x008080, 0xFFFFFF, 0xFFFF00,
    };
    return palette;
}

std::vector<uint32_t> ClusterColours(const Model& m, const TClusterAnalysis& a, bool monochrome, uint32_t background,
                                     std::mt19937& rng)
{
    const TClusterRequest& r = a.Request;
    std::vector<uint32_t> colours;
    const std::vector<uint32_t>& palette = ClusterPalette();
    std::uniform_int_distribution<size_t> pick(0, palette.size() - 1);
    for (int k = 1; k <= a.ClusterCount; ++k) {
        if (monochrome) {
            colours.push_back(r.Mode == TClusterMode::Species
                                  ? m.SpeciesColor[static_cast<size_t>(std::min(r.Species, MaxSpecies - 1))]
                                  : StateColor(r.State));
            continue;
        }
        uint32_t c;
        do c = palette[pick(rng)];
        while (c == background);
        colours.push_back(c);
    }
    return colours;
}

} // namespace marovi
