#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/state_def.h"
#include "disturbance/disturbance_def.h"
#include "landscape/flow_grid.h"
#include "model/cell_grid.h"
#include "model/random.h"
#include "model/step_threads.h"
#include "model/types.h"

namespace marovi {

struct Model;
using TDiversityFunc = double (*)(const Model&, const TSpeciesCounts&);
using TSimilarityFunc = double (*)(const Model&, const TSpeciesCounts&, const TSpeciesCounts&);

// The whole simulation: grid, species, parameters, statistics, random stream and the
// selections of the analyses. Nothing is global; core functions take a Model by reference.
struct Model {
    Model();

    // --- grid (x-major: cell (x, y) at x * YDim + y) ---
    // Per-species counts of a cell have one entry per species of the pool: index them
    // 0..SpeciesMax (cell.Larvae[s], m.PrevLarvaeAt(x, y)[s], cell.Abundance[s]) and copy
    // them whole with ToSpeciesCounts.
    int32_t XDim = 0, YDim = 0, XMax = -1, YMax = -1;
    TCellGrid Cells;

    TCell& Cell(int x, int y) { return Cells[static_cast<size_t>(x) * YDim + y]; }
    const TCell& Cell(int x, int y) const { return Cells[static_cast<size_t>(x) * YDim + y]; }
    // The larvae per species that reached cell (x, y) in its last settlement.
    TCounts PrevLarvaeAt(int x, int y) { return Cells.PrevLarvae(static_cast<size_t>(x) * YDim + y); }
    const TCounts PrevLarvaeAt(int x, int y) const { return Cells.PrevLarvae(static_cast<size_t>(x) * YDim + y); }
    bool HasGrid() const { return !Cells.empty(); }

    // --- species ---
    std::vector<TSpecies> SpeciesPool;
    int32_t SpeciesMax = -1;
    std::array<int32_t, MaxSpecies> GrowthFunc{}; // growth model per species index (0 linear, 1 exponential)
    std::array<uint32_t, MaxSpecies> SpeciesColor{}; // display colour per species slot, 0x00RRGGBB
    std::array<int32_t, MaxSpecies> SpeciesPovShape{}; // scene object index per species (identity)

    // --- global parameters ---
    int32_t StartFill = 0;
    bool Torus = true;
    TKernel DispersalKernel = TKernel::Exponential;
    TKernel PatchKernel = TKernel::Exponential;
    bool BiasedLottery = false;
    double GlobalKFactor = 0.0;
    bool SpeciesKFactor = false;
    uint8_t NeighbourhoodSize = 1;
    double MinSize = 0.2;
    double ExternalDriftProb = 0.0;
    int32_t MaxDriftLarvae = 0;
    bool ProportionalDrift = false;
    bool OnlyGlobalDrift = false;
    bool OldReproInterval = true;
    bool SeedSync = false;
    bool FluctRepro = false;
    int32_t FluctReproMin = 1, FluctReproMax = 1;
    int32_t RandomSeed = 0;
    int32_t Repetitions = 1;
    int32_t MaxRuntime = 0;
    int32_t TermDisturbances = 0;
    int32_t TermSteps = 0;
    char Separator = ';';
    double BubbleScale = 0.8;          // display radius of individuals in the landscape view
    std::string FileName = "-not saved-";
    bool ReservedFlag = false;            // kept in the grid file, no other use
    // 1-based field of the first species count in a status list line; 6 for grid files of
    // format letter 'G' or older, whose lines lack a column.
    int32_t FirstSpeciesColumn = 7;

    // --- statistics ---
    int32_t TimeStep = 0, Season = 0, SeasonYear = 0;
    TSpeciesCounts StepAbundance{};
    TSpeciesCounts LastAbundance{};
    TSpeciesCounts ExtinctionStep{};
    int32_t DisturbanceEventCount = 0;
    int32_t DisturbedCellCount = 0;
    int32_t TermCountBase = 0, TermReachedStep = 0;
    bool TerminateFlag = false;
    bool AnyGlobalDrift = false;

    // --- random stream ---
    TRandom Random;

    // --- the threads a time step runs on (any count gives the same results) ---
    TStepThreads StepThreads;

    // --- landscape parameters ---
    int32_t HighCapacity = 10;
    int32_t LowCapacity = 5;
    double HighCapacityProb = 0.5;
    int32_t CapacityScaleMin = 5;
    int32_t CapacityScaleMax = 10;

    // --- flow ---
    TFlowGrid FlowGrid;
    double FlowDirection = 0.0;                   // radians
    double FlowDeviation = 0.62831853071795864769; // pi / 5

    // --- disturbances ---
    std::vector<TDisturbanceDef> Disturbances;
    bool ExtraDisturbanceRequested = false;
    bool RoiDisturbanceRequested = false;
    TDisturbanceDef RoiDisturbance;

    // --- succession states ---
    TStateDef StateDefs;

    // --- selected measures ---
    TDiversityFunc DiversityFunc;
    std::string DiversityName = "Shannon Index";
    double HillOrder = 1.0;
    TSimilarityFunc SimilarityFunc;
};

} // namespace marovi
