#pragma once
#include <string>
#include <vector>

#include "model/scenario.h"

namespace marovi {
struct Model;
}

namespace marovi::cli {

// Reads and checks a scenario (TOML): global parameters by their names, grid, file (a
// saved simulation to start from), species, disturbance, flow, states, [landscape]. Relative
// file names are taken from the scenario's directory; every key is checked and a refusal
// names the file and the line. The files it names are read and checked too.
TScenario LoadScenario(const std::string& path);
TScenario ParseScenario(const std::string& text, const std::string& path);

// The files a scenario may name, read and checked (a refusal names the file); each goes
// with its digest into the scenario's inputs. A flow grid file is binary (.mfg) or the text
// definition, whose fields the separator divides.
void SetPoolFile(TScenario& s, const std::string& path);
void SetDisturbanceFile(TScenario& s, const std::string& path);
void SetFlowFile(TScenario& s, const std::string& path, char separator);
void SetStatesFile(TScenario& s, const std::string& path);
void SetLandscapeImage(TScenario& s, const std::string& path);

// The species count and the disturbance definitions of the runs a scenario starts (or -1
// when its base decides), for checking what a plan varies.
int ScenarioSpeciesCount(const TScenario& s);
int ScenarioDisturbanceCount(const TScenario& s);

// Writes the scenario of a model to OUT (TOML): parameters, species, disturbance
// definitions and a one-cell flow grid in the text, the capacity and substrate of every
// cell and a larger flow grid in side files beside it (OUT's stem + .capacity.txt,
// .substrate.txt, .flow.mfg) that the text names. A new start from it is the new start of
// the model. Returns the files written.
std::vector<std::string> WriteScenario(const Model& m, const std::string& out, const std::string& source);

// A species name (Latin-1 bytes in the record) as UTF-8 text.
std::string Latin1ToUtf8(const std::string& latin1);

// TOML text of model values, shared with the provenance files.
std::string TomlReal(double v);
std::string TomlParameterValue(const TParameter& p, double v);
// "[[disturbance]]" and the lines of every field of a definition.
std::string DisturbanceToml(const TDisturbanceDef& d);
// The landscape parameters as "key = value" lines.
std::string LandscapeParameterLines(const Model& m);

} // namespace marovi::cli
