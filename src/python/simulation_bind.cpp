// marovi.Simulation: start, load, save, step, parameters by name.
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cmath>
#include <limits>

#include "analysis/indices.h"
#include "analysis_common.h"
#include "interrupt.h"
#include "model/parameter_table.h"
#include "py_common.h"
#include "simulation.h"
#include "util/format.h"

namespace marovi::python {

std::unique_lock<std::mutex> Use(TSimulation& s)
{
    std::unique_lock<std::mutex> lock(s.Busy(), std::try_to_lock);
    if (!lock.owns_lock()) {
        py::gil_scoped_release release;
        lock.lock();
    }
    return lock;
}

namespace {

using TSeed = std::optional<int32_t>;
using TPath = std::filesystem::path;

// The value a parameter takes from Python: numbers and booleans, kernels also by name.
// Anything else becomes NaN, which every kind refuses with its own message.
double ParameterValue(const TParameter& p, py::handle value)
{
    double code = 0;
    if (py::isinstance<py::str>(value))
        return p.Kind == TParameterKind::Kernel && ParseKernelName(value.cast<std::string>(), code)
                   ? code
                   : std::numeric_limits<double>::quiet_NaN();
    try {
        return py::float_(py::reinterpret_borrow<py::object>(value)).cast<double>();
    } catch (const py::error_already_set&) {
        return std::numeric_limits<double>::quiet_NaN();
    }
}

py::object ParameterObject(const TParameter& p, double value)
{
    switch (p.Kind) {
    case TParameterKind::Boolean:
        return py::bool_(value != 0);
    case TParameterKind::Kernel:
        return py::str(ParameterValueText(p, value));
    case TParameterKind::Integer:
        return py::int_(static_cast<long long>(value));
    case TParameterKind::Real:
        break;
    }
    return py::float_(value);
}

py::object GetParameter(TSimulation& s, const std::string& name)
{
    auto lock = Use(s);
    const TParameterColumn c = FindParameterColumn(name, s.M().SpeciesMax + 1);
    return ParameterObject(*c.Parameter, c.Parameter->Get(s.M(), c.Species));
}

void SetParameter(TSimulation& s, const std::string& name, const py::object& value)
{
    auto lock = Use(s);
    const TParameterColumn c = FindParameterColumn(name, s.M().SpeciesMax + 1);
    const double v = ParameterValue(*c.Parameter, value);
    const std::string why = ParameterValueError(*c.Parameter, v);
    if (!why.empty()) throw Error(why + " (not " + py::repr(value).cast<std::string>() + ")");
    c.Parameter->Set(s.M(), c.Species, v);
}

py::dict Parameters(TSimulation& s)
{
    auto lock = Use(s);
    py::dict d;
    const Model& m = s.M();
    for (const TParameter& p : ParameterTable()) {
        if (!p.PerSpecies) d[py::str(p.Name)] = ParameterObject(p, p.Get(m, -1));
    }
    for (int species = 0; species <= m.SpeciesMax; ++species)
        for (const TParameter& p : ParameterTable())
            if (p.PerSpecies) d[py::str(ParameterColumnName(p, species))] = ParameterObject(p, p.Get(m, species));
    return d;
}

void SetDiversityMeasure(TSimulation& s, const std::string& name)
{
    const TDiversityEntry* measure = cli::FindDiversityMeasure(name);
    if (!measure)
        throw Error("unknown diversity measure " + name +
                    ": expected shannon, simpson, recsimpson, brillouin, mindex0, mindex, hill0 or hill");
    auto lock = Use(s);
    s.M().DiversityFunc = measure->Func;
    s.M().DiversityName = measure->Name;
}

int Step(TSimulation& s, int n)
{
    if (n < 0) throw Error(Format("step: n must not be negative (not %d)", {n}));
    TInterruptWatch watch;
    int done = 0;
    {
        py::gil_scoped_release release;
        std::lock_guard<std::mutex> lock(s.Busy());
        done = s.Step(n, watch.Requested());
    }
    watch.Check();
    return done;
}

// A value of the model, read while it is not stepping.
template <class F>
auto Read(TSimulation& s, F read)
{
    auto lock = Use(s);
    return read(static_cast<const Model&>(s.M()));
}

// Long file work runs without Python's lock.
template <class F>
void Unlocked(TSimulation& s, F work)
{
    py::gil_scoped_release release;
    std::lock_guard<std::mutex> lock(s.Busy());
    work();
}

std::unique_ptr<TSimulation> LoadNew(const TPath& path, TSeed seed)
{
    auto s = std::make_unique<TSimulation>();
    Unlocked(*s, [&] { s->Load(path.string(), seed); });
    return s;
}

constexpr const char* LoadDoc = R"(Load a grid file (.mgf) saved by MAROVI, marovi-cli or save().

The generator starts from `seed` (the clock's seed without one: a grid file stores no
generator state), as `marovi-cli run FILE --seed SEED` does. The companion file's history
(FILE.TXT) is kept for the next save. Raises OSError for a file that can not be read and
ValueError for a damaged one; a failed load leaves the simulation as it was.)";

} // namespace

void BindSimulation(py::module_& module)
{
    py::class_<TSimulation> c(module, "Simulation", R"(A MAROVI simulation.

Simulation(seed=None, grid=(100, 100)) is the start-up state of the desktop program for a
seed: 10 default species on a random two-level landscape of grid = (width, height) cells,
filled as "new" fills it; exactly what `marovi-cli new --seed SEED --grid WxH --steps 0`
saves. Without a seed the clock's seed is used (see .seed).

    sim = marovi.Simulation(seed=5, grid=(40, 40))
    sim["DispersalKernel"] = "uniform"     # global parameters by the sweep plans' names
    sim["species3.Fecundity"] = 2.0        # species fields as speciesN.Field, N from 1
    sim.restart()                          # a new start with them (as a sweep run starts)
    sim.step(100)                          # returns the steps done
    sim.abundance()                        # numpy (species, y, x)
    sim.census()["diversity"]              # per step since this object's start
    sim.save("run.mgf")                    # grid file and companion run.TXT

step() releases Python's lock while it runs, so other threads stay live; Ctrl-C stops it
at the next step boundary (KeyboardInterrupt, the steps done so far kept). Methods called
from another thread while a step runs wait for it.)");
    c.def(py::init([](TSeed seed, std::pair<int, int> grid) {
                 return std::make_unique<TSimulation>(seed, grid.first, grid.second);
             }),
             py::arg("seed") = py::none(), py::arg("grid") = std::pair<int, int>(100, 100),
             "The start-up state for a seed and grid = (width, height).")
        .def(
            "load", [](TSimulation& s, const TPath& path, TSeed seed) { Unlocked(s, [&] { s.Load(path.string(), seed); }); },
            py::arg("path"), py::arg("seed") = py::none(), LoadDoc)
        .def(
            "save", [](TSimulation& s, const TPath& path) { Unlocked(s, [&] { s.Save(path.string()); }); },
            py::arg("path"), R"(Save the grid file and its companion file (the name with .TXT): the status
list of the run, one entry per step, as `marovi-cli new/run --status` writes it. An older
file is replaced only once everything is written; OSError when it can not be written.)")
        .def(
            "restart", [](TSimulation& s, TSeed seed) { Unlocked(s, [&] { s.Restart(seed); }); },
            py::arg("seed") = py::none(), R"(Start anew ("new"): the landscape, the species and the parameters stay, the
cells are cleared and filled again (StartFill columns), the time step is 0 and the census
starts again. The generator starts from `seed`, else from the RandomSeed the simulation
holds, else from the clock.)")
        .def("step", &Step, py::arg("n") = 1, R"(Run up to n time steps; returns the number done.

As `marovi-cli run` does, the run ends early when the diversity falls to 0 or the
termination criterion holds. Runs without Python's lock; Ctrl-C stops it at the next step
boundary with KeyboardInterrupt, keeping the steps done.)")
        .def_property_readonly(
            "time_step", [](TSimulation& s) { return Read(s, [](const Model& m) { return m.TimeStep; }); }, "The time step of the simulation.")
        .def_property_readonly(
            "seed",
            [](TSimulation& s) {
                auto lock = Use(s);
                return s.Seed();
            }, "The seed the generator started from.")
        .def_property_readonly(
            "grid", [](TSimulation& s) { return Read(s, [](const Model& m) { return std::pair<int, int>(m.XDim, m.YDim); }); },
            "The grid size (width, height); arrays have the shape (height, width).")
        .def_property_readonly(
            "species_count", [](TSimulation& s) { return Read(s, [](const Model& m) { return m.SpeciesMax + 1; }); },
            "The number of species in the pool.")
        .def_property_readonly(
            "species_names",
            [](TSimulation& s) {
                auto lock = Use(s);
                std::vector<std::string> names;
                for (int i = 0; i <= s.M().SpeciesMax; ++i) names.push_back(s.M().SpeciesPool[static_cast<size_t>(i)].Name);
                return names;
            },
            "The species' names, species 1 first.")
        .def_property_readonly(
            "file_name", [](TSimulation& s) { return Read(s, [](const Model& m) { return m.FileName; }); },
            "The file loaded or saved last, \"-not saved-\" before.")
        .def_property(
            "diversity_measure", [](TSimulation& s) { return Read(s, [](const Model& m) { return m.DiversityName; }); }, &SetDiversityMeasure,
            R"(The diversity measure of the census, the cluster report and the status list: its
name ("Shannon Index"); set it by shannon, simpson, recsimpson, brillouin, mindex0, mindex,
hill0 or hill (of order hill_order), as sweep plans name them.)")
        .def_property(
            "hill_order", [](TSimulation& s) { return Read(s, [](const Model& m) { return m.HillOrder; }); },
            [](TSimulation& s, double q) {
                if (!std::isfinite(q) || q < 0 || q > 1e6) throw Error(Format("hill_order must be 0..1000000 (not %s)", {ShortestText(q)}));
                auto lock = Use(s);
                s.M().HillOrder = q;
            },
            "The order q of the hill measure.")
        .def_property(
            "threads",
            [](TSimulation& s) {
                auto lock = Use(s);
                return s.Threads();
            },
            [](TSimulation& s, int threads) {
                auto lock = Use(s);
                s.SetThreads(threads);
            },
            R"(The threads a step runs on: the processors this process may use unless set (1 for
one). Every count gives the same results, bit for bit.)")
        .def("__getitem__", &GetParameter, py::arg("name"), R"(A parameter by the name sweep plans and tables give it:
a global parameter ("Torus", "DispersalKernel", "GlobalKFactor", ...) or a species field
"speciesN.Field" ("species3.Fecundity"). Switches are bool, kernels their names
("exponential", "diffusion", "uniform"), whole numbers int, the rest float.)")
        .def("__setitem__", &SetParameter, py::arg("name"), py::arg("value"), R"(Set a parameter by its name (see
__getitem__), with the sweep plans' range checks: ValueError with the program's message for
a value out of range, an unknown name or a species the pool lacks. Parameters of the start
(StartFill, the initial fill) take effect with restart().)")
        .def("parameters", &Parameters, "Every parameter by name: the global ones, then every field of every species.")
        .def("__repr__", [](TSimulation& s) {
            auto lock = Use(s);
            return Format("<marovi.Simulation %d x %d, %d species, time step %d>",
                          {s.M().XDim, s.M().YDim, s.M().SpeciesMax + 1, s.M().TimeStep});
        });
    BindArrays(c);
    module.def("load", &LoadNew, py::arg("path"), py::arg("seed") = py::none(),
               (std::string("A new Simulation from a grid file.\n\n") + LoadDoc).c_str());
}

} // namespace marovi::python
