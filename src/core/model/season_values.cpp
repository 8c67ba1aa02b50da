#include "model/season_values.h"

#include <cmath>

#include "files/species_values.h"
#include "util/format.h"

namespace marovi {

std::string SeasonLine(int season, double value) { return Format("month %2.2d : %8.4f", {season + 1, value}); }

std::string SeasonLabel(int season) { return Format("month %2.2d", {season + 1}); }

std::string SeasonValueText(double value) { return Format("%8.4f", {value}); }

bool ParseSeasonValue(std::string_view text, double& value) { return ParseFiniteReal(text, value); }

std::string SeasonConversionMessage(std::string_view text)
{
    return "Error converting \"" + std::string(text) + "\" into a number!\r\rKeeping old value!";
}

std::string SurvivalRateText(int normalLifespan, double deathProb)
{
    return Format("%5.4f", {std::exp(-static_cast<double>(normalLifespan) * deathProb)});
}

double DeathProbFromSurvivalText(std::string_view text, int normalLifespan)
{
    double survival = 0;
    if (!ParseReal(text, survival)) survival = 0.1;
    return DeathProbForSurvival(survival, normalLifespan);
}

} // namespace marovi
