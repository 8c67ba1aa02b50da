#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marovi {
struct Model;

// One number per cell of the grid as a text matrix (a landscape's capacities or substrates
// beside a scenario): comment lines starting with '#', then one line per row of the map,
// the top row (y = YMax) first, the numbers of x = 0..XMax separated by blanks. R's
// read.table and numpy's loadtxt read it as it is.
struct TCellMatrix {
    int Width = 0, Height = 0;
    std::vector<int64_t> Values; // x-major: x * Height + y
};

// "capacity" or "substrate" of every cell, with a comment line saying what it is.
std::string CellMatrixText(const Model& m, bool substrate);
// Reads the numbers (separated by blanks, tabs or commas); every row must have as many as
// the first; each must lie in lo..hi. Refusals name the file (`name`) and the line.
TCellMatrix ParseCellMatrix(std::string_view text, const std::string& name, int64_t lo, int64_t hi);

} // namespace marovi
