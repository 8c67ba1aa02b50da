#pragma once
// Small hand-made models and the checks shared by the core tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "model/model.h"

namespace marovi::test {

// A model with `species` default species and an xdim x ydim grid, every cell of the given
// capacity, the generator seeded with `seed`. Nothing is placed.
Model MakeModel(int xdim, int ydim, int species, int capacity, int32_t seed = 1);

// count = list length = sum of abundances = occupied positions, distinct positions, and
// species in range, for every cell.
::testing::AssertionResult CellInvariants(const Model& m);

// Every field of two models that a time step can touch, cell by cell, and the random stream.
::testing::AssertionResult SameState(const Model& a, const Model& b);

// Places an individual without drawing positions: first free position in row-major order.
TIndividual& Place(Model& m, int x, int y, int species, int age, int lastReproduction = 0);

// Replays the position draws of an insertion (x, then y, until free) and marks the result.
std::pair<int, int> ReplayPosition(TRandom& r, bool occupied[CellSide][CellSide]);

// The message of the marovi::Error that f throws, or "(no error)".
std::string ErrorText(const std::function<void()>& f);

} // namespace marovi::test
