#include "provenance.h"

#include "files/safe_file.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "scenario_file.h"
#include "util/format.h"
#include "util/version.h"

namespace marovi::cli {
namespace {

std::string commandLine = "marovi-cli";

std::string ShellWord(const std::string& word)
{
    if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                                "-_./:=,+%@") == std::string::npos)
        return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string TomlValue(const TParameter& p, double value)
{
    const std::string text = ParameterValueText(p, value);
    return p.Kind == TParameterKind::Kernel ? TomlString(text) : text;
}

} // namespace

void RememberCommandLine(int argc, char** argv)
{
    commandLine = "marovi-cli";
    for (int i = 1; i < argc; ++i) commandLine += " " + ShellWord(argv[i]);
}

std::string TomlString(const std::string& text) { return "\"" + TomlEscaped(text, false) + "\""; }

std::string TomlEscaped(const std::string& text, bool keepLineEnds)
{
    std::string out;
    for (const char c : text) {
        if (c == '"' || c == '\\') out += std::string("\\") + c;
        else if (c == '\n') out += keepLineEnds ? "\n" : "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) out += Format("\\u%4.4X", {static_cast<int>(c)});
        else out += c;
    }
    return out;
}

TOrigin RunnerOrigin() { return {std::string("marovi-cli ") + ProgramVersionText + ", core " + CoreVersionText, commandLine}; }

TProvenance::TProvenance(const TOrigin& origin)
{
    Text("program", origin.Program);
    Text("command", origin.Command);
}

void TProvenance::Text(const std::string& key, const std::string& value) { lines_.push_back(key + " = " + TomlString(value)); }

void TProvenance::Lines(const std::string& key, const std::string& value)
{
    lines_.push_back(key + " = \"\"\"\n" + TomlEscaped(value, true) + "\"\"\"");
}

void TProvenance::Number(const std::string& key, long long value) { lines_.push_back(key + " = " + std::to_string(value)); }

void TProvenance::Parameters(const Model& m)
{
    parameters_.clear();
    for (const TParameter& p : ParameterTable()) {
        if (!p.PerSpecies) {
            parameters_.push_back(std::string(p.Name) + " = " + TomlValue(p, p.Get(m, -1)));
            continue;
        }
        for (int s = 0; s <= m.SpeciesMax; ++s)
            parameters_.push_back(Format("species%d.%s = ", {s + 1, p.Name}) + TomlValue(p, p.Get(m, s)));
    }
    for (int s = 0; s <= m.SpeciesMax; ++s)
        parameters_.push_back(Format("species%d.Name = ", {s + 1}) + TomlString(Latin1ToUtf8(m.SpeciesPool[static_cast<size_t>(s)].Name)));
    sections_ = Format("\r\n[landscape]\r\ngrid = \"%dx%d\"\r\n", {m.XDim, m.YDim}) + LandscapeParameterLines(m);
    for (const TDisturbanceDef& d : m.Disturbances) sections_ += DisturbanceToml(d);
}

void TProvenance::Inputs(const std::vector<std::pair<std::string, std::string>>& files)
{
    inputs_.clear();
    for (const auto& [path, digest] : files) inputs_.push_back(TomlString(path) + " = " + TomlString(digest));
}

void TProvenance::WriteFor(const std::string& output) const
{
    TSafeFile f(ProvenanceName(output));
    f.WriteLine("# What produced " + output);
    f.WriteLine("output = " + TomlString(output));
    for (const std::string& l : lines_) f.WriteLine(l);
    if (!inputs_.empty()) {
        f.WriteLine("");
        f.WriteLine("[inputs] # the SHA-256 of every file read");
        for (const std::string& l : inputs_) f.WriteLine(l);
    }
    if (!parameters_.empty()) {
        f.WriteLine("");
        f.WriteLine("[parameters]");
        for (const std::string& l : parameters_) f.WriteLine(l);
    }
    f.Write(sections_);
    f.Commit();
}

std::string ProvenanceName(const std::string& output) { return output + ".provenance.txt"; }

} // namespace marovi::cli
