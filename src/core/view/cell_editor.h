#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marovi {
struct Model;

// The cell editor ("God mode"): one cell of the running simulation, changed between time
// steps through the grid's individual operations.

std::string CellEditorCaption(int x, int y);

// An individual of a cell as the editor follows it across time steps, while list positions
// shift as others die: its position in the cell and the time step it settled in (time step
// minus age) stay its own while it lives, and no later individual can have both.
struct TIndividualKey {
    int32_t PosX = -1, PosY = -1;
    int32_t Settled = 0;
    bool operator==(const TIndividualKey&) const = default;
};
TIndividualKey IndividualKey(const Model& m, int x, int y, int index);
// The index of that individual in the cell's list now; -1 when it is no longer there.
int FindIndividual(const Model& m, int x, int y, const TIndividualKey& key);

// The cell group: capacity, number of individuals and one line per individual, with the
// key of each.
struct TCellEditorList {
    std::string Capacity, Count;
    std::vector<std::string> Lines;
    std::vector<TIndividualKey> Keys;
};
TCellEditorList CellEditorList(const Model& m, int x, int y);

// The fields of individual `index` of the cell (0-based); "none selected" and "---" for
// an index outside the list.
struct TIndividualFields {
    std::string Label, Age, Size, LastReproduction;
};
TIndividualFields IndividualFields(const Model& m, int x, int y, int index);

// "<-- put into cell": a new individual of `species` (-1: none selected) with an age drawn
// as the initial fill draws it. Returns the message that refuses it, or an empty text.
std::string PutIntoCell(Model& m, int x, int y, int species);

// The size the edited individual would have at the age typed (its current age when the text
// is not an integer), as the shortest decimal text.
std::string PreviewSize(const Model& m, int x, int y, int index, std::string_view ageText);

// "update": age, the size for it, then last reproduction. A text that is not an integer, or
// a negative age, is refused naming the field; the fields before it stay assigned.
void UpdateIndividual(Model& m, int x, int y, int index, std::string_view ageText, std::string_view lastReproductionText);

} // namespace marovi
