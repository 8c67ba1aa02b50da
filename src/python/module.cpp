// The marovi Python module: the simulation, its arrays, the analyses and the sweeps of
// MAROVI from Python, over the same core as the desktop program and marovi-cli.
#include <algorithm>

#include "py_common.h"
#include "simulation.h"
#include "util/error.h"
#include "util/version.h"

namespace marovi::python {

py::object Namespace(const py::dict& entries)
{
    return py::module_::import("types").attr("SimpleNamespace")(**entries);
}

py::object Table(const py::dict& columns)
{
    py::object pandas;
    try {
        pandas = py::module_::import("pandas");
    } catch (const py::error_already_set& e) {
        if (!e.matches(PyExc_ImportError)) throw;
        return columns;
    }
    return pandas.attr("DataFrame")(columns);
}

} // namespace marovi::python

PYBIND11_MODULE(marovi, m)
{
    using namespace marovi::python;
    m.doc() = R"(MAROVI from Python: the individual-based simulation of sessile communities,
its arrays and its analyses, over the same core as the desktop program and marovi-cli,
so that all three give the same numbers.

    import marovi
    sim = marovi.Simulation(seed=5, grid=(40, 40))   # marovi-cli new --seed 5 --grid 40x40
    sim["species1.Fecundity"] = 2.0                  # names as in sweep plans
    sim.step(50)
    a = sim.abundance()                              # numpy, shape (species, y, x)
    res = marovi.clusters(sim, mode="species", species=1)
    sim.save("run.mgf")                              # and run.TXT
    table = marovi.sweep("plan.toml")                # pandas DataFrame

Arrays index cells as [y, x] (y = 0 first: plot with origin="lower"); species are
numbered from 1 as marovi-cli numbers them, and array axis 0 of per-species arrays holds
species 1 at index 0. Bad values and files raise ValueError, unreadable or unwritable
paths OSError, both with the program's messages.)";
    m.attr("__version__") = std::string(marovi::ProgramVersionText);
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const marovi::Error& e) {
            // Messages made for a message box break their lines with CR alone.
            std::string message = e.what();
            std::replace(message.begin(), message.end(), '\r', '\n');
            const bool file = dynamic_cast<const TFileError*>(&e) != nullptr;
            PyErr_SetString(file ? PyExc_OSError : PyExc_ValueError, message.c_str());
        }
    });
    BindSimulation(m);
    BindAnalyses(m);
    BindSweep(m);
}
