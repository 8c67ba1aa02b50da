#include "view/map_frame.h"

#include <algorithm>

#include "model/model.h"

namespace marovi {

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
    // One pass over the cells: a cell's individuals are read for its colour and, while
    // they are at hand, for its discs, which wait in one list per species (series are
    // drawn species by species).
    const bool discs = request.Individuals;
    if (discs) {
        frame.SpeciesDiscs.resize(static_cast<size_t>(MaxSpecies));
        for (std::vector<TMapDisc>& list : frame.SpeciesDiscs) list.clear();
    }
    if (frame.CellsDrawn)
        frame.CellColours.reserve(static_cast<size_t>(frame.Columns()) * static_cast<size_t>(frame.Rows()));
    for (int x = r.X0; x <= r.X1; ++x)
        for (int y = r.Y0; y <= r.Y1; ++y) {
            if (frame.CellsDrawn) frame.CellColours.push_back(CellColour(m, request.Mode, request.Larvae, x, y, request.Colours));
            if (!discs) continue;
            for (const TIndividual& ind : m.Cell(x, y).Individuals) {
                if (!(ind.Size > m.MinSize)) continue;
                frame.SpeciesDiscs[static_cast<size_t>(ind.Species)].push_back(
                    TMapDisc{x + ind.PosX / 10.0, y + ind.PosY / 10.0, ind.Size / 10 * m.BubbleScale,
                             m.SpeciesColor[static_cast<size_t>(ind.Species)]});
            }
        }
    if (discs)
        for (const std::vector<TMapDisc>& list : frame.SpeciesDiscs) frame.Discs.insert(frame.Discs.end(), list.begin(), list.end());
}

} // namespace marovi
