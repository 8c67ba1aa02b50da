#pragma once
#include <cstdint>

namespace marovi {
struct Model;
struct TCell;

constexpr double DefaultGrowthK = 0.05;

double GrowthLinear(const Model& m, int species, int age);
double GrowthExponential(const Model& m, int species, int age);
// Size by the growth function in use for the species index.
double GrowthSize(const Model& m, int species, int age);
void SetGrowthModel(Model& m, int species, int model);
double DeathProbability(const Model& m, int species, int age);
bool DiesThisStep(Model& m, int species, int age);
// Counts the individuals of the species that reproduce this step and marks them.
int32_t CountReproducing(Model& m, TCell& cell, int species);

} // namespace marovi
