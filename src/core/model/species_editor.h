#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/types.h"

namespace marovi {
struct Model;

// What the species editor shows and the rules of its fields. Texts are UTF-8.

constexpr int SpeciesListColumnCount = 13;
extern const std::array<const char*, SpeciesListColumnCount> SpeciesListColumns;

// The row of species s in the editor's list, column by column.
std::array<std::string, SpeciesListColumnCount> SpeciesRowTexts(const Model& m, int s);

// "*", "R0", "R1", "R2", "UD" for guilds 0..4; a guild outside that range (read from a
// file) is shown as its number.
std::string GuildName(int guild);

// The edit fields of one species.
struct TSpeciesFields {
    std::string Name, FirstReproduction, ReproInterval, NormalLifespan, MaxLifespan;
    std::string DispersalDistance, PatchSize, MaxSize;
    bool GlobalDrift = false;
    uint32_t Colour = 0; // 0x00RRGGBB
    int PovShape = 0;
    std::string Guild;
    int GrowthModel = 0;
    bool ShowGrowthK = false; // exponential growth: its rate constant is shown
    std::string GrowthK;
    bool ShowKFactor = false; // species based kfactor in use
    std::string KFactor;
    uint32_t GrowsOn = 0, ChangesSubstrate = 0;
    std::string ReproSync;
};
TSpeciesFields SpeciesFieldsOf(const Model& m, int s);

// The fields that belong to the whole pool.
struct TPoolFields {
    std::string SpeciesCount, ExternalDriftProb, MaxDriftLarvae;
    bool ProportionalDrift = false, OnlyGlobalDrift = false;
};
TPoolFields PoolFieldsOf(const Model& m);
// The pool-wide fields take over what they show (the drift probability with two decimals),
// as every change of their text does.
void TakeShownPoolFields(Model& m, const TPoolFields& shown);

// The fields of a species that take typed text.
enum class TSpeciesField {
    Name, FirstReproduction, ReproInterval, MaxLifespan, DispersalDistance, PatchSize, MaxSize, KFactor, ReproSync
};

// Takes the text typed into a field of species s. The name is cut to 20 characters. A text
// that is not a (finite) number leaves the field unchanged and gives false. A number
// outside the range of the program's parameter table (a reproduction interval or lifespan
// below 1, which the step and the growth divide by; sizes and distances no grid could use)
// is refused with marovi::Error naming the field. "rep.sync [%]" is limited to 0..100.
bool SetSpeciesField(Model& m, int s, TSpeciesField field, std::string_view text);

// The normal lifespan typed for species s, when it is a number that differs from the
// stored one (the editor then asks whether to keep the survival rate). Below 1 it is
// refused with marovi::Error: the death probability and the standard values divide by it.
std::optional<int> NormalLifespanChange(const Model& m, int s, std::string_view text);

// The fecundity or death probability of every season from the per-season dialog; values
// outside their range are refused with marovi::Error and nothing changes.
void SetSeasonValues(Model& m, int s, bool deathProbability, const std::array<double, SeasonsPerYear>& values);

// StandardValues of species s, refused with marovi::Error while its normal lifespan is
// below 1 (the standard values divide by it).
void StandardSpeciesValues(Model& m, int s);

// The guild one step up (+1, at most 4) or down (-1, not below 0).
void StepGuild(Model& m, int s, int direction);
// The scene object of species s, limited to 0..50; returns the value taken.
int SetPovShape(Model& m, int s, int shape);
// The display colour of species s (0x00RRGGBB); with alsoRecord also its stored Color.
void SetSpeciesColour(Model& m, int s, uint32_t colour, bool alsoRecord);
// Before a save with colours: every species' Color takes its display colour.
void StoreSpeciesColours(Model& m);

// The pool-wide fields; both throw the conversion error, or a message for a value out of
// range, and change nothing then.
void SetExternalDriftProb(Model& m, std::string_view text);
void SetMaxDriftLarvae(Model& m, std::string_view text);
// The count for "discard and create new": an integer of 1..51 (conversion error, or a
// message for a count out of range).
int NewPoolSize(std::string_view text);

// The name of a sister copy of species s: its name and the count of species before the copy.
std::string SisterName(const Model& m, int s);

// The variation factor of "standard values...": 0 when the text is not a number; a
// factor above MaxVariationFactor (either sign) is refused with marovi::Error.
constexpr int MaxVariationFactor = 10;
double VariationFactor(std::string_view text);

} // namespace marovi
