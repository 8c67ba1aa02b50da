#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "files/bmp.h"

namespace marovi {
struct Model;

// The landscape editor's fields as it fills them when shown.
struct TLandscapeEntries {
    std::string XDim, YDim;
    std::string HighCapacity, LowCapacity;
    std::string HighProb, LowProb; // HighCapacityProb and 1 - HighCapacityProb
    std::string SetCapacity{"0"};  // the value painted with the mouse
};
TLandscapeEntries LandscapeEntriesOf(const Model& m);

// A capacity typed into the editor: an integer from 0 to MaxCellCapacity. Throws
// marovi::Error with the conversion message, or naming the range.
int32_t ConvertCapacity(std::string_view text);

// Largest grid a new landscape may have: beyond it the cells alone would take many GB.
constexpr int64_t MaxLandscapeCells = 4096 * 4096;

// The size of a new landscape: two integers of at least 1 whose product stays within
// MaxLandscapeCells. Throws marovi::Error with the conversion message or the reason.
struct TGridSize {
    int32_t XDim = 0, YDim = 0;
};
TGridSize ConvertGridSize(std::string_view xdim, std::string_view ydim);

// The capacity colours of the whole grid, one pixel per cell, row YMax at the top.
TRgbImage CapacityImage(const Model& m);

} // namespace marovi
