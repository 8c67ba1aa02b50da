#pragma once
#include <cstdint>
#include <vector>

#include "analysis/feature_matrix.h"

namespace marovi {

// Hoshen-Kopelman labelling of a feature matrix into clusters connected through the four
// edge neighbours, with a union-find label table (entry 0 counts the labels issued).
//
// The table holds as many provisional labels as the raster pass can ever issue: a label is
// issued only at a cell whose left and lower neighbours lack the feature, so such cells never
// touch and there are at most ceil(w * h / 2) of them. Any window, even one of a single cell
// or a checkerboard, is therefore labelled; "too many labels defined" remains the answer of
// NewLabel when the table really is exhausted.
class THosheKopelman {
public:
    tMerkmal_Matrix LabelMatrix;
    std::vector<int32_t> LabelTable;
    std::vector<int32_t> RelabelTable;
    int32_t LabelLimit = -1;
    int ClusterCount = 0;

    void InitLabels(int w, int h);
    void ClearLabels();
    int32_t FindRoot(int32_t k);
    int32_t UnionLabels(int32_t a, int32_t b);
    int32_t NewLabel();
    // Labels the matrix (sizing the tables to it when InitLabels was given another size);
    // final clusters are numbered 1..K in the order the x-outer, y-inner sweep meets them.
    int LabelClusters(const tMerkmal_Matrix& m);
    void FreeLabels();

private:
    void JoinLabels(int32_t a, int32_t b);
    int32_t LabelRuns(const tMerkmal_Matrix& m);
    void WriteFinalLabels(const tMerkmal_Matrix& m);
    std::vector<uint64_t> bits_;          // feature cells, column by column, 64 per word
    std::vector<int32_t> runLabels_;      // provisional label of every run, column by column
    std::vector<int32_t> runStart_;       // index of each column's first run in runLabels_
    std::vector<int32_t> rowLabels_;      // each cell's run label, in two columns
    std::vector<int32_t> finalNumber_;    // the cluster number of every provisional label
};

// Joins the clusters of a final label matrix that touch across its edges, as on a torus:
// the first and last column with acrossX, the first and last row with acrossY. The clusters
// are numbered 1..K again in the order the x-outer, y-inner sweep meets them; returns K.
// The matrix stays untouched when nothing touches across an edge.
int JoinAcrossEdges(tMerkmal_Matrix& labels, int clusterCount, bool acrossX, bool acrossY);

// Whether the labelling may use the processor's 256-bit instructions when it has them (the
// default); both ways give the same labels.
void AllowWideLabelling(bool allowed);

// Dilation over the four edge neighbours followed by an erosion over the horizontal ones:
// one-cell gaps within a row are bridged.
void CloseClusters(tMerkmal_Matrix& m);
// Clears every feature cell without a feature cell among its four edge neighbours.
void RemoveOrphans(tMerkmal_Matrix& m);

} // namespace marovi
