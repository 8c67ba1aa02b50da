#pragma once
#include <cmath>

#include "model/random.h"
#include "model/types.h"

namespace marovi {

// One distance draw of a dispersal kernel, scaled by d: exponential d * -ln(u) (0 when
// u = 0), "diffusion" d * |Gauss()|, uniform d * u. Unknown kernels draw as exponential.
inline double KernelDistance(TRandom& random, TKernel kernel, double d)
{
    switch (kernel) {
    case TKernel::Diffusion:
        return d * std::fabs(random.Gauss());
    case TKernel::Uniform:
        return d * random.Uniform();
    case TKernel::Exponential:
    default: {
        double u = random.Uniform();
        return u == 0.0 ? 0.0 : d * -std::log(u);
    }
    }
}

} // namespace marovi
