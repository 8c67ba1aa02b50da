#include "analysis/transect.h"

#include <algorithm>
#include <cmath>

#include "analysis/indices.h"
#include "analysis/states.h"
#include "model/grid.h"
#include "model/grid_properties.h"
#include "model/model.h"
#include "model/numeric.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {
namespace {

// Wraps the cell onto the grid and appends its sample; false when it lies off the grid.
bool AddSample(const Model& m, TRovTransect& t, int x, int y)
{
    if (!WrapCoordinates(m, x, y)) return false;
    TRovSample s;
    s.x = x;
    s.y = y;
    t.Samples.push_back(s);
    TRovSample& added = t.Samples.back();
    t.Lines.push_back(SampleCell(m, added, t.Samples.front()));
    return true;
}

} // namespace

std::string TransectHeader(const Model& m)
{
    std::string h = Format("%.3s ,%.3s, ", {"x", "y"});
    for (int s = 0; s <= m.SpeciesMax; ++s) h += Format("%s, ", {m.SpeciesPool[static_cast<size_t>(s)].Name});
    h += " State, ";
    for (int g = 0; g < 5; ++g) h += Format("%s, ", {GuildShortName(g)});
    return h + "beta(species), beta(guildes)";
}

std::string SampleCell(const Model& m, TRovSample& sample, const TRovSample& first)
{
    const TCell& cell = m.Cell(sample.x, sample.y);
    sample.counts.fill(0);
    for (const TIndividual& ind : cell.Individuals)
        if (ind.Size > m.MinSize) sample.counts[static_cast<size_t>(ind.Species)] += 1;
    sample.age = cell.CellAge;
    std::string line = Format("%.3d ,%.3d, ", {sample.x, sample.y});
    for (int s = 0; s <= m.SpeciesMax; ++s) line += Format("%.3d, ", {sample.counts[static_cast<size_t>(s)]});
    sample.state = CellState(m, sample.x, sample.y);
    line += Format("%.3d, ", {sample.state});
    sample.guildCounts.fill(0);
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        int g = m.SpeciesPool[static_cast<size_t>(s)].Guild;
        if (g >= 0 && g < MaxSpecies) sample.guildCounts[static_cast<size_t>(g)] += sample.counts[static_cast<size_t>(s)];
    }
    for (int g = 0; g < 5; ++g) line += Format("%.3d, ", {sample.guildCounts[static_cast<size_t>(g)]});
    sample.betaSpecies = m.SimilarityFunc(m, first.counts, sample.counts);
    sample.betaGuild = m.SimilarityFunc(m, first.guildCounts, sample.guildCounts);
    return line + Format("%5.3f, %5.3f", {sample.betaSpecies, sample.betaGuild});
}

TRovTransect BuildRandomTransect(Model& m, const TRandomWalk& walk)
{
    double pUp = walk.PUp, pDown = walk.PDown, pLeft = walk.PLeft;
    if (pUp < 0 || pDown < 0 || pLeft < 0 || walk.PRight < 0)
        throw Error("movement probabilities must not be negative!");
    const double sum = pUp + pDown + pLeft + walk.PRight;
    if (!(sum > 0)) throw Error("all movement probabilities are 0, the ROV can not move!");
    int x = walk.X, y = walk.Y;
    if (walk.RandomStart) {
        x = m.Random.RandomInt(m.XDim);
        y = m.Random.RandomInt(m.YDim);
    }
    if (sum != 1) {
        pUp /= sum;
        pDown /= sum;
        pLeft /= sum;
    }
    TRovTransect t;
    for (int i = 0; i < walk.Length; ++i) {
        if (!WrapCoordinates(m, x, y)) break;
        AddSample(m, t, x, y);
        double r = m.Random.Uniform();
        if (r < pUp) x -= 1;
        else if (r < pUp + pDown) x += 1;
        else if (r < pUp + pDown + pLeft) y -= 1;
        else y += 1;
    }
    return t;
}

TRandomWalk RandomWalkOf(const TRandomWalkEntries& e)
{
    TRandomWalk walk;
    walk.RandomStart = e.RandomStart;
    if (!e.RandomStart) {
        walk.X = ConvertInt(e.X);
        walk.Y = ConvertInt(e.Y);
    }
    walk.Length = ConvertInt(e.Length);
    if (walk.Length > MaxWalkLength) throw Error(Format("the ROV takes at most %d samples", {MaxWalkLength}));
    walk.PUp = ConvertReal(e.PUp);
    walk.PDown = ConvertReal(e.PDown);
    walk.PLeft = ConvertReal(e.PLeft);
    walk.PRight = ConvertReal(e.PRight);
    return walk;
}

TRovTransect BuildStraightTransect(const Model& m, int x0, int y0, int x1, int y1)
{
    TRovTransect t;
    const double ddx = static_cast<double>(x0) - x1, ddy = static_cast<double>(y0) - y1;
    const int n = TruncToInt(std::sqrt(ddx * ddx + ddy * ddy));
    if (n < 2) return t;
    const double dx = static_cast<double>(x1 - x0) / n, dy = static_cast<double>(y1 - y0) / n;
    for (int i = 0; i < n; ++i) {
        int x = x0, y = y0;
        if (i > 0) {
            x = RoundToInt(x0 + 0.5 + i * dx);
            y = RoundToInt(y0 + 0.5 + i * dy);
        }
        if (!AddSample(m, t, x, y)) break;
    }
    return t;
}

void ResampleTransect(const Model& m, TRovTransect& t)
{
    t.Lines.clear();
    for (TRovSample& s : t.Samples) t.Lines.push_back(SampleCell(m, s, t.Samples.front()));
}

std::vector<TTransectBars> TransectChartBars(const Model& m, const TRovTransect& t, TTransectChart mode)
{
    std::vector<TTransectBars> bars;
    const auto add = [&](std::string title, uint32_t colour, auto height) {
        TTransectBars b{std::move(title), colour, {}};
        for (const TRovSample& s : t.Samples) b.Heights.push_back(height(s));
        bars.push_back(std::move(b));
    };
    switch (mode) {
    case TTransectChart::Species:
        for (size_t s = 0; s <= static_cast<size_t>(m.SpeciesMax); ++s)
            add(m.SpeciesPool[s].Name, m.SpeciesColor[s], [s](const TRovSample& p) { return p.counts[s]; });
        break;
    case TTransectChart::Guilds:
        for (size_t g = 0; g < 5; ++g)
            add(GuildShortName(static_cast<int>(g)), StateColor(static_cast<int>(g)),
                [g](const TRovSample& p) { return p.guildCounts[g]; });
        break;
    case TTransectChart::BetaSpecies:
        add(SimilarityName(m) + "(species)", 0xFF0000, [](const TRovSample& p) { return p.betaSpecies; });
        break;
    case TTransectChart::BetaGuilds:
        add(SimilarityName(m) + "(guildes)", 0x0000FF, [](const TRovSample& p) { return p.betaGuild; });
        break;
    }
    return bars;
}

bool TransectFits(const Model& m, const TRovTransect& t)
{
    return std::all_of(t.Samples.begin(), t.Samples.end(),
                       [&](const TRovSample& s) { return s.x >= 0 && s.x <= m.XMax && s.y >= 0 && s.y <= m.YMax; });
}

bool TransectBounds(const TRovTransect& t, int& x0, int& y0, int& x1, int& y1)
{
    if (t.Samples.empty()) return false;
    x0 = x1 = t.Samples[0].x;
    y0 = y1 = t.Samples[0].y;
    for (const TRovSample& s : t.Samples) {
        x0 = std::min(x0, s.x);
        x1 = std::max(x1, s.x);
        y0 = std::min(y0, s.y);
        y1 = std::max(y1, s.y);
    }
    return true;
}

} // namespace marovi
