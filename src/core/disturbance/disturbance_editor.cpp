#include "disturbance/disturbance_editor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "disturbance/disturbance.h"
#include "landscape/flow.h"
#include "model/grid_properties.h"
#include "model/numeric.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

// Footprints placed by one event; more could keep a time step busy for ever.
constexpr int MaxSubevents = 10000;

double PlacementArea(const TDisturbanceDef& d)
{
    // In doubles: corners may lie far apart.
    return (std::fabs(static_cast<double>(d.X2) - d.X1) + 1) * (std::fabs(static_cast<double>(d.Y2) - d.Y1) + 1);
}

double CellsPerEvent(const TDisturbanceDef& d) { return d.XSize * d.YSize * d.Subevents; }

double FootprintSize(const char* caption, const std::string& text)
{
    return ConvertRealField(caption, text, 0, MaxFootprintExtent);
}

constexpr double Unbounded = std::numeric_limits<double>::infinity();

// The extent most footprints of a size and its deviation stay below: three deviations more.
double Reach(double size, double deviation) { return std::fabs(size) + 3 * std::fabs(deviation); }

// The events of the most probable season.
double MostEvents(const TSeasonProbability& probability)
{
    double events = 0;
    for (double p : probability) events = std::max(events, std::ceil(p));
    return events;
}

} // namespace

const std::array<const char*, DisturbanceListColumnCount> DisturbanceListColumns = {
    "number", "position", "clipping", "x-size", "y-size", "probability", "direction", "severity", "substrate", "subevents",
};

std::string SubstrateBits(uint32_t substrate)
{
    std::string bits;
    for (int b = 8; b >= 0; --b) bits += (substrate >> b) & 1 ? '1' : '0';
    return bits;
}

std::array<std::string, DisturbanceListColumnCount> DisturbanceRowTexts(const TDisturbanceDef& d, int index)
{
    return {
        std::to_string(index + 1),
        Format("(%d,%d)/(%d,%d)", {d.X1, d.Y1, d.X2, d.Y2}),
        d.Clipping ? "TRUE" : "FALSE",
        Format("%f\u00B1%f", {d.XSize, d.XSizeDev}),
        Format("%f\u00B1%f", {d.YSize, d.YSizeDev}),
        Format("%5.4f", {d.Probability[0]}),
        Format("%3f \u00B1 %3f", {MathToCompass(RadToDeg(d.Direction)), RadToDeg(d.Deviation)}),
        Format("%3.3d %%", {RoundToInt(100 * d.Severity)}),
        SubstrateBits(d.Substrate),
        Format("%d", {d.Subevents}),
    };
}

TDisturbanceEntries DisturbanceEntriesOf(const TDisturbanceDef& d)
{
    TDisturbanceEntries e;
    e.X1 = std::to_string(d.X1);
    e.X2 = std::to_string(d.X2);
    e.Y1 = std::to_string(d.Y1);
    e.Y2 = std::to_string(d.Y2);
    e.XSize = ShortestText(d.XSize);
    e.XSizeDev = ShortestText(d.XSizeDev);
    e.YSize = ShortestText(d.YSize);
    e.YSizeDev = ShortestText(d.YSizeDev);
    e.Clipping = d.Clipping;
    e.Severity = Format("%3d", {RoundToInt(100 * d.Severity)});
    e.Direction = Format("%3.0f", {MathToCompass(RadToDeg(d.Direction))});
    e.Deviation = Format("%3.0f", {RadToDeg(d.Deviation)});
    e.Subevents = Format("%d", {d.Subevents});
    e.Substrate = d.Substrate;
    return e;
}

TDisturbanceDef ReadDisturbanceEntries(const TDisturbanceEntries& e, const TDisturbanceDef& base)
{
    TDisturbanceDef d = base;
    d.X1 = ConvertIntField("x1", e.X1, INT32_MIN, INT32_MAX);
    d.X2 = ConvertIntField("x2", e.X2, INT32_MIN, INT32_MAX);
    d.Y1 = ConvertIntField("y1", e.Y1, INT32_MIN, INT32_MAX);
    d.Y2 = ConvertIntField("y2", e.Y2, INT32_MIN, INT32_MAX);
    d.XSize = FootprintSize("x-size", e.XSize);
    d.YSize = FootprintSize("y-size", e.YSize);
    d.XSizeDev = FootprintSize("x-size +-", e.XSizeDev);
    d.YSizeDev = FootprintSize("y-size +-", e.YSizeDev);
    d.Clipping = e.Clipping;
    d.Severity = ConvertRealField("severity [%]", e.Severity, 0, 100) / 100;
    d.Direction = DegToRad(CompassToMath(ConvertRealField("direction [deg]", e.Direction, -Unbounded, Unbounded)));
    d.Deviation = DegToRad(ConvertRealField("deviation [deg]", e.Deviation, 0, 360));
    d.Subevents = ConvertIntField("subevents", e.Subevents, 1, MaxSubevents);
    d.Substrate = e.Substrate;
    return d;
}

double RecurrenceYears(const TDisturbanceDef& d, const TSeasonProbability& probability)
{
    double sum = 0;
    for (double p : probability) sum += p;
    return PlacementArea(d) / (CellsPerEvent(d) * sum);
}

std::string RecurrenceText(const TDisturbanceDef& d, const TSeasonProbability& probability)
{
    return Format("%6.1f", {RecurrenceYears(d, probability)});
}

double ProbabilityForYears(const TDisturbanceDef& d, double years)
{
    return PlacementArea(d) / (CellsPerEvent(d) * years) / SeasonsPerYear;
}

double ProbabilityForYearsText(const TDisturbanceDef& d, const std::string& years)
{
    const double v = ConvertRealField(RecurrenceCaption, years, -Unbounded, Unbounded);
    if (!(v > 0)) throw Error(Format("\"%s\" must be above 0!", {std::string(RecurrenceCaption)}));
    TSeasonProbability p;
    p.fill(ProbabilityForYears(d, v));
    CheckEventProbability(p);
    return p[0];
}

TSeasonProbability ProbabilityForUpdate(const TDisturbanceDef& d, const TSeasonProbability& current,
                                        const std::string& years, bool yearsTyped)
{
    double shown = 0;
    const bool coversCells = CellsPerEvent(d) > 0;
    if (!yearsTyped && (!coversCells || !ParseFiniteReal(years, shown))) return current;
    if (!coversCells)
        throw Error(Format("\"%s\" can not be met by footprints of no cells!", {std::string(RecurrenceCaption)}));
    TSeasonProbability p;
    p.fill(ProbabilityForYearsText(d, years));
    return p;
}

void CheckEventProbability(const TSeasonProbability& probability)
{
    for (double p : probability) {
        if (std::isnan(p) || p > MaxEventsPerStep)
            throw Error(Format("a probability of %s events per time step is not possible (at most %d)!",
                               {ShortestText(p), static_cast<int>(MaxEventsPerStep)}));
        if (p < 0)
            throw Error(Format("a probability of %s events per time step is not possible (at least 0)!", {ShortestText(p)}));
    }
}

double DisturbanceWorkPerStep(const TDisturbanceDef& d, const TSeasonProbability& probability)
{
    // The square PlaceFootprint looks through, at the half extents of the reach.
    const double hx = std::round(Reach(d.XSize, d.XSizeDev) / 2), hy = std::round(Reach(d.YSize, d.YSizeDev) / 2);
    const double side = 2 * (std::round(std::sqrt(hx * hx + hy * hy)) + 1) + 1;
    return side * side * std::max(d.Subevents, 0) * MostEvents(probability);
}

void CheckDisturbanceWork(const TDisturbanceDef& d, const TSeasonProbability& probability)
{
    CheckEventProbability(probability);
    const double work = DisturbanceWorkPerStep(d, probability);
    if (work <= MaxCellsExaminedPerStep) return;
    throw Error(Format("this disturbance could examine %.0f cells in one time step (footprints up to %s x %s cells, "
                       "%d subevents, %.0f events per step); at most %.0f keep a time step short: choose a smaller "
                       "footprint, fewer subevents or a lower probability!",
                       {work, ShortestText(Reach(d.XSize, d.XSizeDev)), ShortestText(Reach(d.YSize, d.YSizeDev)),
                        d.Subevents, MostEvents(probability), MaxCellsExaminedPerStep}));
}

} // namespace marovi
