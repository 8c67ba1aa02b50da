#include "analysis/succession.h"

#include <algorithm>

#include "analysis/states.h"
#include "model/model.h"
#include "model/numeric.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {
namespace {

TSpeciesCounts GuildCounts(const Model& m, const TSpeciesCounts& species)
{
    TSpeciesCounts g{};
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        int k = m.SpeciesPool[static_cast<size_t>(s)].Guild;
        if (k >= 0 && k < GuildCount) g[static_cast<size_t>(k)] += species[static_cast<size_t>(s)];
    }
    return g;
}

void AddPoint(TSuccessionSeries& s, double x, double y)
{
    s.X.push_back(x);
    s.Y.push_back(y);
}

double ParseField(const std::string& text)
{
    double v = 0;
    if (!ParseReal(text, v)) throw Error(Format("'%s' is not a valid floating point value", {text}));
    return v;
}

} // namespace

void SuccessionCalc(const Model& m, int x0, int y0, int x1, int y1, int minAge, int maxAge, int step, double minSize,
                    std::vector<TSuccessionRecord>& results)
{
    if (step < 1) throw Error("the step width must be at least 1");
    if (maxAge < minAge) throw Error("the max age must not be below the min age");
    const int n = (maxAge - minAge) / step;
    if (static_cast<long long>(results.size()) - 1 != n) throw Error("not enough memory reserved!");
    std::fill(results.begin(), results.end(), TSuccessionRecord{});
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y) {
            const TCell& cell = m.Cell(x, y);
            if (cell.CellAge < minAge) continue;
            const long long i = (static_cast<long long>(cell.CellAge) - minAge) / step;
            if (i >= n) continue;
            TSuccessionRecord& r = results[static_cast<size_t>(i)];
            r.nCells += 1;
            for (const TIndividual& ind : cell.Individuals)
                if (ind.Size >= minSize) {
                    r.counts[static_cast<size_t>(ind.Species)] += 1;
                    r.nIndividuals += 1;
                }
        }
    TSuccessionRecord& sums = results.back();
    for (int i = 0; i < n; ++i) {
        TSuccessionRecord& r = results[static_cast<size_t>(i)];
        r.midAge = RoundToInt(step * 0.5 + (minAge + i * step));
        if (r.nIndividuals < 1) r.counts.fill(0);
        for (int s = 0; s < MaxSpecies; ++s) sums.counts[static_cast<size_t>(s)] += r.counts[static_cast<size_t>(s)];
        sums.nIndividuals += r.nIndividuals;
        sums.nCells += r.nCells;
    }
}

void LimitSuccessionArea(const Model& m, TSuccessionRequest& r)
{
    r.X1 = std::clamp(r.X1, 0, std::max(m.XMax, 0));
    r.X2 = std::clamp(r.X2, 0, std::max(m.XMax, 0));
    r.Y1 = std::clamp(r.Y1, 0, std::max(m.YMax, 0));
    r.Y2 = std::clamp(r.Y2, 0, std::max(m.YMax, 0));
    if (r.X2 < r.X1) r.X2 = r.X1;
    if (r.Y2 < r.Y1) r.Y2 = r.Y1;
}

std::vector<TSuccessionRecord> RunSuccession(const Model& m, TSuccessionRequest& r)
{
    if (r.Step < 1) throw Error("the step width must be at least 1");
    if (r.MaxAge < r.MinAge) throw Error("the max age must not be below the min age");
    LimitSuccessionArea(m, r);
    std::vector<TSuccessionRecord> results(static_cast<size_t>((r.MaxAge - r.MinAge) / r.Step) + 1);
    SuccessionCalc(m, r.X1, r.Y1, r.X2, r.Y2, r.MinAge, r.MaxAge, r.Step, m.MinSize, results);
    return results;
}

TSuccessionPlot SuccessionPlot(const Model& m, const TSuccessionRequest& r,
                               const std::vector<TSuccessionRecord>& results, bool guilds, bool showDiversity)
{
    TSuccessionPlot p;
    p.TitleLine1 = Format("averaged for intervals of %d time steps/ minsize=%3.2f", {r.Step, m.MinSize});
    p.TitleLine2 = Format(guilds ? "relative guilde proportions after distubance in the area [%d/%d][%d/%d]"
                                 : "relative species proportions after distubance in the area [%d/%d][%d/%d]",
                          {r.X1, r.Y1, r.X2, r.Y2});
    const int groups = guilds ? GuildCount : m.SpeciesMax + 1;
    for (int g = 0; g < groups; ++g)
        p.Groups.push_back({guilds ? StateName(g) : m.SpeciesPool[static_cast<size_t>(g)].Name, {0}, {0}});
    p.N = {"N", {0}, {0}};
    p.Diversity = {"diversity", {0}, {0}};
    const double area = static_cast<double>(r.X2 - r.X1 + 1) * (r.Y2 - r.Y1 + 1);
    const bool mIndex = m.DiversityName == "M-Index" || m.DiversityName == "M-Index0";
    double cells = 0;
    for (size_t i = 0; i + 1 < results.size(); ++i) {
        const TSuccessionRecord& rec = results[i];
        const double x = r.MinAge + static_cast<double>(i) * r.Step + r.Step / 2.0;
        const TSpeciesCounts grouped = guilds ? GuildCounts(m, rec.counts) : rec.counts;
        if (rec.nIndividuals > 0)
            for (int g = 0; g < groups; ++g)
                AddPoint(p.Groups[static_cast<size_t>(g)], x,
                         static_cast<double>(grouped[static_cast<size_t>(g)]) / rec.nIndividuals);
        cells += rec.nCells;
        AddPoint(p.N, x, cells / area);
        if (showDiversity) AddPoint(p.Diversity, x, m.DiversityFunc(m, guilds && !mIndex ? grouped : rec.counts));
    }
    return p;
}

std::vector<std::string> SuccessionListLines(const Model& m, const std::vector<TSuccessionRecord>& results,
                                             const std::string& dateTime, bool guilds)
{
    const std::string sep(1, m.Separator);
    const int groups = guilds ? GuildCount : m.SpeciesMax + 1;
    std::vector<std::string> lines{"# sucsession data created " + dateTime, "# filename: " + m.FileName};
    std::string header = "average time" + sep + "N cells" + sep + "sum";
    for (int g = 0; g < groups; ++g)
        header += sep + (guilds ? StateName(g) : m.SpeciesPool[static_cast<size_t>(g)].Name);
    lines.push_back(header);
    for (size_t i = 0; i + 1 < results.size(); ++i) {
        const TSuccessionRecord& rec = results[i];
        const TSpeciesCounts grouped = guilds ? GuildCounts(m, rec.counts) : rec.counts;
        std::string line = Format("%5d", {rec.midAge}) + sep + Format("%8d", {rec.nCells}) + sep +
                           Format("%8d", {rec.nIndividuals});
        for (int g = 0; g < groups; ++g) line += sep + Format("%8d", {grouped[static_cast<size_t>(g)]});
        lines.push_back(line);
    }
    return lines;
}

TStateDefFields StateDefFieldTexts(const TStateDef& defs)
{
    TStateDefFields fields;
    for (int k = 0; k < StateCount; ++k)
        for (int g = 0; g < GuildCount; ++g) {
            const TStateCriterion& c = defs.Criteria[k][g];
            fields.push_back({c.consider, ShortestText(c.min), ShortestText(c.max)});
        }
    return fields;
}

void ApplyStateDefFields(TStateDef& defs, const TStateDefFields& fields)
{
    if (fields.size() != static_cast<size_t>(StateCount * GuildCount))
        throw Error("the state definition needs 20 criteria");
    for (int k = 0; k < StateCount; ++k)
        for (int g = 0; g < GuildCount; ++g) {
            const TStateDefField& f = fields[static_cast<size_t>(k * GuildCount + g)];
            TStateCriterion& c = defs.Criteria[k][g];
            c.consider = f.Consider;
            c.min = ParseField(f.Min);
            c.max = ParseField(f.Max);
        }
}

} // namespace marovi
