#include "files/summary.h"

#include "landscape/flow.h"
#include "model/model.h"
#include "util/format.h"

namespace marovi {
namespace {

const char* KernelName(TKernel k)
{
    switch (k) {
    case TKernel::Diffusion: return "diffusion";
    case TKernel::Uniform: return "uniform";
    default: return "exponential";
    }
}

} // namespace

std::string SimulationSummary(const Model& m)
{
    long long individuals = 0;
    for (const TCell& c : m.Cells) individuals += c.IndividualCount;

    std::string s;
    s += "file: " + m.FileName + "\n";
    s += Format("grid: %d x %d cells, %s\n", {m.XDim, m.YDim, m.Torus ? "torus" : "bounded"});
    s += Format("time step: %d\n", {m.TimeStep});
    s += Format("individuals: %d\n", {individuals});
    s += Format("dispersal kernel: %s, patch kernel: %s\n", {KernelName(m.DispersalKernel), KernelName(m.PatchKernel)});
    s += Format("disturbance events: %d, disturbed cells: %d\n", {m.DisturbanceEventCount, m.DisturbedCellCount});
    s += Format("species: %d\n", {m.SpeciesMax + 1});
    s += "   no  name                  abundance  extinct at\n";
    for (int i = 0; i <= m.SpeciesMax; ++i) {
        const size_t k = static_cast<size_t>(i);
        const int32_t extinct = m.ExtinctionStep[k];
        s += Format("  %3d  %-20.20s %10d  %s\n", {i + 1, m.SpeciesPool[k].Name, m.StepAbundance[k],
                                                   extinct > 0 ? std::to_string(extinct) : std::string("-")});
    }
    s += Format("disturbance definitions: %d\n", {static_cast<long long>(m.Disturbances.size())});
    for (size_t i = 0; i < m.Disturbances.size(); ++i) {
        const TDisturbanceDef& d = m.Disturbances[i];
        s += Format("  %d  area x %d..%d, y %d..%d%s; size %s (sd %s) x %s (sd %s); probability %s; severity %s; "
                    "direction %s deg (sd %s); substrate %d; subevents %d\n",
                    {static_cast<long long>(i + 1), d.X1, d.X2, d.Y2, d.Y1, d.Clipping ? ", clipped" : "",
                     ShortestText(d.XSize), ShortestText(d.XSizeDev), ShortestText(d.YSize), ShortestText(d.YSizeDev),
                     ShortestText(d.Probability[0]), ShortestText(d.Severity),
                     ShortestText(MathToCompass(RadToDeg(d.Direction))), ShortestText(RadToDeg(d.Deviation)),
                     static_cast<int>(d.Substrate), d.Subevents});
    }
    s += Format("diversity (%s): %.4f\n", {m.DiversityName, m.DiversityFunc(m, m.StepAbundance)});
    return s;
}

} // namespace marovi
