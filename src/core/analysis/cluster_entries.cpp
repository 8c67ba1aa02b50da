#include "analysis/cluster_entries.h"

#include "model/grid_properties.h"
#include "model/model.h"
#include "util/format.h"

namespace marovi {

TClusterEntries DefaultClusterEntries(const Model& m)
{
    const TClusterRequest r = DefaultClusterRequest(m);
    TClusterEntries e;
    ShowClusterWindow(r, e);
    e.MinCount = std::to_string(r.MinCount);
    e.MaxCount = std::to_string(r.MaxCount);
    e.DiversityLo = ShortestText(r.DiversityLo);
    e.DiversityHi = ShortestText(r.DiversityHi);
    e.AreaLo = ShortestText(r.AreaLo);
    e.AreaHi = ShortestText(r.AreaHi);
    e.MinAge = std::to_string(r.MinAge);
    e.MaxAge = std::to_string(r.MaxAge);
    return e;
}

TClusterRequest ReadClusterEntries(const Model& m, const TClusterEntries& e, bool onlyCA)
{
    TClusterRequest r = DefaultClusterRequest(m);
    r.Mode = e.Mode;
    r.Species = e.Species;
    r.State = e.State;
    r.Larvae = e.Larvae;
    r.X1 = ConvertInt(e.X1);
    r.Y1 = ConvertInt(e.Y1);
    r.X2 = ConvertInt(e.X2);
    r.Y2 = ConvertInt(e.Y2);
    ClampClusterWindow(m, r);
    if (e.Mode == TClusterMode::Diversity) {
        r.DiversityLo = ConvertReal(e.DiversityLo);
        r.DiversityHi = ConvertReal(e.DiversityHi);
    }
    if (e.Mode == TClusterMode::Area) {
        r.AreaLo = ConvertReal(e.AreaLo);
        r.AreaHi = ConvertReal(e.AreaHi);
    }
    if (onlyCA) return r;
    r.MinCount = ConvertInt(e.MinCount);
    r.MaxCount = ConvertInt(e.MaxCount);
    r.AgeRestricted = e.AgeRestricted;
    if (e.AgeRestricted) {
        r.MinAge = ConvertInt(e.MinAge);
        r.MaxAge = ConvertInt(e.MaxAge);
    }
    r.Close = e.Close;
    r.NoOrphans = e.NoOrphans;
    r.Periodic = e.Periodic;
    return r;
}

void ShowClusterWindow(const TClusterRequest& r, TClusterEntries& e)
{
    e.X1 = std::to_string(r.X1);
    e.Y1 = std::to_string(r.Y1);
    e.X2 = std::to_string(r.X2);
    e.Y2 = std::to_string(r.Y2);
}

} // namespace marovi
