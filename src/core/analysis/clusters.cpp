#include "analysis/clusters.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/model.h"

namespace marovi {

std::vector<TClusterRecord> BuildClusterRecords(const Model& m, const tMerkmal_Matrix& features,
                                                const tMerkmal_Matrix& labels, int clusterCount, int x1, int y1)
{
    std::vector<TClusterRecord> records(static_cast<size_t>(std::max(clusterCount, 0)));
    for (TClusterRecord& r : records) {
        r.MinX = m.XMax;
        r.MinY = m.YMax;
    }
    for (int i = 0; i < features.W; ++i)
        for (int j = 0; j < features.H; ++j) {
            if (features(i, j) != 1) continue;
            TClusterRecord& r = records[static_cast<size_t>(labels(i, j) - 1)];
            r.CellCount += 1;
            r.MinX = std::min(r.MinX, i);
            r.MinY = std::min(r.MinY, j);
            r.MaxX = std::max(r.MaxX, i);
            r.MaxY = std::max(r.MaxY, j);
            TClusterCell cell{i, j, {}};
            for (const TIndividual& ind : m.Cell(x1 + i, y1 + j).Individuals)
                if (ind.Size >= m.MinSize) {
                    cell.Counts[static_cast<size_t>(ind.Species)] += 1;
                    r.SpeciesCounts[static_cast<size_t>(ind.Species)] += 1;
                }
            r.Cells.push_back(cell);
        }
    return records;
}

void ClusterShape(TClusterRecord& r)
{
    const double n = r.CellCount;
    r.SemiMajor = r.SemiMinor = 0;
    r.Eccentricity = -1;
    if (n <= 0) {
        r.Inertia = r.MeanSquaredRadius = 0;
        return;
    }
    double sumSq = 0, sumI = 0, sumJ = 0;
    for (const TClusterCell& c : r.Cells) {
        sumSq += static_cast<double>(c.I) * c.I + static_cast<double>(c.J) * c.J;
        sumI += c.I;
        sumJ += c.J;
    }
    r.Inertia = sumSq - (sumI * sumI + sumJ * sumJ) / n;
    const double s = 4 * r.Inertia / n;
    const double t = 2 * n / std::numbers::pi;
    if (s >= t) {
        const double aPlusB = std::sqrt(s + t);
        const double aMinusB = std::sqrt(s - t);
        const double major = (aPlusB + aMinusB) / 2;
        const double minor = (aPlusB - aMinusB) / 2;
        if (major > 0) {
            r.SemiMajor = major;
            r.SemiMinor = minor;
            r.Eccentricity = std::sqrt(major * major - minor * minor) / major;
        }
    }
    r.MeanSquaredRadius = r.Inertia / n;
}

TClusterSizeStats ClusterSizeStats(const std::vector<TClusterRecord>& clusters)
{
    TClusterSizeStats st;
    st.Count = static_cast<int>(clusters.size());
    if (st.Count == 0) return st;
    double sum = 0;
    st.Min = st.Max = clusters[0].CellCount;
    for (const TClusterRecord& r : clusters) {
        sum += r.CellCount;
        st.Min = std::min(st.Min, static_cast<double>(r.CellCount));
        st.Max = std::max(st.Max, static_cast<double>(r.CellCount));
    }
    st.Mean = sum / st.Count;
    if (st.Count == 1) {
        st.StdDev = clusters[0].CellCount;
        return st;
    }
    double squares = 0;
    for (const TClusterRecord& r : clusters) squares += (r.CellCount - st.Mean) * (r.CellCount - st.Mean);
    st.StdDev = std::sqrt(squares / (st.Count - 1));
    return st;
}

void FreeClusterCells(std::vector<TClusterRecord>& clusters)
{
    for (TClusterRecord& r : clusters) {
        r.Cells.clear();
        r.Cells.shrink_to_fit();
    }
}

} // namespace marovi

