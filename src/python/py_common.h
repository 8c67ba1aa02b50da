// Pieces every part of the marovi Python module shares.
#pragma once
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <mutex>
#include <string>
#include <vector>

namespace marovi::python {

namespace py = pybind11;

class TSimulation;

// Holds the simulation for the caller; while a step runs in another thread it waits for it
// without Python's lock, so that the step can finish.
std::unique_lock<std::mutex> Use(TSimulation& s);

void BindSimulation(py::module_& m);
void BindArrays(py::class_<TSimulation>& c);
void BindAnalyses(py::module_& m);
void BindSweep(py::module_& m);

// A C-ordered numpy array of that shape, zeroed.
template <class T>
py::array_t<T> ZeroArray(const std::vector<py::ssize_t>& shape)
{
    py::array_t<T> a(shape);
    std::fill(a.mutable_data(), a.mutable_data() + a.size(), T{});
    return a;
}

// A 1-d numpy array holding the values.
template <class T>
py::array_t<T> ToArray(const std::vector<T>& values)
{
    py::array_t<T> a(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), a.mutable_data());
    return a;
}

// Named results: a types.SimpleNamespace of the entries, read as result.labels.
py::object Namespace(const py::dict& entries);

// Columns (name -> 1-d array of one length) as a pandas DataFrame when pandas is there,
// else the dict itself.
py::object Table(const py::dict& columns);

} // namespace marovi::python
