#include "analysis/roi.h"

#include "model/model.h"

namespace marovi {
namespace {

TRoiCounts WithShares(const Model& m, TRoiCounts r)
{
    for (int s = 0; s <= m.SpeciesMax; ++s)
        r.Relative.push_back(r.Total < 1 ? 0.0 : static_cast<double>(r.Counts[static_cast<size_t>(s)]) / r.Total);
    return r;
}

} // namespace

TRoiCounts RoiDefinitionCounts(const Model& m, int x0, int y0, int x1, int y1)
{
    TRoiCounts r;
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y) {
            const TSpeciesCounts a = ToSpeciesCounts(m.Cell(x, y).Abundance);
            for (int s = 0; s <= m.SpeciesMax; ++s) {
                r.Counts[static_cast<size_t>(s)] += a[static_cast<size_t>(s)];
                r.Total += a[static_cast<size_t>(s)];
            }
        }
    return WithShares(m, r);
}

TRoiCounts RoiStepCounts(const Model& m, int x0, int y0, int x1, int y1)
{
    TRoiCounts r;
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            for (const TIndividual& ind : m.Cell(x, y).Individuals)
                if (ind.Size > m.MinSize) {
                    r.Counts[static_cast<size_t>(ind.Species)] += 1;
                    r.Total += 1;
                }
    return WithShares(m, r);
}

void RequestRoiDisturbance(Model& m, int x0, int y0, int x1, int y1)
{
    TDisturbanceDef& d = m.RoiDisturbance;
    d = TDisturbanceDef{};
    d.X1 = x0;
    d.Y1 = y0;
    d.X2 = x1;
    d.Y2 = y1;
    d.XSize = x1 - x0;
    d.XSizeDev = 0;
    d.YSize = y1 - y0;
    d.YSizeDev = 0;
    d.Clipping = true;
    d.Probability[0] = 1.0;
    m.RoiDisturbanceRequested = true;
}

} // namespace marovi
