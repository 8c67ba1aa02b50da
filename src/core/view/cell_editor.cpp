#include "view/cell_editor.h"

#include <cstdint>

#include "model/grid.h"
#include "model/grid_properties.h"
#include "model/life_history.h"
#include "model/model.h"
#include "util/format.h"

namespace marovi {

std::string CellEditorCaption(int x, int y) { return Format("Your are God; edit cell [%d,%d]", {x, y}); }

TCellEditorList CellEditorList(const Model& m, int x, int y)
{
    const TCell& cell = m.Cell(x, y);
    TCellEditorList list{Format("capacity   : %2d", {cell.Capacity}), Format("indivduals : %2d", {cell.IndividualCount}), {}, {}};
    for (size_t k = 0; k < cell.Individuals.size(); ++k) {
        const TIndividual& ind = cell.Individuals[k];
        list.Lines.push_back(Format("%2d: %15s, %4d, %4.2f", {static_cast<int>(k + 1),
                                    m.SpeciesPool[static_cast<size_t>(ind.Species)].Name, ind.Age, ind.Size}));
        list.Keys.push_back(IndividualKey(m, x, y, static_cast<int>(k)));
    }
    return list;
}

TIndividualKey IndividualKey(const Model& m, int x, int y, int index)
{
    const TIndividual& ind = m.Cell(x, y).Individuals.at(static_cast<size_t>(index));
    return {ind.PosX, ind.PosY, m.TimeStep - ind.Age};
}

int FindIndividual(const Model& m, int x, int y, const TIndividualKey& key)
{
    if (x < 0 || x > m.XMax || y < 0 || y > m.YMax) return -1;
    const TIndividualList& list = m.Cell(x, y).Individuals;
    for (size_t k = 0; k < list.size(); ++k)
        if (list[k].PosX == key.PosX && list[k].PosY == key.PosY && m.TimeStep - list[k].Age == key.Settled)
            return static_cast<int>(k);
    return -1;
}

TIndividualFields IndividualFields(const Model& m, int x, int y, int index)
{
    const TCell& cell = m.Cell(x, y);
    if (index < 0 || static_cast<size_t>(index) >= cell.Individuals.size()) return {"none selected", "---", "---", "---"};
    const TIndividual& ind = cell.Individuals[static_cast<size_t>(index)];
    const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(ind.Species)];
    return {Format("Indiviudal %d is %s (lifespan:%d, max.:%d)", {index, sp.Name, sp.NormalLifespan, sp.MaxLifespan}),
            std::to_string(ind.Age), Format("%4.2f", {ind.Size}), std::to_string(ind.LastReproduction)};
}

std::string PutIntoCell(Model& m, int x, int y, int species)
{
    const TCell& cell = m.Cell(x, y);
    // Also a cell whose capacity was lowered below its count takes nobody.
    if (CellFull(cell)) return "no more room in this cell!";
    if (species < 0 || species > m.SpeciesMax) return "please select species!";
    const TStartAge start = DrawStartAge(m, species);
    InsertIndividual(m, x, y, species, start.LastReproduction, start.Age);
    return {};
}

std::string PreviewSize(const Model& m, int x, int y, int index, std::string_view ageText)
{
    const TIndividual& ind = m.Cell(x, y).Individuals.at(static_cast<size_t>(index));
    int age = ind.Age;
    if (!ParseInt(ageText, age)) age = ind.Age;
    return ShortestText(GrowthSize(m, ind.Species, age));
}

void UpdateIndividual(Model& m, int x, int y, int index, std::string_view ageText, std::string_view lastReproductionText)
{
    TIndividual& ind = m.Cell(x, y).Individuals.at(static_cast<size_t>(index));
    ind.Age = ConvertIntField("Age", ageText, 0, INT32_MAX);
    ind.Size = GrowthSize(m, ind.Species, ind.Age);
    ind.LastReproduction = ConvertIntField("last reproduction", lastReproductionText, INT32_MIN, INT32_MAX);
}

} // namespace marovi
