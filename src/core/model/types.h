#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace marovi {

constexpr int MaxSpecies = 51;         // species indices 0..50
constexpr int CellSide = 10;           // a cell has CellSide x CellSide positions
constexpr int CellPositions = CellSide * CellSide;
constexpr int SeasonsPerYear = 1;
constexpr int SpeciesRecordSize = 496; // bytes of one TSpecies in files

using TSpeciesCounts = std::array<int32_t, MaxSpecies>;

// The per-species counts of a cell (cell.Abundance, cell.Larvae, m.PrevLarvaeAt(x, y)) as a
// whole 51-entry TSpeciesCounts, for the measures and anything that takes the whole array:
// m.DiversityFunc(m, ToSpeciesCounts(cell.Abundance)). Entries past the pool are 0.
inline TSpeciesCounts ToSpeciesCounts(const TSpeciesCounts& counts) { return counts; }

// One sessile individual, owned by its cell. Positions are tenths of the cell (0..9).
struct TIndividual {
    int32_t Species = 0;
    int32_t Age = 0;
    double Size = 0.0;
    int32_t LastReproduction = 0;
    int8_t PosX = 0;
    int8_t PosY = 0;
};

struct TCell {
    TSpeciesCounts Abundance{};
    TSpeciesCounts Larvae{};
    int32_t IndividualCount = 0;
    int32_t LarvaeCount = 0;
    int32_t Capacity = 0;
    int32_t DisturbanceCount = 0;
    int32_t CellAge = 0;
    uint32_t Substrate = 255;
    std::vector<TIndividual> Individuals; // insertion order; removal closes the gap
    uint8_t Occupied[CellSide][CellSide] = {};
};

enum class TKernel : uint8_t { Exponential = 1, Diffusion = 2, Uniform = 4 };

// The species record. Its file layout (496 bytes) is written field by field by the files.
struct TSpecies {
    std::string Name;                 // at most 20 single-byte characters
    double DispersalDistance = 0.0;
    double PatchSize = 0.0;
    double MaxSize = 0.0;
    std::array<double, SeasonsPerYear> DeathProb{};
    std::array<double, SeasonsPerYear> Fecundity{};
    int32_t MaxLifespan = 0;
    int32_t NormalLifespan = 0;
    int32_t FirstReproduction = 0;
    int32_t ReproInterval = 0;
    bool GlobalDrift = false;
    int8_t Guild = 0;
    uint32_t GrowsOn = 0;
    uint32_t ChangesSubstrate = 0;
    double ReproAsync = 0.0;
    int32_t Color = 0;                // Windows colour value 0x00BBGGRR as stored in files
    int32_t GrowthModel = 0;          // 0 linear, 1 exponential
    double GrowthK = 0.0;
    double KFactor = 0.0;
    std::array<uint8_t, 368> Reserved{}; // stored as found
};

constexpr int NameLength = 20;

} // namespace marovi
