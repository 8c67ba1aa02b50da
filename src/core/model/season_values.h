#pragma once
#include <string>
#include <string_view>

namespace marovi {

// The texts and rules of the per-season value dialog (one season per year).

// "month 01 :   6.6667": the list line of a season (0-based).
std::string SeasonLine(int season, double value);
// "month 01": the label above the edit.
std::string SeasonLabel(int season);
// "  6.6667": the edit's text of a value.
std::string SeasonValueText(double value);
// The value typed for a season: false when the text is not a finite number.
bool ParseSeasonValue(std::string_view text, double& value);
// The message shown when it is not: the text in double quotes, then "Keeping old value!".
std::string SeasonConversionMessage(std::string_view text);

// The survival to the normal lifespan under a constant death probability, "%5.4f".
std::string SurvivalRateText(int normalLifespan, double deathProb);
// "compute": the death probability that leaves the survival typed (0.1 when the text is
// not a number). A survival outside (0, 1] or a lifespan below 1 throws marovi::Error.
double DeathProbFromSurvivalText(std::string_view text, int normalLifespan);

} // namespace marovi
