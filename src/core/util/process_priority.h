#pragma once
#include <cstdint>
#include <optional>

namespace marovi {

// The six priority classes the program offers, by their traditional class values, and the
// nice value each one stands for on this system.
enum class TPriorityClass : int32_t {
    Idle = 64,
    BelowNormal = 16384,
    Normal = 32,
    AboveNormal = 32768,
    High = 128,
    Realtime = 256,
};

int NiceOfClass(TPriorityClass c);
// The class whose nice value is exactly nice; none for any other value.
std::optional<TPriorityClass> ClassOfNice(int nice);

// The nice value of the process (its main thread).
int CurrentProcessNice();
// Gives every thread of the process the nice value; when the system refuses it for any
// thread, every thread gets its former value back and the result is false.
bool SetProcessNice(int nice);

} // namespace marovi
