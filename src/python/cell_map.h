// Grid-shaped numpy arrays.
#pragma once
#include "model/model.h"
#include "py_common.h"

namespace marovi::python {

// One value per cell, value(x, y), as an array indexed [y, x]. The filling runs without
// Python's lock.
template <class T, class F>
py::array_t<T> CellMap(const Model& m, F value)
{
    py::array_t<T> a({static_cast<py::ssize_t>(m.YDim), static_cast<py::ssize_t>(m.XDim)});
    T* out = a.mutable_data();
    {
        py::gil_scoped_release release;
        const size_t width = static_cast<size_t>(m.XDim);
        for (int x = 0; x < m.XDim; ++x)
            for (int y = 0; y < m.YDim; ++y) out[static_cast<size_t>(y) * width + static_cast<size_t>(x)] = value(x, y);
    }
    return a;
}

} // namespace marovi::python
