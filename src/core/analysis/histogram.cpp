#include "analysis/histogram.h"

#include <algorithm>
#include <cmath>

#include "model/grid_properties.h"
#include "model/model.h"
#include "model/numeric.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {
namespace {

// Visits every individual of the species in the area, x outer.
template <class Visit>
void ForSpecies(const Model& m, int x0, int y0, int x1, int y1, int species, Visit visit)
{
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            for (const TIndividual& ind : m.Cell(x, y).Individuals)
                if (ind.Species == species) visit(ind);
}

// The smallest bin k whose upper bound (k + 1) w is not below the age.
int AgeBin(int age, double w, int bins)
{
    int k = w > 0 ? std::max(0, TruncToInt(age / w) - 2) : 0;
    while (k < bins - 1 && age > (k + 1) * w) ++k;
    return k;
}

} // namespace

void AgeHistogram(const Model& m, int x0, int y0, int x1, int y1, int species, int maxAge, int& overflow,
                  double& average, std::vector<int>& bins)
{
    const int s = static_cast<int>(bins.size());
    const double w = static_cast<double>(maxAge) / s;
    long long n = 0;
    double sum = 0;
    ForSpecies(m, x0, y0, x1, y1, species, [&](const TIndividual& ind) {
        ++n;
        sum += ind.Age;
        if (ind.Age > maxAge || s == 0) ++overflow;
        else ++bins[static_cast<size_t>(AgeBin(ind.Age, w, s))];
    });
    if (n >= 1) average = sum / static_cast<double>(n);
}

void SizeHistogram(const Model& m, int x0, int y0, int x1, int y1, int species, int& overflow, double& average,
                   std::vector<int>& bins)
{
    const int s = static_cast<int>(bins.size());
    const double maxSize = m.SpeciesPool[static_cast<size_t>(species)].MaxSize;
    long long n = 0;
    double sum = 0;
    ForSpecies(m, x0, y0, x1, y1, species, [&](const TIndividual& ind) {
        ++n;
        sum += ind.Size;
        double f = ind.Size / maxSize;
        // A size that cannot be related to MaxSize (MaxSize 0) counts as too big.
        if (!(f <= 1) || s == 0) ++overflow;
        else ++bins[static_cast<size_t>(std::clamp(RoundToInt((s - 1) * f), 0, s - 1))];
    });
    if (n >= 1) average = sum / static_cast<double>(n);
}

THistogram ComputeHistogram(const Model& m, const THistogramRequest& r)
{
    if (r.Slots < 1) throw Error("the histogram needs at least 1 slot");
    if (r.Species < 0 || r.Species > m.SpeciesMax) throw Error("species number out of range!");
    THistogram h;
    h.Bins.assign(static_cast<size_t>(r.Slots), 0);
    if (r.Size) SizeHistogram(m, r.X0, r.Y0, r.X1, r.Y1, r.Species, h.Overflow, h.Average, h.Bins);
    else AgeHistogram(m, r.X0, r.Y0, r.X1, r.Y1, r.Species, r.MaxAge, h.Overflow, h.Average, h.Bins);

    const double top = r.Size ? m.SpeciesPool[static_cast<size_t>(r.Species)].MaxSize : r.MaxAge;
    long long total = 0;
    for (int b : h.Bins) total += b;
    const double all = static_cast<double>(total + h.Overflow);
    long long c = 0;
    for (int k = 0; k < r.Slots; ++k) {
        h.BarLabels.push_back(Format("%4.1f", {(k + 1) * top / r.Slots}));
        c += h.Bins[static_cast<size_t>(k)];
        h.Cumulative.push_back(all < 1 ? 0.0 : static_cast<double>(c) / all);
    }
    if (r.Size)
        h.Summary = h.Overflow == 0
                        ? Format("%d individuals in total, averave size: %4.1f", {total, h.Average})
                        : Format("%d individuals of %d bigger than max size, averave size : %4.1f",
                                 {h.Overflow, total, h.Average});
    else
        h.Summary = h.Overflow == 0
                        ? Format("%d individuals in total, averave age: %4.1f", {total, h.Average})
                        : Format("%d individuals of %d older than specified age, averave age : %4.1f",
                                 {h.Overflow, total, h.Average});
    return h;
}

std::vector<std::string> HistogramListLines(const Model& m, const THistogramRequest& r, const THistogram& h)
{
    std::vector<std::string> lines;
    lines.push_back("# histogram of species " + m.SpeciesPool[static_cast<size_t>(r.Species)].Name);
    if (r.Region) lines.push_back(Format("# area %d,%d to %d,%d", {r.X0, r.Y0, r.X1, r.Y1}));
    else lines.push_back(Format("# area 0,0 to %d,%d", {m.XMax, m.YMax}));
    lines.push_back(Format("# maxage set to : %4d and %d bins", {r.MaxAge, r.Slots}));
    lines.push_back(Format("# %d individuals are older than that age", {h.Overflow}));
    lines.push_back("# bin\tage\tcount");
    const double step = static_cast<double>(r.MaxAge) / r.Slots;
    for (int k = 0; k < r.Slots; ++k)
        lines.push_back(Format("%3d\t%6.2f - %6.2f\t%d", {k, k * step, (k + 1) * step, h.Bins[static_cast<size_t>(k)]}));
    return lines;
}

std::optional<int> DefaultHistogramMaxAge(const Model& m, int species)
{
    double d = m.SpeciesPool[static_cast<size_t>(species)].DeathProb[0];
    if (!(d > 0)) return std::nullopt;
    return RoundToInt(std::log(0.1) / -d);
}

std::string HistogramMaxAgeText(const Model& m, int species)
{
    const std::optional<int> age = DefaultHistogramMaxAge(m, species);
    return age ? std::to_string(*age) : "-";
}

int HistogramSlotsOf(std::string_view text)
{
    const int slots = ConvertInt(text);
    if (slots < 1 || slots > MaxHistogramSlots)
        throw Error(Format("the histogram has 1 to %d slots", {MaxHistogramSlots}));
    return slots;
}

THistogramRequest HistogramRequestOf(const Model& m, int species, std::string_view maxAgeText, int slots, bool size,
                                     const std::optional<THistogramRegion>& region)
{
    THistogramRequest r;
    r.Species = species;
    r.MaxAge = ConvertInt(maxAgeText);
    r.Slots = slots;
    r.Size = size;
    r.Region = region.has_value();
    // A region kept from a larger grid is cut at this grid's edge.
    const THistogramRegion area = region.value_or(THistogramRegion{0, 0, m.XMax, m.YMax});
    r.X0 = std::clamp(area.X0, 0, m.XMax);
    r.Y0 = std::clamp(area.Y0, 0, m.YMax);
    r.X1 = std::clamp(area.X1, 0, m.XMax);
    r.Y1 = std::clamp(area.Y1, 0, m.YMax);
    return r;
}

} // namespace marovi
