#pragma once
#include <string>

namespace marovi {
struct Model;

// A readable summary of a simulation for the console: grid, time step, species with their
// abundances and extinction steps, disturbance definitions and the diversity of the census
// by the current measure. Lines end with LF.
std::string SimulationSummary(const Model& m);

} // namespace marovi
