#pragma once
#include <cstdint>
#include <vector>

#include "analysis/feature_matrix.h"
#include "model/types.h"

namespace marovi {
struct Model;

struct TClusterCell {
    int32_t I = 0, J = 0; // window column and row
    TSpeciesCounts Counts{};
};

struct TClusterRecord {
    int32_t CellCount = 0;
    TSpeciesCounts SpeciesCounts{};
    int32_t MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
    std::vector<TClusterCell> Cells;
    double Inertia = 0;
    double SemiMajor = 0, SemiMinor = 0;
    double Eccentricity = -1;
    double MeanSquaredRadius = 0;
};

// One record per final label 1..clusterCount of the label matrix, cells in sweep order,
// counting the individuals of at least MinSize of window cell (x1 + i, y1 + j).
std::vector<TClusterRecord> BuildClusterRecords(const Model& m, const tMerkmal_Matrix& features,
                                                const tMerkmal_Matrix& labels, int clusterCount, int x1, int y1);

// Inertia, the equivalent ellipse (area and polar moment of the cluster) and the mean
// squared radius; an ellipse that cannot be formed leaves eccentricity -1 and semi-axes 0.
void ClusterShape(TClusterRecord& r);

struct TClusterSizeStats {
    int Count = 0;
    double Mean = 0, StdDev = 0, Min = 0, Max = 0;
};
// Sample standard deviation; a single cluster reports its own size as the deviation.
TClusterSizeStats ClusterSizeStats(const std::vector<TClusterRecord>& clusters);

void FreeClusterCells(std::vector<TClusterRecord>& clusters);

} // namespace marovi
