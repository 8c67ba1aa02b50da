#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "disturbance/disturbance_def.h"

namespace marovi {

// What the disturbance editor shows and reads. Texts are UTF-8.

using TSeasonProbability = std::array<double, SeasonsPerYear>;

constexpr int DisturbanceListColumnCount = 10;
extern const std::array<const char*, DisturbanceListColumnCount> DisturbanceListColumns;

// The list row of definition number index (0-based).
std::array<std::string, DisturbanceListColumnCount> DisturbanceRowTexts(const TDisturbanceDef& d, int index);
// Bits 8 down to 0 of the substrate set as "0" and "1": nine characters.
std::string SubstrateBits(uint32_t substrate);

// The edit fields of a definition, as texts.
struct TDisturbanceEntries {
    std::string X1, X2, Y1, Y2, XSize, XSizeDev, YSize, YSizeDev;
    bool Clipping = false;
    std::string Severity, Direction, Deviation, Subevents;
    uint8_t Substrate = 0;
};
TDisturbanceEntries DisturbanceEntriesOf(const TDisturbanceDef& d);

// Reads the entries into a definition (all but Probability and LastEvent, which stay as in
// `base`): corners, sizes and subevents as numbers, severity in percent, the direction as a
// compass bearing and the deviation in degrees. Each field is checked against its range
// (sizes and their deviations 0..10000 cells, severity 0..100 %, deviation 0..360 degrees,
// subevents 1..10000); a refusal names the field. Nothing is changed either way.
TDisturbanceDef ReadDisturbanceEntries(const TDisturbanceEntries& e, const TDisturbanceDef& base = {});

// Cells of the placement rectangle divided by the cells all events of one step cover: the
// years until every cell has been disturbed once on average.
double RecurrenceYears(const TDisturbanceDef& d, const TSeasonProbability& probability);
// "%6.1f" of it, the text of the recurrence field.
std::string RecurrenceText(const TDisturbanceDef& d, const TSeasonProbability& probability);
// The probability per season that gives the recurrence typed: a number of years above 0
// (refused naming the recurrence field); an event count no time step could finish is refused.
double ProbabilityForYears(const TDisturbanceDef& d, double years);
double ProbabilityForYearsText(const TDisturbanceDef& d, const std::string& years);
inline constexpr char RecurrenceCaption[] = "every cell disturbed each years";
// The probability "update" gives the changed definition: the one for the recurrence in the
// field, or the current one when the field still holds the window's own text and that
// cannot set it (no number, as "   INF" for footprints of no cells, or no cells to cover).
TSeasonProbability ProbabilityForUpdate(const TDisturbanceDef& d, const TSeasonProbability& current,
                                        const std::string& years, bool yearsTyped);
// Refuses a probability that is negative or that no time step could finish (NaN, infinite
// or above the limit).
void CheckEventProbability(const TSeasonProbability& probability);

// About how many cells one definition examines in a time step at most: the square a
// footprint of mean size plus three deviations is looked for in, times the subevents,
// times the events of the most probable season.
double DisturbanceWorkPerStep(const TDisturbanceDef& d, const TSeasonProbability& probability);
// Refuses a definition that would keep a time step busy: its probability first
// (CheckEventProbability), then a work per step above MaxCellsExaminedPerStep, saying why.
void CheckDisturbanceWork(const TDisturbanceDef& d, const TSeasonProbability& probability);

} // namespace marovi
