#pragma once
#include <cstdint>
#include <vector>

namespace marovi {
struct Model;

// Highest capacity a cell can honour: its 10 x 10 positions.
constexpr int MaxCellCapacity = 100;

// Sets capacity (clamped to 0..100), reserves the individual list and sets Substrate 255.
void SetCellCapacity(Model& m, int x, int y, int capacity);
void RandomLandscape(Model& m, double pHigh);
void FractalLandscape(Model& m, int high, int low, bool discrete, double pHigh);

// A grey-value image: Width x Height pixels, row 0 at the top, each 0x00RRGGBB.
struct TGreyImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels; // Pixels[row * Width + column]
};
void LandscapeFromImage(Model& m, const TGreyImage& image);

// Paints capacity v (clamped to 0..100) into the rectangle of cells between columns a, b
// and rows c, d (any order, clamped to the grid); widens the colour scale for v > 0.
void PaintCapacity(Model& m, int a, int b, int c, int d, int v);

// The "new landscape" reset of the model: new empty grid of the given size, 1 x 1 flow grid.
void NewLandscape(Model& m, int xdim, int ydim);

// Red shade of a capacity on the current scale, as 0x00RRGGBB; white for 0.
uint32_t CapacityColour(const Model& m, int capacity);

// Validated probability fields: returns the new HighCapacityProb.
double ApplyHighProbField(double current, double p);
double ApplyLowProbField(double current, double q);

} // namespace marovi
