#include "view/cell_info.h"

#include <cmath>

#include "model/grid.h"
#include "model/model.h"
#include "model/numeric.h"
#include "util/format.h"

namespace marovi {

namespace {

std::string CountLines(const TCell& cell)
{
    return Format("%d individuals\r%d capacity\r%d total disturbances\rlast disturbance %d ",
                  {cell.IndividualCount, cell.Capacity, cell.DisturbanceCount, cell.CellAge});
}

} // namespace

std::string CellInfoText(const Model& m, int x, int y)
{
    const TCell& cell = m.Cell(x, y);
    std::string text = Format("Data of %d %d", {x, y}) + "\r" + CountLines(cell) + "\r\rspecies count (larvae)";
    const auto& larvae = m.PrevLarvaeAt(x, y);
    for (int s = 0; s <= m.SpeciesMax; ++s)
        text += Format("\r%2.2d:    %3.3d (%3.3d)",
                       {s + 1, cell.Abundance[static_cast<size_t>(s)], larvae[static_cast<size_t>(s)]});
    const unsigned substrate = cell.Substrate & 0xFF;
    text += Format("\r\rSubstrate $%2.2x\r[", {substrate});
    for (int bit = 0; bit < 8; ++bit) text += (substrate >> bit) & 1 ? '1' : '0';
    text += "]\r\r" + Format("Sum of Area : %5.2f", {SizedCover(m, x, y)});
    return text;
}

std::string IndividualInfoText(const Model& m, double vx, double vy)
{
    const int x = TruncToInt(vx), y = TruncToInt(vy);
    const int px = TruncToInt((vx - x) * 11), py = TruncToInt((vy - y) * 11);
    const TCell& cell = m.Cell(x, y);
    std::string text = Format("Cell [%.3d,%.3d]", {x, y}) + "\r" + CountLines(cell) + "\r\rInfo on selected individual:\r";
    for (size_t k = 0; k < cell.Individuals.size(); ++k) {
        const TIndividual& ind = cell.Individuals[k];
        if (ind.PosX != px || ind.PosY != py) continue;
        const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(ind.Species)];
        text += Format("\rIndividual %d\rSpecies \"%s\"\rAge: %d(%d)\rSize: %5.2f (%3d%%)",
                       {static_cast<int>(k + 1), sp.Name, ind.Age, ind.LastReproduction, ind.Size,
                        RoundToInt(100 * ind.Size / sp.MaxSize)});
    }
    return text;
}

} // namespace marovi
