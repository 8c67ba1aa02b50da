#include "disturbance/disturbance_editor.h"

#include <cmath>
#include <cstdlib>

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

double FootprintSize(const std::string& text)
{
    const double v = ConvertReal(text);
    if (std::fabs(v) > MaxFootprintExtent)
        throw Error(Format("a footprint size of %s cells is not possible (at most %d)!",
                           {ShortestText(v), static_cast<int>(MaxFootprintExtent)}));
    return v;
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
    d.X1 = ConvertInt(e.X1);
    d.X2 = ConvertInt(e.X2);
    d.Y1 = ConvertInt(e.Y1);
    d.Y2 = ConvertInt(e.Y2);
    d.XSize = FootprintSize(e.XSize);
    d.YSize = FootprintSize(e.YSize);
    d.XSizeDev = FootprintSize(e.XSizeDev);
    d.YSizeDev = FootprintSize(e.YSizeDev);
    d.Clipping = e.Clipping;
    d.Severity = ConvertReal(e.Severity) / 100;
    d.Direction = DegToRad(CompassToMath(ConvertReal(e.Direction)));
    d.Deviation = DegToRad(ConvertReal(e.Deviation));
    d.Subevents = ConvertInt(e.Subevents);
    if (d.Subevents > MaxSubevents)
        throw Error(Format("%d subevents per event are not possible (at most %d)!", {d.Subevents, MaxSubevents}));
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
    TSeasonProbability p;
    p.fill(ProbabilityForYears(d, ConvertReal(years)));
    CheckEventProbability(p);
    return p[0];
}

void CheckEventProbability(const TSeasonProbability& probability)
{
    for (double p : probability)
        if (std::isnan(p) || p > MaxEventsPerStep)
            throw Error(Format("a probability of %s events per time step is not possible (at most %d)!",
                               {ShortestText(p), static_cast<int>(MaxEventsPerStep)}));
}

} // namespace marovi
