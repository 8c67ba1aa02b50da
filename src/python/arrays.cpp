// The arrays of a simulation: cell maps, individuals and the census.
#include <pybind11/stl.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "analysis_common.h"
#include "cell_map.h"
#include "simulation.h"
#include "model/step_threads.h"
#include "util/large_block.h"

namespace marovi::python {
namespace {

// Counts per species and cell as [species, y, x]: the individuals, or the larvae that
// reached each cell in the last settlement. They are counted into memory in the grid's own
// order, cell (x, y) at x * height + y and its species side by side, which the counting
// reads and writes straight through (a 1000 x 1000 grid in a fraction of the time that
// writing species planes row by row takes); the array is a view of that memory.
py::array_t<int32_t> SpeciesCounts(Model& m, int threads, bool larvae)
{
    const size_t species = static_cast<size_t>(m.SpeciesMax + 1);
    const size_t height = static_cast<size_t>(m.YDim), cells = height * static_cast<size_t>(m.XDim);
    auto block = std::make_unique<TLargeBlock>(species * cells * sizeof(int32_t), TLargeBlock::Now);
    int32_t* counts = static_cast<int32_t*>(block->data());
    auto count = [&](size_t first, size_t last) {
        for (size_t c = first; c < last; ++c) {
            int32_t* cell = counts + c * species;
            if (larvae) {
                const TCounts prev = m.Cells.PrevLarvae(c);
                std::copy(prev.begin(), prev.end(), cell);
            } else {
                for (const TIndividual& ind : m.Cells[c].Individuals) ++cell[ind.Species];
            }
        }
    };
    {
        // A large grid is counted by the threads the simulation steps on, each in its share
        // of the cells.
        py::gil_scoped_release release;
        m.StepThreads.SetCount(threads);
        const size_t parts = cells >= 100000 ? static_cast<size_t>(m.StepThreads.Count()) : 1;
        auto share = [&](int thread) {
            const size_t t = static_cast<size_t>(thread);
            if (t < parts) count(cells * t / parts, cells * (t + 1) / parts);
        };
        m.StepThreads.Run(share);
    }
    const auto n = [](size_t v) { return static_cast<py::ssize_t>(v); };
    const py::ssize_t item = sizeof(int32_t);
    py::capsule owner(block.release(), [](void* b) { delete static_cast<TLargeBlock*>(b); });
    return py::array_t<int32_t>({n(species), n(height), n(cells / height)},
                                {item, n(species) * item, n(height * species) * item}, counts, owner);
}

py::array_t<int32_t> Abundance(TSimulation& s, std::optional<int> species, bool larvae)
{
    auto lock = Use(s);
    Model& m = s.M();
    if (!species) return SpeciesCounts(m, s.Threads(), larvae);
    const int k = cli::ParseSpecies(m, *species, "species");
    if (larvae) return CellMap<int32_t>(m, [&](int x, int y) { return m.PrevLarvaeAt(x, y)[static_cast<size_t>(k)]; });
    return CellMap<int32_t>(m, [&](int x, int y) {
        int32_t n = 0;
        for (const TIndividual& ind : m.Cell(x, y).Individuals) n += ind.Species == k;
        return n;
    });
}

// A map of one field of the cells.
template <class T, class F>
auto FieldMap(F field)
{
    return [field](TSimulation& s) {
        auto lock = Use(s);
        const Model& m = s.M();
        return CellMap<T>(m, [&](int x, int y) { return static_cast<T>(field(m.Cell(x, y))); });
    };
}

py::dict Individuals(TSimulation& s)
{
    auto lock = Use(s);
    const Model& m = s.M();
    std::vector<int32_t> species, age, x, y, posX, posY, last;
    std::vector<double> size;
    for (int cx = 0; cx < m.XDim; ++cx)
        for (int cy = 0; cy < m.YDim; ++cy)
            for (const TIndividual& ind : m.Cell(cx, cy).Individuals) {
                species.push_back(ind.Species + 1);
                age.push_back(ind.Age);
                size.push_back(ind.Size);
                x.push_back(cx);
                y.push_back(cy);
                posX.push_back(ind.PosX);
                posY.push_back(ind.PosY);
                last.push_back(ind.LastReproduction);
            }
    py::dict d;
    d["species"] = ToArray(species);
    d["age"] = ToArray(age);
    d["size"] = ToArray(size);
    d["x"] = ToArray(x);
    d["y"] = ToArray(y);
    d["pos_x"] = ToArray(posX);
    d["pos_y"] = ToArray(posY);
    d["last_reproduction"] = ToArray(last);
    return d;
}

py::dict Census(TSimulation& s)
{
    auto lock = Use(s);
    const TCensus& c = s.Census();
    py::dict d;
    d["step"] = ToArray(c.Steps);
    py::array_t<int32_t> abundance = ToArray(c.Abundance);
    d["abundance"] = abundance.reshape({static_cast<py::ssize_t>(c.Steps.size()), static_cast<py::ssize_t>(c.Species)});
    d["diversity"] = ToArray(c.Diversity);
    d["guild_diversity"] = ToArray(c.GuildDiversity);
    d["disturbance_events"] = ToArray(c.DisturbanceEvents);
    d["disturbed_cells"] = ToArray(c.DisturbedCells);
    return d;
}

} // namespace

void BindArrays(py::class_<TSimulation>& c)
{
    c.def("abundance", &Abundance, py::arg("species") = py::none(), py::arg("larvae") = false,
          R"(Individuals per species and cell: an int32 array [species, y, x], species 1 at
index 0 (a view of counts kept in the grid's own order, cell by cell; np.ascontiguousarray
makes a C-ordered copy). With species=N the map [y, x] of species N alone. larvae=True
counts the larvae that reached each cell in the last settlement instead (0 after loading a
file).)")
        .def("individual_count", FieldMap<int32_t>([](const TCell& cell) { return cell.IndividualCount; }),
             "Individuals per cell, an int32 array [y, x].")
        .def("capacity", FieldMap<int32_t>([](const TCell& cell) { return cell.Capacity; }),
             "The capacity of every cell (individuals it holds at most), an int32 array [y, x].")
        .def("cell_age", FieldMap<int32_t>([](const TCell& cell) { return cell.CellAge; }),
             "Time steps since each cell was last disturbed, an int32 array [y, x].")
        .def("substrate", FieldMap<uint32_t>([](const TCell& cell) { return cell.Substrate; }),
             "The substrate types of every cell as bits (1 << type), a uint32 array [y, x].")
        .def("individuals", &Individuals, R"(Every individual as columns of one length (a dict of numpy
arrays): species (from 1), age, size, x, y (its cell), pos_x, pos_y (0..9 in the cell) and
last_reproduction; cells column by column, each cell's list in order, as the individual
list export writes them.)")
        .def("census", &Census, R"(The census of every step since this object's run started (created, loaded or
restarted), the starting state first, as a dict of numpy arrays: step (T), abundance
(T, species), diversity and guild_diversity (by diversity_measure; the guild figure of the
species present per guild), disturbance_events and disturbed_cells (counts of the run so
far). The rows of a sweep table hold the same figures.)");
}

} // namespace marovi::python
