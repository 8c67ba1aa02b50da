#pragma once
#include <cstdint>

#include "model/types.h"

namespace marovi {
struct Model;
class TRandom;

constexpr double DefaultGrowthK = 0.05;

double GrowthLinear(const Model& m, int species, int age);
double GrowthExponential(const Model& m, int species, int age);
// Size by the growth function in use for the species index.
double GrowthSize(const Model& m, int species, int age);
void SetGrowthModel(Model& m, int species, int model);
double DeathProbability(const Model& m, int species, int age);
bool DiesThisStep(Model& m, int species, int age);
// The same draw on another generator.
bool DiesThisStep(const Model& m, TRandom& random, int species, int age);
// Counts the individuals of the species that reproduce this step and marks them.
int32_t CountReproducing(Model& m, TCell& cell, int species);
// CountReproducing of every species at once, for the individual rhythm only (it draws
// nothing, so one pass over the list gives the same counts and marks).
void CountReproducingIndividualRhythm(const Model& m, TCell& cell, TSpeciesCounts& counts);

} // namespace marovi
