#pragma once
// What every file reader must do with any input, shared by the fuzz targets and the
// regression tests: refuse it with marovi::Error and leave the model as it was, or load
// it into a model whose saved bytes load again to the same model. Each check returns an
// empty text when the reader behaved, else what went wrong.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "disturbance/disturbance.h"
#include "files/bmp.h"
#include "files/byte_io.h"
#include "files/cell_matrix.h"
#include "files/disturbance_file.h"
#include "files/flow_grid_file.h"
#include "files/grid_file.h"
#include "files/species_pool_file.h"
#include "files/state_def_file.h"
#include "files/status_list.h"
#include "landscape/flow.h"
#include "landscape/landscape.h"
#include "model/grid.h"
#include "model/model.h"
#include "model/simulation.h"
#include "util/error.h"

namespace fuzz_checks {

using namespace marovi;

// A small model with individuals, definitions and a flow grid, as the program holds one.
inline const Model& Current()
{
    static const Model m = [] {
        Model s;
        InitStartupModel(s, 7, 3, 2);
        s.RandomSeed = 7;
        NewSimulationModel(s, 0);
        AddStandardDisturbance(s);
        NewFlowGrid(s.FlowGrid, 2, 1, 0.5, 0.25, 1.5);
        return s;
    }();
    return m;
}

inline std::string CellInvariants(const Model& m)
{
    if (m.Cells.size() != static_cast<size_t>(m.XDim) * static_cast<size_t>(m.YDim)) return "grid size";
    if (m.SpeciesPool.size() != static_cast<size_t>(m.SpeciesMax + 1)) return "pool size";
    if (m.Cells.SpeciesCount() != m.SpeciesMax + 1) return "counts per cell";
    TSpeciesCounts total{};
    for (const TCell& c : m.Cells) {
        if (c.Individuals.size() != static_cast<size_t>(c.IndividualCount)) return "individual count";
        if (c.Occupied.Count() != c.IndividualCount) return "occupied positions";
        for (const TIndividual& i : c.Individuals) {
            if (i.Species < 0 || i.Species > m.SpeciesMax) return "species index";
            if (i.PosX < 0 || i.PosX > 9 || i.PosY < 0 || i.PosY > 9 || !c.Occupied.Has(i.PosX, i.PosY)) return "position";
            total[static_cast<size_t>(i.Species)] += 1;
        }
    }
    if (total != m.StepAbundance) return "step abundance";
    return {};
}

inline std::string CheckGridFile(std::string_view data)
{
    Model m = Current();
    static const std::string before = GridFileBytes(Current());
    try {
        LoadGridBytes(m, data, "fuzz.mgf");
    } catch (const Error&) {
        return GridFileBytes(m) == before ? "" : "a refused file changed the model";
    }
    if (std::string bad = CellInvariants(m); !bad.empty()) return "loaded model: " + bad;
    const std::string saved = GridFileBytes(m);
    Model again;
    try {
        LoadGridBytes(again, saved, "saved.mgf");
    } catch (const Error& e) {
        return std::string("the saved file is refused: ") + e.what();
    }
    return GridFileBytes(again) == saved ? "" : "the saved file loads to another model";
}

inline std::string CheckSpeciesPool(std::string_view data)
{
    Model m = Current();
    const std::string before = SpeciesPoolBytes(m);
    try {
        TByteReader r(data, "fuzz.msd");
        ReadSpeciesPool(m, r);
    } catch (const Error&) {
        return SpeciesPoolBytes(m) == before ? "" : "a refused file changed the pool";
    }
    const std::string saved = SpeciesPoolBytes(m);
    Model again;
    TByteReader r(saved, "saved.msd");
    try {
        ReadSpeciesPool(again, r);
    } catch (const Error& e) {
        return std::string("the saved file is refused: ") + e.what();
    }
    if (again.GrowthFunc != m.GrowthFunc) return "growth functions differ";
    return SpeciesPoolBytes(again) == saved ? "" : "the saved file loads to another pool";
}

inline std::string DisturbanceBytes(const Model& m)
{
    return BytesOf([&](TByteWriter& w) {
        for (const TDisturbanceDef& d : m.Disturbances) WriteDisturbanceRecord(w, d);
    });
}

inline std::string CheckDisturbances(std::string_view data)
{
    Model m = Current();
    const std::string before = DisturbanceBytes(m);
    try {
        TByteReader r(data, "fuzz.mdf");
        ReadDisturbances(m, r);
    } catch (const Error&) {
        return DisturbanceBytes(m) == before ? "" : "a refused file changed the list";
    }
    if (m.Disturbances.size() != 1 + data.size() / DisturbanceRecordSize) return "not every whole record was read";
    const std::string saved = DisturbanceBytes(m);
    Model again;
    TByteReader r(saved, "saved.mdf");
    ReadDisturbances(again, r);
    return DisturbanceBytes(again) == saved ? "" : "the saved file loads to another list";
}

inline std::string FlowBytes(const TFlowGrid& g)
{
    return BytesOf([&](TByteWriter& w) { WriteFlowGridBlock(w, g); });
}

inline std::string CheckFlowGrid(std::string_view data)
{
    TFlowGrid g;
    try {
        TByteReader r(data, "fuzz.mfg");
        g = ReadFlowGridBlock(r);
    } catch (const Error&) {
        return {};
    }
    if (g.XCount < 1 || g.YCount < 1 || g.Cells.size() != static_cast<size_t>(g.XCount) * static_cast<size_t>(g.YCount))
        return "flow grid size";
    const std::string saved = FlowBytes(g);
    TByteReader r(saved, "saved.mfg");
    return FlowBytes(ReadFlowGridBlock(r)) == saved ? "" : "the saved file loads to another flow grid";
}

inline std::string CheckFlowText(std::string_view data)
{
    Model m = Current();
    // The separators a user would choose; a blank or a digit would make the text ambiguous.
    if (!data.empty()) m.Separator = ";,\t|:"[static_cast<uint8_t>(data[0]) % 5];
    TFlowGrid g;
    try {
        g = ParseFlowGridText(m, data, "fuzz.txt");
    } catch (const Error&) {
        return {};
    }
    if (g.XCount < 1 || g.YCount < 1 || g.Cells.size() != static_cast<size_t>(g.XCount) * static_cast<size_t>(g.YCount))
        return "flow grid size";
    // The text holds rounded values: the export must import again to a grid of the same size.
    m.FlowGrid = g;
    try {
        const TFlowGrid again = ParseFlowGridText(m, FlowGridText(m), "saved.txt");
        if (again.XCount != g.XCount || again.YCount != g.YCount) return "the export imports to another size";
    } catch (const Error& e) {
        return std::string("the export is refused: ") + e.what();
    }
    return {};
}

inline std::string StateBytes(const TStateDef& defs)
{
    return BytesOf([&](TByteWriter& w) { WriteStateDefBlock(w, defs); });
}

inline std::string CheckStateDefs(std::string_view data)
{
    TStateDef defs;
    try {
        TByteReader r(data, "fuzz.mtd");
        defs = ReadStateDefBlock(r);
    } catch (const Error&) {
        return data.size() < StateDefBlockSize ? "" : "a whole table was refused";
    }
    const std::string saved = StateBytes(defs);
    TByteReader r(saved, "saved.mtd");
    return StateBytes(ReadStateDefBlock(r)) == saved ? "" : "the saved table loads to another table";
}

// The grey-value mapping of an image onto the grid: the first bytes choose the image and
// grid sizes and the two capacities, the rest are the pixels.
inline std::string CheckGreyImage(std::string_view data)
{
    auto byte = [&](size_t i) { return i < data.size() ? static_cast<uint8_t>(data[i]) : uint8_t{0}; };
    auto int32 = [&](size_t i) {
        return static_cast<int32_t>(uint32_t{byte(i)} | uint32_t{byte(i + 1)} << 8 | uint32_t{byte(i + 2)} << 16 |
                                    uint32_t{byte(i + 3)} << 24);
    };
    Model m;
    CreateGrid(m, 1 + byte(0) % 40, 1 + byte(1) % 40);
    m.HighCapacity = int32(2);
    m.LowCapacity = int32(6);
    TGreyImage image;
    image.Width = static_cast<int8_t>(byte(10)); // negative and zero sizes too
    image.Height = static_cast<int8_t>(byte(11));
    for (size_t i = 12; i + 2 < data.size(); i += 3) image.Pixels.push_back(uint32_t{byte(i)} << 16 | uint32_t{byte(i + 1)} << 8 | byte(i + 2));
    LandscapeFromImage(m, image);
    for (const TCell& c : m.Cells)
        if (c.Capacity < 0 || c.Capacity > MaxCellCapacity) return "capacity outside 0..100";
    return {};
}

// A landscape image: refused, or read into a picture that a 24-bit bitmap gives back.
inline std::string CheckBmp(std::string_view data)
{
    TRgbImage image;
    try {
        image = ReadBmpBytes(data, "fuzz.bmp");
    } catch (const Error&) {
        return {};
    }
    if (image.Width < 1 || image.Height < 1 ||
        image.Pixels.size() != static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height))
        return "picture size";
    for (const uint32_t p : image.Pixels)
        if (p > 0xFFFFFF) return "pixel outside 24 bits";
    return ReadBmpBytes(BmpBytes(image), "saved.bmp").Pixels == image.Pixels ? "" : "the saved bitmap reads to another picture";
}

// A landscape's capacities as text: refused, or read into a matrix of its size whose
// numbers lie in the range asked for.
inline std::string CheckCellMatrix(std::string_view data)
{
    TCellMatrix c;
    try {
        c = ParseCellMatrix(data, "fuzz.txt", -5, 100);
    } catch (const Error&) {
        return {};
    }
    if (c.Width < 1 || c.Height < 1 || c.Values.size() != static_cast<size_t>(c.Width) * static_cast<size_t>(c.Height))
        return "matrix size";
    for (const int64_t v : c.Values)
        if (v < -5 || v > 100) return "number outside the range";
    return {};
}

// The companion text file: read into a status list, saved as a companion file, read again.
inline std::string CheckStatusList(std::string_view data)
{
    namespace fs = std::filesystem;
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("marovi_fuzz_status_" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    const std::string in = (dir / "in.TXT").string(), out = (dir / "out.TXT").string();
    std::ofstream(in, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
    const Model& m = Current();
    auto clock = [] { return std::string("2000-01-01 00:00:00"); };
    TStatusList list(clock, dir.string());
    const TPopulationData first = LoadPopulationData(m, in, m.FirstSpeciesColumn, list);
    list.SaveCompanion(out);
    TStatusList again(clock, dir.string());
    const TPopulationData second = LoadPopulationData(m, out, m.FirstSpeciesColumn, again);
    if (!first.Error.empty()) return {};
    if (!second.Error.empty()) return "the saved file stops early: " + second.Error;
    auto key = [](const TPopulationData& d) {
        std::vector<std::pair<int32_t, TSpeciesCounts>> k;
        for (const TPopulationPoint& p : d.Points) k.emplace_back(p.TimeStep, p.Counts);
        std::sort(k.begin(), k.end());
        return k;
    };
    return key(first) == key(second) ? "" : "the saved file reads to other points";
}

} // namespace fuzz_checks
