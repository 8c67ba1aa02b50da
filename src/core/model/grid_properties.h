#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "model/types.h"

namespace marovi {
struct Model;

// The start fill entered in the Grid properties dialog; "new" takes it over (and clears
// Changed) when it differs from what was held before.
struct TStartFillSetting {
    int32_t Value = 0;
    bool Changed = false;
};

// The entries of the Grid properties dialog as the user left them.
struct TGridPropertiesEntries {
    std::string StartFill, BubbleScale, MaxRuntime, Repetitions;
    TKernel DispersalKernel = TKernel::Exponential;
    TKernel PatchKernel = TKernel::Exponential;
    bool BiasedLottery = false;
    std::string KFactor, NeighbourhoodSize;
    bool FluctRepro = false;
    std::string FluctReproMin, FluctReproMax;
    std::string RandomSeed;
    std::string TermDisturbances, TermSteps;
    // Shown only: the flow defaults (compass bearing and spread in degrees) and the size
    // threshold, which are edited elsewhere.
    std::string FlowDirection, FlowDeviation, MinSize;
};

// The entries as the dialog shows them for the current model.
TGridPropertiesEntries GridPropertiesOf(const Model& m, const TStartFillSetting& startFill);

// "update": applies the entries field by field in the dialog's order. Start fill, display
// radius, run length and repetitions must be numbers: the first one that is not throws the
// conversion error, with the fields before it already applied. The guarded fields keep
// their value silently when the text is invalid or out of range. A changed random seed is
// stored and reseeds the generator at once (with clockSeed when the new seed is 0).
void ApplyGridProperties(Model& m, TStartFillSetting& startFill, const TGridPropertiesEntries& e,
                         int32_t clockSeed);

// The conversions of the dialog's unguarded fields; they throw marovi::Error with the
// conversion message ("'x' is not a valid integer value").
int32_t ConvertInt(std::string_view text);
double ConvertReal(std::string_view text);

// A refusal of what was typed into a field, naming the field: the message as it is when it
// already names the quoted caption, else "\"caption\": " before it.
std::string FieldMessage(std::string_view caption, std::string_view message);
// "lo..hi", or "at least lo" for a range without an upper end (hi = HUGE_VAL).
std::string RangeText(double lo, double hi);
// The conversions of a field with its caption and range: the conversion message named by
// FieldMessage, or "\"caption\" must be lo..hi!".
int32_t ConvertIntField(std::string_view caption, std::string_view text, int32_t lo, int32_t hi);
double ConvertRealField(std::string_view caption, std::string_view text, double lo, double hi);

// The order typed into the Hill number field: a real of 0 or more (a negative order has
// no value as soon as one species is absent); throws marovi::Error otherwise.
double ConvertHillOrder(std::string_view text);

// The data separator: a character code 0..127 becomes the separator, any other code is
// refused (returns false). SetSeparatorFromText takes a one-character text as that character
// and anything else as a code (throwing the conversion error when it is not a number).
bool SetSeparatorCode(Model& m, int code);
bool SetSeparatorFromText(Model& m, std::string_view text);
// The separator in double quotes, as the dialog's label shows it.
std::string QuotedSeparator(char separator);

} // namespace marovi
