#include "analysis/indices.h"

#include <cmath>

#include "util/format.h"

namespace marovi {

namespace {

double Total(const TSpeciesCounts& c)
{
    double n = 0;
    for (int32_t v : c) n += v;
    return n;
}

// Guild totals A_1..A_4 of a count vector (guild 0 and unknown guilds ignored).
void GuildTotals(const Model& m, const TSpeciesCounts& c, double a[5])
{
    for (int g = 0; g < 5; ++g) a[g] = 0;
    for (int i = 0; i <= m.SpeciesMax && i < MaxSpecies; ++i) {
        int g = m.SpeciesPool[static_cast<size_t>(i)].Guild;
        if (g >= 1 && g <= 4) a[g] += c[static_cast<size_t>(i)];
    }
}

double WeightedMaturity(const double l[5])
{
    double t = l[1] + l[2] + l[3] + l[4];
    if (t == 0) return 0;
    double mIndex = 0;
    for (int g = 1; g <= 4; ++g) mIndex += (2.0 * (g - 1) / 3.0 - 1.0) * l[g] / t;
    return mIndex;
}

int LastIndex(const Model& m) { return m.SpeciesMax < MaxSpecies ? m.SpeciesMax : MaxSpecies - 1; }

} // namespace

double HillNumber(const Model& m, const TSpeciesCounts& c, double q)
{
    double n = Total(c);
    if (n == 0) return 0;
    const int last = LastIndex(m);
    if (q == 0) {
        int richness = 0;
        for (int i = 0; i <= last; ++i)
            if (c[static_cast<size_t>(i)] > 0) ++richness;
        return richness;
    }
    if (q == 1) {
        double h = 0;
        for (int i = 0; i <= last; ++i) {
            double p = c[static_cast<size_t>(i)] / n;
            if (p > 0) h -= p * std::log(p);
        }
        return h;
    }
    double t = 0;
    for (int i = 0; i <= last; ++i) {
        double p = c[static_cast<size_t>(i)] / n;
        // Absent species contribute nothing (also for negative orders, where 0^q is undefined).
        if (p > 0) t += std::pow(p, q);
    }
    if (t > 1e-9) return std::pow(t, 1.0 / (1.0 - q));
    return 0;
}

double ShannonIndex(const Model& m, const TSpeciesCounts& c) { return HillNumber(m, c, 1); }
double SpeciesCount(const Model& m, const TSpeciesCounts& c) { return HillNumber(m, c, 0); }
double ReciprocalSimpson(const Model& m, const TSpeciesCounts& c) { return HillNumber(m, c, 2); }
double UserHillNumber(const Model& m, const TSpeciesCounts& c) { return HillNumber(m, c, m.HillOrder); }

double SimpsonIndex(const Model& m, const TSpeciesCounts& c)
{
    double n = Total(c);
    if (n == 0) return 1;
    double sum = 0;
    for (int i = 0; i <= LastIndex(m); ++i)
        if (c[static_cast<size_t>(i)] > 0) {
            double p = c[static_cast<size_t>(i)] / n;
            sum += p * p;
        }
    return 1 - sum;
}

double BrillouinIndex(const Model& m, const TSpeciesCounts& c)
{
    double n = Total(c);
    if (n == 0) return 0;
    double sum = 0;
    for (int i = 0; i <= LastIndex(m); ++i)
        if (c[static_cast<size_t>(i)] > 0) sum += std::lgamma(c[static_cast<size_t>(i)] + 1.0);
    return (std::lgamma(n + 1.0) - sum) / n;
}

double MIndex(const Model& m, const TSpeciesCounts& c)
{
    double a[5], l[5];
    GuildTotals(m, c, a);
    for (int g = 0; g < 5; ++g) l[g] = std::log(1 + a[g]);
    return WeightedMaturity(l);
}

double MIndex0(const Model& m, const TSpeciesCounts& c)
{
    double a[5];
    GuildTotals(m, c, a);
    return WeightedMaturity(a);
}

TSharedCounts SharedSpeciesCounts(const Model& m, const TSpeciesCounts& a, const TSpeciesCounts& b)
{
    TSharedCounts r;
    for (int i = 0; i <= LastIndex(m); ++i) {
        size_t k = static_cast<size_t>(i);
        if (a[k] > 0 && b[k] > 0) r.shared += 1;
        else if (a[k] >= 1) r.onlyA += 1;
        else if (b[k] >= 1) r.onlyB += 1;
    }
    return r;
}

double JaccardIndex(const Model& m, const TSpeciesCounts& a, const TSpeciesCounts& b)
{
    TSharedCounts s = SharedSpeciesCounts(m, a, b);
    if (s.shared == 0) return 0;
    return static_cast<double>(s.shared) / (s.shared + s.onlyA + s.onlyB);
}

double SorensenIndex(const Model& m, const TSpeciesCounts& a, const TSpeciesCounts& b)
{
    TSharedCounts s = SharedSpeciesCounts(m, a, b);
    if (s.shared == 0) return 0;
    return 2.0 * s.shared / (2.0 * s.shared + s.onlyA + s.onlyB);
}

double MarczewskiSteinhausDistance(const Model& m, const TSpeciesCounts& a, const TSpeciesCounts& b)
{
    return 1 - JaccardIndex(m, a, b);
}

double BrayCurtisDistance(const Model& m, const TSpeciesCounts& a, const TSpeciesCounts& b)
{
    double diff = 0, sum = 0;
    for (int i = 0; i <= LastIndex(m); ++i) {
        size_t k = static_cast<size_t>(i);
        diff += std::fabs(static_cast<double>(a[k]) - b[k]);
        sum += static_cast<double>(a[k]) + b[k];
    }
    if (sum == 0) return 1;
    return diff / sum;
}

const std::vector<TDiversityEntry>& DiversityCatalogue()
{
    static const std::vector<TDiversityEntry> list = {
        {"Shannon Index", &ShannonIndex},   {"Simpson Index", &SimpsonIndex}, {"reciprocal Simpson", &ReciprocalSimpson},
        {"Brillouin Index", &BrillouinIndex}, {"M-Index(0)", &MIndex0},      {"M-Index", &MIndex},
        {"Hill(0)", &SpeciesCount},         {"Hill-Number", &UserHillNumber},
    };
    return list;
}

const std::vector<TSimilarityEntry>& SimilarityCatalogue()
{
    static const std::vector<TSimilarityEntry> list = {
        {"Jaccard Index", &JaccardIndex},
        {"Sorensen Index", &SorensenIndex},
        {"Bray-Curtis Distance", &BrayCurtisDistance},
        {"Marczewski-Steinhaus Distance", &MarczewskiSteinhausDistance},
    };
    return list;
}

std::string SimilarityName(const Model& m)
{
    for (const TSimilarityEntry& e : SimilarityCatalogue())
        if (e.Func == m.SimilarityFunc) return e.Name;
    return "unknown";
}

double CellDiversity(const Model& m, int x, int y, double minSize)
{
    TSpeciesCounts c{};
    for (const TIndividual& ind : m.Cell(x, y).Individuals)
        if (ind.Size >= minSize) c[static_cast<size_t>(ind.Species)] += 1;
    return m.DiversityFunc(m, c);
}

void SelectDiversityButton(Model& m, THillButton button)
{
    switch (button) {
    case THillButton::Hill0:
        m.DiversityFunc = &SpeciesCount; m.DiversityName = "species count (Hill 0)"; m.HillOrder = 0; break;
    case THillButton::Hill1:
        m.DiversityFunc = &ShannonIndex; m.DiversityName = "Shannon Index (Hill 1)"; m.HillOrder = 1; break;
    case THillButton::Hill2:
        m.DiversityFunc = &ReciprocalSimpson; m.DiversityName = "rec. Simpson Index (Hill 2)"; m.HillOrder = 2; break;
    case THillButton::HillUser:
        m.DiversityFunc = &UserHillNumber; m.DiversityName = Format("Hill %3.1f", {m.HillOrder}); break;
    case THillButton::MIndex:
        m.DiversityFunc = &MIndex; m.DiversityName = "M-Index"; break;
    case THillButton::MIndex0:
        m.DiversityFunc = &MIndex0; m.DiversityName = "M-Index0"; break;
    }
}

THillButton SelectHillOrder(Model& m, double q)
{
    THillButton button = q == 0 ? THillButton::Hill0 : q == 1 ? THillButton::Hill1 : q == 2 ? THillButton::Hill2 : THillButton::HillUser;
    m.HillOrder = q;
    SelectDiversityButton(m, button);
    return button;
}

} // namespace marovi
