#include "view/map_frame.h"

#include <algorithm>

#include "model/model.h"

namespace marovi {

namespace {

void CollectDiscs(const Model& m, const TViewRect& r, TMapFrame& frame)
{
    // Counting first gives every species its block, so the discs land in drawing order
    // in one pass without a buffer per species.
    std::vector<size_t> start(static_cast<size_t>(MaxSpecies) + 1, 0);
    for (int x = r.X0; x <= r.X1; ++x)
        for (int y = r.Y0; y <= r.Y1; ++y)
            for (const TIndividual& ind : m.Cell(x, y).Individuals)
                if (ind.Size > m.MinSize) ++start[static_cast<size_t>(ind.Species) + 1];
    for (size_t s = 1; s < start.size(); ++s) start[s] += start[s - 1];
    frame.Discs.resize(start.back());
    for (int x = r.X0; x <= r.X1; ++x)
        for (int y = r.Y0; y <= r.Y1; ++y)
            for (const TIndividual& ind : m.Cell(x, y).Individuals) {
                if (!(ind.Size > m.MinSize)) continue;
                TMapDisc& d = frame.Discs[start[static_cast<size_t>(ind.Species)]++];
                d.X = x + ind.PosX / 10.0;
                d.Y = y + ind.PosY / 10.0;
                d.Radius = ind.Size / 10 * m.BubbleScale;
                d.Colour = m.SpeciesColor[static_cast<size_t>(ind.Species)];
            }
}

} // namespace

void BuildMapFrame(const Model& m, const TMapFrameRequest& request, TMapFrame& frame)
{
    TViewRect r = request.Rect;
    // Only cells of the grid: the view rectangle always lies on it, unless it is empty.
    r.X0 = std::max(r.X0, 0);
    r.Y0 = std::max(r.Y0, 0);
    r.X1 = std::min(r.X1, m.XMax);
    r.Y1 = std::min(r.Y1, m.YMax);
    frame.Rect = r;
    frame.XMax = m.XMax;
    frame.YMax = m.YMax;
    frame.FlowDirection = m.FlowDirection;
    frame.FlowDeviation = m.FlowDeviation;
    frame.CellsDrawn = request.Mode != TDisplayMode::None || request.GrayBackground;
    frame.CellColours.clear();
    frame.Discs.clear();
    if (frame.Columns() == 0 || frame.Rows() == 0) return;
    if (frame.CellsDrawn) {
        frame.CellColours.reserve(static_cast<size_t>(frame.Columns()) * static_cast<size_t>(frame.Rows()));
        for (int x = r.X0; x <= r.X1; ++x)
            for (int y = r.Y0; y <= r.Y1; ++y)
                frame.CellColours.push_back(CellColour(m, request.Mode, request.Larvae, x, y, request.Colours));
    }
    if (request.Individuals) CollectDiscs(m, r, frame);
}

} // namespace marovi
