#pragma once
#include "colours/cell_colours.h"
#include "files/bmp.h"

namespace marovi {
struct Model;

// The cell colours of a display mode for the cells x0..x1, y0..y1 (limited to the grid),
// one pixel per cell, row y1 at the top.
TRgbImage MapImage(const Model& m, TDisplayMode mode, bool larvae, const TColourSettings& settings, int x0, int y0,
                   int x1, int y1);

} // namespace marovi
