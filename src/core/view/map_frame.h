#pragma once
#include <cstdint>
#include <vector>

#include "colours/cell_colours.h"
#include "view/view_window.h"

namespace marovi {
struct Model;

// One individual as the map shows it: a disc at its position inside its cell.
struct TMapDisc {
    double X = 0, Y = 0;  // centre, cell units: x + PosX / 10, y + PosY / 10
    double Radius = 0;    // cell units: Size / 10 x BubbleScale
    uint32_t Colour = 0;  // its species' colour
};

// What the landscape view paints, taken from the model between time steps.
struct TMapFrame {
    TViewRect Rect;                    // the cells held; none when X0 > X1 or Y0 > Y1
    bool CellsDrawn = true;            // false in mode "none" without the grey background
    std::vector<uint32_t> CellColours; // x-major: cell (x, y) at (x - X0) * Rows() + (y - Y0)
    // Drawing order: species by species; within a species in the order of the cells
    // (x outer, y inner) and of their lists.
    std::vector<TMapDisc> Discs;
    int XMax = 0, YMax = 0;             // the grid, for the wrap rule of transects
    double FlowDirection = 0, FlowDeviation = 0;
    // The discs of each species while the frame is built; kept for their capacity.
    std::vector<std::vector<TMapDisc>> SpeciesDiscs;

    int Columns() const { return Rect.X1 >= Rect.X0 ? Rect.X1 - Rect.X0 + 1 : 0; }
    int Rows() const { return Rect.Y1 >= Rect.Y0 ? Rect.Y1 - Rect.Y0 + 1 : 0; }
};

struct TMapFrameRequest {
    TViewRect Rect;
    TDisplayMode Mode = TDisplayMode::Dominance;
    bool Larvae = false;           // dominance and abundance of last step's larvae
    TColourSettings Colours;
    bool GrayBackground = true;    // mode "none" still fills the cells silver
    bool Individuals = false;      // every individual larger than MinSize becomes a disc
};

// Fills frame for the request, reusing its buffers.
void BuildMapFrame(const Model& m, const TMapFrameRequest& request, TMapFrame& frame);

} // namespace marovi
