#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace marovi {

// A W x H matrix of 32-bit integers addressed [i][j] = (column, row), stored column by
// column so that the y-inner sweeps of the analyses run through memory in order.
// As a feature matrix, 1 means the cell has the feature and anything else means it has not.
struct tMerkmal_Matrix {
    int W = 0, H = 0;
    std::vector<int32_t> Data;

    tMerkmal_Matrix() = default;
    tMerkmal_Matrix(int w, int h, int32_t fill = 0);
    int32_t& operator()(int i, int j) { return Data[static_cast<std::size_t>(i) * static_cast<std::size_t>(H) + static_cast<std::size_t>(j)]; }
    int32_t operator()(int i, int j) const { return Data[static_cast<std::size_t>(i) * static_cast<std::size_t>(H) + static_cast<std::size_t>(j)]; }
};

} // namespace marovi
