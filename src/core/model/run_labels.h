#pragma once
#include <cstdint>
#include <string>

namespace marovi {

// The speed label of a finished round: steps time steps took minutes. With a maximal run
// time the label also shows the time still needed to reach it.
std::string SpeedText(int steps, double minutes, int32_t maxRuntime, int32_t timeStep);

// The bytes of address space the heap holds and the bytes allocated in it.
struct THeapFigures {
    double Reserved = 0;
    double Allocated = 0;
};
THeapFigures CurrentHeapFigures();
std::string MemoryText(const THeapFigures& heap);

} // namespace marovi
