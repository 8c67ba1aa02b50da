#include "analysis/cluster_entries.h"

#include "model/grid_properties.h"
#include "model/model.h"
#include "util/error.h"
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

namespace {

// A field's text as a number; a refusal names the field by its caption.
template <class Convert>
auto Field(std::string_view caption, const std::string& text, Convert convert)
{
    try {
        return convert(text);
    } catch (const Error& e) {
        throw Error(FieldMessage(caption, e.what()));
    }
}
int32_t IntField(std::string_view caption, const std::string& text) { return Field(caption, text, ConvertInt); }
double RealField(std::string_view caption, const std::string& text) { return Field(caption, text, ConvertReal); }

} // namespace

TClusterRequest ReadClusterEntries(const Model& m, const TClusterEntries& e, bool onlyCA)
{
    TClusterRequest r = DefaultClusterRequest(m);
    r.Mode = e.Mode;
    r.Species = e.Species;
    r.State = e.State;
    r.Larvae = e.Larvae;
    r.X1 = IntField("top x", e.X1);
    r.Y1 = IntField("top y", e.Y1);
    r.X2 = IntField("bottom x", e.X2);
    r.Y2 = IntField("bottom y", e.Y2);
    ClampClusterWindow(m, r);
    if (e.Mode == TClusterMode::Diversity) {
        r.DiversityLo = RealField("min diversity", e.DiversityLo);
        r.DiversityHi = RealField("max diversity", e.DiversityHi);
    }
    if (e.Mode == TClusterMode::Area) {
        r.AreaLo = RealField("min sum of area", e.AreaLo);
        r.AreaHi = RealField("max sum of area", e.AreaHi);
    }
    if (onlyCA) return r;
    r.MinCount = IntField("min #indviduals", e.MinCount);
    r.MaxCount = IntField("max # individuals", e.MaxCount);
    r.AgeRestricted = e.AgeRestricted;
    if (e.AgeRestricted) {
        r.MinAge = IntField("age between", e.MinAge);
        r.MaxAge = IntField("age between", e.MaxAge);
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
