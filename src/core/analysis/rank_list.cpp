#include "analysis/rank_list.h"

#include <algorithm>

#include "model/grid.h"
#include "model/model.h"
#include "util/format.h"

namespace marovi {
namespace {

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

} // namespace

void AddSampleArea(const Model& m, std::vector<tSampleAreaDef>& areas, const std::string& name, int x1, int y1, int x2,
                   int y2)
{
    tSampleAreaDef a;
    a.name = name;
    a.x1 = Clamp(x1, 0, m.XMax);
    a.x2 = Clamp(x2, 0, m.XMax);
    a.y1 = Clamp(y1, 0, m.YMax);
    a.y2 = Clamp(y2, 0, m.YMax);
    if (a.x1 > a.x2) std::swap(a.x1, a.x2);
    if (a.y1 > a.y2) std::swap(a.y1, a.y2);
    areas.push_back(a);
}

void AddRandomSampleArea(Model& m, std::vector<tSampleAreaDef>& areas)
{
    std::string name = Format("area %d", {static_cast<long long>(areas.size()) + 1});
    int xa = m.Random.RandomInt(m.XDim);
    int xb = m.Random.RandomInt(m.XDim);
    int ya = m.Random.RandomInt(m.YDim);
    int yb = m.Random.RandomInt(m.YDim);
    AddSampleArea(m, areas, name, xa, ya, xb, yb);
}

void AddDisturbanceSampleAreas(const Model& m, std::vector<tSampleAreaDef>& areas)
{
    for (size_t i = 0; i < m.Disturbances.size(); ++i) {
        const TDisturbanceDef& d = m.Disturbances[i];
        AddSampleArea(m, areas, Format("disturbance %d", {static_cast<long long>(i) + 1}), d.X1, d.Y1, d.X2, d.Y2);
    }
}

std::string SampleAreaText(const tSampleAreaDef& a)
{
    return Format("%s [(%d,%d)/(%d,%d)]", {a.name, a.x1, a.y1, a.x2, a.y2});
}

void CalcRankList(const Model& m, tSampleAreaDef& a)
{
    const int n = m.SpeciesMax;
    for (int s = 0; s <= n; ++s) a.abundance[static_cast<size_t>(s)] = {m.SpeciesPool[static_cast<size_t>(s)].Name, 0};
    a.total = 0;
    for (int x = a.x1; x <= a.x2; ++x)
        for (int y = a.y1; y <= a.y2; ++y) {
            TSpeciesCounts c = CountSizedIndividuals(m, x, y);
            for (int s = 0; s <= n; ++s) a.abundance[static_cast<size_t>(s)].Count += c[static_cast<size_t>(s)];
        }
    for (int s = 0; s <= n; ++s) a.total += a.abundance[static_cast<size_t>(s)].Count;
    for (int i = 0; i < n; ++i) {
        int best = i;
        for (int k = i + 1; k <= n; ++k)
            if (a.abundance[static_cast<size_t>(k)].Count > a.abundance[static_cast<size_t>(best)].Count) best = k;
        std::swap(a.abundance[static_cast<size_t>(i)], a.abundance[static_cast<size_t>(best)]);
    }
}

std::vector<double> RankPlotValues(const Model& m, const tSampleAreaDef& a, bool relative, bool cumulative)
{
    std::vector<double> values;
    double c = 0;
    for (int r = 0; r <= m.SpeciesMax; ++r) {
        double count = a.abundance[static_cast<size_t>(r)].Count;
        double v = relative ? (a.total == 0 ? 0.0 : count / a.total) : count;
        c = c + v;
        values.push_back(cumulative ? c : v);
    }
    return values;
}

std::string RankNames(const Model& m, const tSampleAreaDef& a)
{
    std::string names;
    for (int r = 0; r <= m.SpeciesMax; ++r) {
        if (r > 0) names += ", ";
        names += a.abundance[static_cast<size_t>(r)].Name;
    }
    return names;
}

std::string RankAxisTitle(bool relative, bool cumulative)
{
    return std::string(cumulative ? "cumulative " : "") + (relative ? "relative abundance" : "abundance");
}

std::string RankClickMessage(const Model& m, const tSampleAreaDef& a)
{
    return "sample area \"" + a.name + "\"\r\rspecies rank : " + RankNames(m, a);
}

} // namespace marovi
