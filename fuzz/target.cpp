// One libFuzzer target per file reader: MAROVI_FUZZ_CHECK names its check in checks.h.
#include <cstdio>
#include <cstdlib>

#include "checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string problem = fuzz_checks::MAROVI_FUZZ_CHECK({reinterpret_cast<const char*>(data), size});
    if (!problem.empty()) {
        std::fprintf(stderr, "reader fault: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
