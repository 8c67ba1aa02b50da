#include "interrupt.h"

#include <pybind11/pybind11.h>

namespace marovi::python {
namespace {

std::atomic<std::atomic<bool>*> watching{nullptr};

extern "C" void OnInterrupt(int)
{
    if (std::atomic<bool>* flag = watching.load()) *flag = true;
}

bool OnMainThread()
{
    namespace py = pybind11;
    py::module_ threading = py::module_::import("threading");
    return threading.attr("current_thread")().is(threading.attr("main_thread")());
}

} // namespace

TInterruptWatch::TInterruptWatch()
{
    // A Ctrl-C that came before the work starts stops it before it starts.
    if (PyErr_CheckSignals() != 0) throw pybind11::error_already_set();
    if (!OnMainThread() || watching.load()) return;
    struct sigaction ours {};
    ours.sa_handler = OnInterrupt;
    sigemptyset(&ours.sa_mask);
    if (::sigaction(SIGINT, nullptr, &previous_) != 0) return;
    // Python's own handler is in place unless the script ignores Ctrl-C or left it to the system.
    if (previous_.sa_handler == SIG_IGN || previous_.sa_handler == SIG_DFL) return;
    watching = &requested_;
    installed_ = ::sigaction(SIGINT, &ours, nullptr) == 0;
    if (!installed_) watching = nullptr;
}

TInterruptWatch::~TInterruptWatch()
{
    if (!installed_) return;
    ::sigaction(SIGINT, &previous_, nullptr);
    watching = nullptr;
    // Left by an error: Python still learns of the interrupt, at its next check.
    if (requested_) PyErr_SetInterruptEx(SIGINT);
}

void TInterruptWatch::Check()
{
    if (!installed_ || !requested_) return;
    ::sigaction(SIGINT, &previous_, nullptr);
    watching = nullptr;
    installed_ = false;
    PyErr_SetInterruptEx(SIGINT);
    if (PyErr_CheckSignals() != 0) throw pybind11::error_already_set();
}

} // namespace marovi::python
