#include "analysis/sliding_box.h"

#include <algorithm>
#include <cstdint>

#include "model/grid.h"
#include "model/grid_properties.h"
#include "model/model.h"
#include "model/numeric.h"

namespace marovi {
namespace {

// Summed abundances of the box, per species or per guild; false when it leaves the grid.
bool BoxCounts(const Model& m, int x0, int y0, int side, bool byState, TSpeciesCounts& sums)
{
    sums.fill(0);
    for (int x = x0; x <= x0 + side; ++x)
        for (int y = y0; y <= y0 + side; ++y) {
            int cx = x, cy = m.YDim - y;
            if (!WrapCoordinates(m, cx, cy)) return false;
            const TSpeciesCounts a = ToSpeciesCounts(m.Cell(cx, cy).Abundance);
            for (int s = 0; s <= m.SpeciesMax; ++s) {
                int k = byState ? m.SpeciesPool[static_cast<size_t>(s)].Guild : s;
                if (k >= 0 && k < MaxSpecies) sums[static_cast<size_t>(k)] += a[static_cast<size_t>(s)];
            }
        }
    return true;
}

} // namespace

std::vector<TSlidingBoxStep> SlidingBoxDiversity(Model& m, int steps, int replicates, int increase, bool byState)
{
    std::vector<TSlidingBoxStep> out;
    int side = 1;
    TSpeciesCounts sums{};
    for (int s = 0; s < steps; ++s) {
        TSlidingBoxStep step;
        step.X = static_cast<double>(s) * increase + 1;
        std::vector<double> values;
        bool failed = false;
        for (int r = 0; r < replicates && !failed; ++r) {
            int x0 = m.Random.RandomInt(m.XDim);
            int y0 = m.Random.RandomInt(m.YDim);
            if (!BoxCounts(m, x0, y0, side, byState, sums)) failed = true;
            else values.push_back(m.DiversityFunc(m, sums));
        }
        if (!failed && !values.empty()) {
            double sum = 0;
            step.Min = step.Max = values[0];
            for (double v : values) {
                sum += v;
                step.Min = std::min(step.Min, v);
                step.Max = std::max(step.Max, v);
            }
            step.Mean = sum / static_cast<double>(values.size());
        }
        out.push_back(step);
        side += increase;
    }
    return out;
}

TSlidingBoxEntries ReadSlidingBoxEntries(const std::string& steps, const std::string& replicates,
                                         const std::string& increase)
{
    return {ConvertIntField("no. sample steps", steps, 1, INT32_MAX),
            ConvertIntField("replicates per sample", replicates, 1, INT32_MAX),
            ConvertIntField("increase sample area by", increase, 0, INT32_MAX)};
}

int SlidingBoxIncrease(int x1, int x2, int steps)
{
    return steps > 0 ? RoundToInt(static_cast<double>(x2 - x1) / steps) : 0;
}

std::vector<TSlidingBoxPlot> SlidingBoxPlot(const std::vector<TSlidingBoxStep>& steps, bool reciprocal)
{
    std::vector<TSlidingBoxPlot> out;
    auto inverse = [](double v) -> std::optional<double> {
        if (v == 0) return std::nullopt;
        return 1 / v;
    };
    for (const TSlidingBoxStep& s : steps) {
        TSlidingBoxPlot p{s.X, s.Mean, s.Min, s.Max};
        if (reciprocal) {
            p.Average = inverse(s.Mean);
            p.Max = inverse(s.Min);
            p.Min = inverse(s.Max);
        }
        out.push_back(p);
    }
    return out;
}

} // namespace marovi
