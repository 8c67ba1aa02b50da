#pragma once
#include "model/types.h"

namespace marovi {
struct Model;

// Phase 1 of a step for one cell: ageing, larval release, external drift, mortality.
void UpdateCell(Model& m, int x, int y);
void AgeCell(Model& m, int x, int y);
void MortalityCell(Model& m, int x, int y);

void ReleaseLarvae(Model& m, int x, int y);
void ExternalDrift(Model& m, int x, int y);
void SettleCell(Model& m, int x, int y);

bool HasRoom(const TCell& cell);
void RemoveUnsuitableLarvae(const Model& m, TCell& cell);
TSpeciesCounts CountNeighbourhood(const Model& m, int x, int y);
int SimpleLottery(Model& m, const TSpeciesCounts& pool);
int BiasedLotteryDraw(Model& m, const TSpeciesCounts& pool, const TSpeciesCounts& neighbours);
int ProportionalDriftPick(Model& m);
// One distance draw of a dispersal kernel scaled by d.
double KernelDraw(Model& m, TKernel kernel, double d);

// One complete time step.
void SimulationStep(Model& m);

} // namespace marovi
