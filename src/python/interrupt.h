// Ctrl-C during long work that runs without Python's global lock.
#pragma once
#include <signal.h>

#include <atomic>

namespace marovi::python {

// While it lives on the main thread, Ctrl-C (SIGINT) only sets Requested(); the work looks
// at it at its next step boundary. Check() then hands the interrupt to Python, which raises
// KeyboardInterrupt (or runs the script's own handler). On other threads, and where Python
// does not handle SIGINT, it changes nothing. Construct and Check with the lock held.
class TInterruptWatch {
public:
    TInterruptWatch();
    ~TInterruptWatch();
    TInterruptWatch(const TInterruptWatch&) = delete;
    TInterruptWatch& operator=(const TInterruptWatch&) = delete;

    std::atomic<bool>& Requested() { return requested_; }
    // Raises the Python exception of an interrupt that arrived.
    void Check();

private:
    std::atomic<bool> requested_{false};
    bool installed_ = false;
    struct sigaction previous_ {};
};

} // namespace marovi::python
