#pragma once
#include <string>

namespace marovi {
struct Model;

// The message of a middle click on cell (x, y) of the map: counts, disturbances, species
// and larvae, substrate and covered area. Lines are joined by "\r".
std::string CellInfoText(const Model& m, int x, int y);

// The message of a click on the individual drawn at (vx, vy) (cell units): the cell's counts
// and every individual of the cell at that position inside it.
std::string IndividualInfoText(const Model& m, double vx, double vy);

} // namespace marovi
