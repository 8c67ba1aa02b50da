#pragma once
#include <cstdint>
#include <string>

#include "analysis/state_def.h"

namespace marovi {
struct Model;

void ResetStateDefs(TStateDef& defs);
int CellState(const Model& m, int x, int y);
std::string StateName(int k);
uint32_t StateColor(int k); // 0x00RRGGBB

} // namespace marovi
