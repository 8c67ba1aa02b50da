#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marovi {
struct Model;

// Counts the individuals of a species in the area x0..x1, y0..y1 into the bins (which the
// caller has zeroed): bin k holds ages in (k w, (k + 1) w], w = maxAge / bins, bin 0 from 0;
// older individuals go to overflow. average is the mean age of all of them (unchanged for none).
void AgeHistogram(const Model& m, int x0, int y0, int x1, int y1, int species, int maxAge, int& overflow,
                  double& average, std::vector<int>& bins);
// The same by size relative to the species' MaxSize: bin Round((S - 1) f), overflow for f > 1.
void SizeHistogram(const Model& m, int x0, int y0, int x1, int y1, int species, int& overflow, double& average,
                   std::vector<int>& bins);

struct THistogramRequest {
    int Species = 0;
    int MaxAge = 0;
    int Slots = 15;
    bool Size = false;
    int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    bool Region = false;  // the area is an active region rather than the whole grid
};

struct THistogram {
    std::vector<int> Bins;
    int Overflow = 0;
    double Average = 0;
    std::vector<std::string> BarLabels;  // "%4.1f" of each bin's upper bound
    std::vector<double> Cumulative;      // running share of all individuals, overflow included
    std::string Summary;
};

// The histogram of the window for a species; slots below 1 are refused.
THistogram ComputeHistogram(const Model& m, const THistogramRequest& r);
// The saved list (tab-separated), lines without line ends.
std::vector<std::string> HistogramListLines(const Model& m, const THistogramRequest& r, const THistogram& h);
// The "max age" the window proposes for a species: the age at which a tenth of a cohort
// survives its death probability; none when that probability is not positive.
std::optional<int> DefaultHistogramMaxAge(const Model& m, int species);

// The window's fields. "max age" shows the proposed age of a species, or "-" without one.
std::string HistogramMaxAgeText(const Model& m, int species);
// The most slots the window draws; "slots" converts with the conversion error and is refused
// outside 1..MaxHistogramSlots.
constexpr int MaxHistogramSlots = 1000;
int HistogramSlotsOf(std::string_view text);
// The request of the window: "max age" converted (conversion error otherwise); the area is the
// active region of interest x0, y0, x1, y1, or the whole grid without one.
struct THistogramRegion {
    int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
};
THistogramRequest HistogramRequestOf(const Model& m, int species, std::string_view maxAgeText, int slots, bool size,
                                     const std::optional<THistogramRegion>& region);

} // namespace marovi
