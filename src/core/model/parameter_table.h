#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace marovi {
struct Model;

enum class TParameterKind { Integer, Real, Boolean, Kernel };

// A parameter that scripts may set by name: a global parameter of the model or a field of a
// species record. Every value travels as a double (booleans 0/1, kernels by their file code).
struct TParameter {
    const char* Name;
    TParameterKind Kind;
    bool PerSpecies;
    double Min, Max;
    bool OpenRange; // the bounds themselves are refused (|kFactor| < 100)
    void (*Set)(Model& m, int species, double value);
    double (*Get)(const Model& m, int species);
};

// Every settable parameter: the global ones first, then the species fields.
const std::vector<TParameter>& ParameterTable();
// nullptr when there is no such parameter of that sort.
const TParameter* FindParameter(std::string_view name, bool perSpecies);

// A parameter by the name a sweep table's column gives it: a global parameter
// ("GlobalKFactor") or the field of species N of the pool, counted from 1
// ("species3.Fecundity"). marovi::Error when there is no such parameter or species.
struct TParameterColumn {
    const TParameter* Parameter = nullptr;
    int Species = -1; // the species index for a species field
};
TParameterColumn FindParameterColumn(std::string_view column, int speciesCount);
// The column name of a parameter (of species index `species` for a species field).
std::string ParameterColumnName(const TParameter& p, int species);

// The fields of a disturbance definition by the names scenarios and plans use; the index is
// the definition's (0-based). Direction and Deviation are radians (0 = east, counter-
// clockwise); Bearing (a compass bearing) and DeviationDegrees set them in the editor's
// degrees; Recurrence (the years until every cell has been disturbed once on average,
// "every cell disturbed each ... years") sets the probability from the other fields.
const std::vector<TParameter>& DisturbanceFieldTable();
const TParameter* FindDisturbanceField(std::string_view name);

// The landscape generator's parameters: HighCapacity, LowCapacity, HighCapacityProb.
const std::vector<TParameter>& LandscapeParameterTable();
const TParameter* FindLandscapeParameter(std::string_view name);

// Why the value is not allowed ("" when it is), e.g. "NeighbourhoodSize must be 1..24".
std::string ParameterValueError(const TParameter& p, double value);

// The value as a table or a side file shows it: "true", "uniform", "3", "0.25".
std::string ParameterValueText(const TParameter& p, double value);

// "exponential", "diffusion", "uniform" as their kernel codes 1, 2, 4; false for other texts.
bool ParseKernelName(std::string_view text, double& code);

} // namespace marovi
