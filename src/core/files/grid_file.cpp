#include "files/grid_file.h"

#include <algorithm>
#include <utility>

#include "analysis/states.h"
#include "files/byte_io.h"
#include "files/disturbance_file.h"
#include "files/flow_grid_file.h"
#include "files/save_file.h"
#include "files/species_record.h"
#include "files/state_def_file.h"
#include "landscape/flow.h"
#include "landscape/landscape.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/numeric.h"
#include "model/species_pool.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

constexpr std::string_view Magic = "MAROVI GRID FILE";
constexpr std::string_view Version = "V 1.20";
constexpr char FormatLetter = 'J';
constexpr size_t HeaderSize = 608;
constexpr size_t CellRecordSize = 20;
constexpr size_t IndividualRecordSize = 32;

// Kernel codes of the header: low half dispersal, high half patch.
uint8_t KernelCode(TKernel k) { return static_cast<uint8_t>(k); }

TKernel KernelFromCode(int code)
{
    switch (code) {
    case 2: return TKernel::Diffusion;
    case 4: return TKernel::Uniform;
    default: return TKernel::Exponential;
    }
}

// The lottery byte cannot say "species k-factors without the biased lottery"; such a model
// is stored as the simple lottery it runs, so that it runs the same after loading.
uint8_t LotteryCode(const Model& m)
{
    if (!m.BiasedLottery) return 0;
    return m.SpeciesKFactor ? 2 : 1;
}

void SetLottery(Model& m, int code)
{
    if (code == 0 || code == 1 || code == 2) {
        m.BiasedLottery = code != 0;
        m.SpeciesKFactor = code == 2;
    }
}

void WriteHeader(TByteWriter& w, const Model& m)
{
    TRecordOut<HeaderSize> h;
    h.Chars(0, Magic);
    h.Chars(16, Version);
    h.I32(24, static_cast<int32_t>(m.SpeciesPool.size()));
    h.I32(28, m.XDim);
    h.I32(32, m.YDim);
    h.I32(36, static_cast<int32_t>(m.Disturbances.size()));
    h.I32(40, m.DisturbedCellCount);
    h.I32(44, m.TimeStep);
    h.I32(48, m.DisturbanceEventCount);
    h.I32(52, m.MaxDriftLarvae);
    h.F64(56, m.ExternalDriftProb);
    h.I32(64, m.HighCapacity);
    h.I32(68, m.LowCapacity);
    h.F64(72, m.HighCapacityProb);
    h.F64(80, m.FlowDirection);
    h.F64(88, m.FlowDeviation);
    for (size_t i = 0; i < MaxSpecies; ++i) {
        h.I32(96 + 4 * i, m.ExtinctionStep[i]);
        h.I32(300 + 4 * i, m.LastAbundance[i]);
    }
    h.I32(504, m.MaxRuntime);
    h.I32(508, m.Repetitions);
    h.Bool(512, m.Torus);
    h.Bool(513, m.OnlyGlobalDrift);
    h.Bool(514, m.ProportionalDrift);
    h.U8(515, static_cast<uint8_t>(m.Separator));
    h.Bool(516, m.SeedSync);
    h.F64(520, m.MinSize);
    h.U8(528, FormatLetter);
    h.U8(529, static_cast<uint8_t>(KernelCode(m.PatchKernel) * 16 + KernelCode(m.DispersalKernel)));
    h.U8(530, LotteryCode(m));
    h.Bool(531, m.ReservedFlag);
    h.U8(532, m.NeighbourhoodSize);
    h.F64(536, m.GlobalKFactor);
    h.Bool(544, m.FluctRepro);
    h.I32(545, m.FluctReproMin);
    h.I32(549, m.FluctReproMax);
    h.I32(553, m.RandomSeed);
    h.I32(557, m.TermDisturbances);
    h.I32(561, m.TermSteps);
    w.Write(h);
}

void WriteCells(TByteWriter& w, const Model& m)
{
    for (int x = 0; x < m.XDim; ++x)
        for (int y = 0; y < m.YDim; ++y) {
            const TCell& cell = m.Cell(x, y);
            // The cell record and its individuals' records, filled in place.
            TRecordAt c(w.Claim(CellRecordSize + cell.Individuals.size() * IndividualRecordSize));
            c.I32(0, cell.Capacity);
            c.I32(4, cell.DisturbanceCount);
            c.I32(8, cell.CellAge);
            c.U32(12, cell.Substrate);
            c.I32(16, static_cast<int32_t>(cell.Individuals.size()));
            TRecordAt r = c.Next(CellRecordSize);
            for (const TIndividual& ind : cell.Individuals) {
                r.I32(0, ind.Species);
                r.I32(4, ind.Age);
                r.F64(8, ind.Size);
                r.I32(16, ind.LastReproduction);
                r.I32(20, ind.PosX);
                r.I32(24, ind.PosY);
                r = r.Next(IndividualRecordSize);
            }
        }
}

std::string VersionMessage(std::string_view fileVersion)
{
    return "Datafile not compatible with this version of MAROVI!\r\rdatafile : " + std::string(fileVersion) +
           "\rcore : " + std::string(Version) + "\r\rSorry for your inconvenience!";
}

// The header's counts, checked against each other and against the bytes that follow.
struct THeaderCounts {
    int32_t Species, XDim, YDim, Definitions;
};

THeaderCounts CheckCounts(const TRecordIn& h, const TByteReader& r)
{
    const THeaderCounts c{h.I32(24), h.I32(28), h.I32(32), h.I32(36)};
    const std::string& name = r.Name();
    if (c.Species < 0) throw Error(Format("%s: the header claims %d species", {name, c.Species}));
    if (c.Species > MaxSpecies) throw Error(Format("Can not create more then %d different species!", {MaxSpecies - 1}));
    if (c.XDim < 1 || c.YDim < 1) throw Error(Format("%s: the header claims a grid of %d x %d cells", {name, c.XDim, c.YDim}));
    if (c.Definitions < 0)
        throw Error(Format("%s: the header claims %d disturbance definitions", {name, c.Definitions}));
    // The least the rest of the file must hold: blocks, definitions, species and one empty
    // record per cell. Checked before anything is allocated for these counts.
    uint64_t left = r.Remaining();
    auto take = [&left](uint64_t count, uint64_t size) {
        if (size > 0 && count > left / size) return false;
        left -= count * size;
        return true;
    };
    const uint8_t letter = h.U8(528);
    const uint64_t blocks = (letter > 'B' ? StateDefBlockSize : 0) + (letter > 'C' ? 8 + 24 : 0);
    const uint64_t cells = static_cast<uint64_t>(c.XDim) * static_cast<uint64_t>(c.YDim);
    if (!take(blocks, 1) || !take(static_cast<uint64_t>(c.Definitions), DisturbanceRecordSize) ||
        !take(static_cast<uint64_t>(c.Species), SpeciesRecordSize) || !take(cells, CellRecordSize))
        throw Error(Format("%s: the file is too short for the %d x %d grid, %d species and %d disturbance definitions "
                           "its header claims",
                           {name, c.XDim, c.YDim, c.Species, c.Definitions}));
    return c;
}

void ReadHeaderValues(Model& m, const TRecordIn& h)
{
    m.TimeStep = h.I32(44);
    m.SeasonYear = m.TimeStep / SeasonsPerYear;
    m.Season = m.TimeStep % SeasonsPerYear;
    m.DisturbanceEventCount = h.I32(48);
    m.DisturbedCellCount = h.I32(40);
    m.MaxDriftLarvae = h.I32(52);
    m.ExternalDriftProb = h.F64(56);
    m.HighCapacity = h.I32(64);
    m.LowCapacity = h.I32(68);
    m.HighCapacityProb = h.F64(72);
    m.FlowDirection = h.F64(80);
    m.FlowDeviation = h.F64(88);
    for (size_t i = 0; i < MaxSpecies; ++i) {
        m.ExtinctionStep[i] = h.I32(96 + 4 * i);
        m.LastAbundance[i] = h.I32(300 + 4 * i);
    }
    m.MaxRuntime = h.I32(504);
    m.Repetitions = h.I32(508);
    m.Torus = h.Bool(512);
    m.OnlyGlobalDrift = h.Bool(513);
    m.ProportionalDrift = h.Bool(514);
    // A stored separator 0 keeps the current one.
    if (h.U8(515) != 0) m.Separator = static_cast<char>(h.U8(515));
    m.MinSize = h.F64(520);
    m.SeedSync = h.Bool(516);
    m.DispersalKernel = KernelFromCode(h.U8(529) & 0x0F);
    m.PatchKernel = KernelFromCode(h.U8(529) >> 4);
    SetLottery(m, h.U8(530));
    m.ReservedFlag = h.Bool(531);
    m.GlobalKFactor = h.F64(536);
    m.NeighbourhoodSize = h.U8(532);
    m.FluctRepro = h.Bool(544);
    m.FluctReproMin = h.I32(545);
    m.FluctReproMax = h.I32(549);
    m.RandomSeed = h.I32(553);
    m.TermDisturbances = h.I32(557);
    m.TermSteps = h.I32(561);
}

void ReadCell(Model& m, TByteReader& r, int x, int y)
{
    const std::string& name = r.Name();
    if (r.Remaining() < CellRecordSize) throw Error(Format("%s: the file ends before cell [%d,%d]", {name, x, y}));
    const TRecordIn c = r.Record(CellRecordSize, "a cell");
    const int32_t n = c.I32(16);
    if (n < 0 || n > CellPositions)
        throw Error(Format("%s: cell [%d,%d] claims %d individuals (at most %d)", {name, x, y, n, CellPositions}));
    if (static_cast<uint64_t>(n) * IndividualRecordSize > r.Remaining())
        throw Error(Format("%s: the file ends before the %d individuals of cell [%d,%d]", {name, n, x, y}));
    TCell& cell = m.Cell(x, y);
    cell.Capacity = c.I32(0);
    cell.DisturbanceCount = c.I32(4);
    cell.CellAge = c.I32(8);
    cell.Substrate = c.U32(12);
    cell.IndividualCount = n;
    // The capacity is only a sizing hint, and the cell holds at most 100 individuals.
    m.Cells.ReserveIndividuals(cell, static_cast<size_t>(std::max(n, std::clamp(cell.Capacity, 0, MaxCellCapacity))));
    const TRecordIn all = r.Record(static_cast<size_t>(n) * IndividualRecordSize, "the individuals of a cell");
    for (int k = 0; k < n; ++k) {
        const TRecordIn i = all.Sub(static_cast<size_t>(k) * IndividualRecordSize, IndividualRecordSize);
        TIndividual ind;
        ind.Species = i.I32(0);
        ind.Age = i.I32(4);
        ind.Size = i.F64(8);
        ind.LastReproduction = i.I32(16);
        const int32_t px = i.I32(20), py = i.I32(24);
        if (ind.Species < 0 || ind.Species > m.SpeciesMax)
            throw Error(Format("%s: individual %d of cell [%d,%d] is of species %d, which the pool of %d species does not hold",
                               {name, k + 1, x, y, ind.Species + 1, m.SpeciesMax + 1}));
        if (px < 0 || px >= CellSide || py < 0 || py >= CellSide)
            throw Error(Format("%s: individual %d of cell [%d,%d] has position (%d,%d) outside 0..9", {name, k + 1, x, y, px, py}));
        if (cell.Occupied.Has(px, py))
            throw Error(Format("%s: individual %d of cell [%d,%d] takes position (%d,%d), which another individual holds",
                               {name, k + 1, x, y, px, py}));
        ind.PosX = static_cast<int8_t>(px);
        ind.PosY = static_cast<int8_t>(py);
        cell.Occupied.Set(px, py);
        m.StepAbundance[static_cast<size_t>(ind.Species)] += 1;
        cell.Individuals.push_back(ind);
    }
}

// Moves a model's bulky contents aside while its settings are copied, and puts them back
// whatever happens.
class TBulkAside {
public:
    explicit TBulkAside(Model& m)
        : m_(m), cells_(std::move(m.Cells)), flow_(std::move(m.FlowGrid.Cells))
    {
    }
    ~TBulkAside()
    {
        m_.Cells = std::move(cells_);
        m_.FlowGrid.Cells = std::move(flow_);
    }
    TBulkAside(const TBulkAside&) = delete;
    TBulkAside& operator=(const TBulkAside&) = delete;

private:
    Model& m_;
    TCellGrid cells_;
    std::vector<TFlowCell> flow_;
};

// Everything of m that a grid file does not replace (settings, selections, the random
// stream), without copying its grid.
Model SettingsOf(Model& m)
{
    TBulkAside aside(m);
    return m;
}

} // namespace

void WriteGridFile(TByteWriter& w, const Model& m)
{
    WriteHeader(w, m);
    WriteStateDefBlock(w, m.StateDefs);
    WriteFlowGridBlock(w, m.FlowGrid);
    for (const TDisturbanceDef& d : m.Disturbances) WriteDisturbanceRecord(w, d);
    for (const TSpecies& s : m.SpeciesPool) WriteSpeciesRecord(w, s);
    WriteCells(w, m);
}

void ReadGridFile(Model& m, TByteReader& r, const TLoadProgress& progress)
{
    const TRecordIn h = r.Record(static_cast<size_t>(std::min<uint64_t>(r.Remaining(), HeaderSize)), "the header");
    if (h.Size() < Magic.size() || h.Chars(0, Magic.size()) != Magic) throw Error("not a MAROVI grid file!");
    if (h.Size() < 22) throw Error(Format("%s: the file ends before the end of the header", {r.Name()}));
    if (h.Chars(16, Version.size()) != Version) throw Error(VersionMessage(h.Chars(16, Version.size())));
    if (h.Size() < HeaderSize) throw Error(Format("%s: the file ends before the end of the header", {r.Name()}));
    const THeaderCounts counts = CheckCounts(h, r);

    Model fresh = SettingsOf(m);
    ReleaseGrid(fresh);
    ClearSpeciesPool(fresh);
    CreateSpeciesPool(fresh, counts.Species); // first: the grid sizes its counts by the pool
    CreateGrid(fresh, counts.XDim, counts.YDim);
    // The new cells are empty; the file gives each its capacity, counters and substrate.
    ReadHeaderValues(fresh, h);

    const uint8_t letter = h.U8(528);
    if (letter > 'B')
        fresh.StateDefs = ReadStateDefBlock(r);
    else
        ResetStateDefs(fresh.StateDefs);
    if (letter > 'C')
        fresh.FlowGrid = ReadFlowGridBlock(r);
    else
        NewFlowGrid(fresh.FlowGrid, 1, 1, fresh.FlowDirection, fresh.FlowDeviation, 1.0);
    fresh.FirstSpeciesColumn = letter <= 'G' ? 6 : 7;

    for (int i = 0; i < counts.Definitions; ++i) ReadDisturbanceRecord(r, fresh, i + 1);
    for (int i = 0; i < counts.Species; ++i) ReadSpeciesRecord(r, i, fresh.SpeciesPool[static_cast<size_t>(i)]);
    ApplyGrowthModels(fresh);

    fresh.StepAbundance.fill(0);
    for (int x = 0; x < fresh.XDim; ++x) {
        if (progress.OnProgress)
            progress.OnProgress(RoundToInt(static_cast<double>(int64_t{x} * 99) / fresh.XDim));
        for (int y = 0; y < fresh.YDim; ++y) ReadCell(fresh, r, x, y);
    }
    UpdateAnyGlobalDrift(fresh);
    m = std::move(fresh);
}

void SaveGridFile(const Model& m, const std::string& path)
{
    SaveReplacing(path, [&](TByteWriter& w) { WriteGridFile(w, m); });
}

void LoadGridFile(Model& m, const std::string& path, const TLoadProgress& progress)
{
    TByteReader r(path);
    ReadGridFile(m, r, progress);
}

std::string GridFileBytes(const Model& m)
{
    return BytesOf([&](TByteWriter& w) { WriteGridFile(w, m); });
}

void LoadGridBytes(Model& m, std::string_view bytes, const std::string& name, const TLoadProgress& progress)
{
    TByteReader r(bytes, name);
    ReadGridFile(m, r, progress);
}

} // namespace marovi
