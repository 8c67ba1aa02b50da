#include "model/run_labels.h"

#include <malloc.h>

#include <algorithm>

#include "util/format.h"

namespace marovi {

std::string SpeedText(int steps, double minutes, int32_t maxRuntime, int32_t timeStep)
{
    const double tpm = steps / minutes;
    if (maxRuntime <= 0) return Format("(%5.2f tpm)", {tpm});
    // Past the maximal run time nothing remains to wait for; the clamp keeps Trunc in range.
    const double rest = std::clamp((maxRuntime - timeStep) / tpm, 0.0, 2147483647.0);
    const int whole = static_cast<int>(rest);
    return Format("(%5.2f tpm, -%4.4d:%2.2d min)", {tpm, whole, static_cast<int>((rest - whole) * 60)});
}

THeapFigures CurrentHeapFigures()
{
    const struct mallinfo2 info = mallinfo2();
    THeapFigures heap;
    heap.Reserved = static_cast<double>(info.arena + info.hblkhd);
    heap.Allocated = static_cast<double>(info.uordblks + info.hblkhd);
    return heap;
}

std::string MemoryText(const THeapFigures& heap)
{
    return Format("%5.2f %5.2f used kB", {heap.Reserved / 1024, heap.Allocated / 1024});
}

} // namespace marovi
