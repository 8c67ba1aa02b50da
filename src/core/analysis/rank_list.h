#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace marovi {
struct Model;

struct tAbundanceRecord {
    std::string Name;
    int32_t Count = 0;
};
using tAbundanceData = std::array<tAbundanceRecord, 51>;

// One sample area of the rank plot: inclusive corners inside the grid, x1 <= x2, y1 <= y2.
struct tSampleAreaDef {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int total = 0;
    std::string name;
    tAbundanceData abundance;
};

// Limits the corners to the grid, orders them and appends the area.
void AddSampleArea(const Model& m, std::vector<tSampleAreaDef>& areas, const std::string& name, int x1, int y1, int x2,
                   int y2);
// "area N" with corners drawn from the simulation's stream: two x, then two y.
void AddRandomSampleArea(Model& m, std::vector<tSampleAreaDef>& areas);
// "disturbance N" for every disturbance definition, with its rectangle.
void AddDisturbanceSampleAreas(const Model& m, std::vector<tSampleAreaDef>& areas);

// The list box line: "name [(x1,y1)/(x2,y2)]".
std::string SampleAreaText(const tSampleAreaDef& a);

// Counts the individuals larger than MinSize per species and sorts them by decreasing
// count with a selection sort (a later entry replaces the pick only when strictly larger).
void CalcRankList(const Model& m, tSampleAreaDef& a);

// The plotted values of an area, rank 0 first: counts or shares of the total, optionally summed.
std::vector<double> RankPlotValues(const Model& m, const tSampleAreaDef& a, bool relative, bool cumulative);
// Species names in rank order, joined by ", ".
std::string RankNames(const Model& m, const tSampleAreaDef& a);
std::string RankAxisTitle(bool relative, bool cumulative);
std::string RankClickMessage(const Model& m, const tSampleAreaDef& a);

} // namespace marovi
