#pragma once
#include <cmath>

#include "model/random.h"
#include "model/types.h"

namespace marovi {

// What a kernel draws: one Gauss deviate ("diffusion"), or one uniform (the others).
inline bool KernelDrawsGauss(TKernel kernel) { return kernel == TKernel::Diffusion; }

// One distance draw of a dispersal kernel, scaled by d: exponential d * -ln(u) (0 when
// u = 0), "diffusion" d * |Gauss()|, uniform d * u. Unknown kernels draw as exponential.
inline double KernelDistance(TRandom& random, TKernel kernel, double d)
{
    if (KernelDrawsGauss(kernel)) return d * std::fabs(random.Gauss());
    double u = random.Uniform();
    if (kernel == TKernel::Uniform) return d * u;
    return u == 0.0 ? 0.0 : d * -std::log(u);
}

} // namespace marovi
