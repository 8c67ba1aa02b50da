#pragma once
#include <string>
#include <utility>
#include <vector>

namespace marovi {
struct Model;
}

namespace marovi::cli {

// What ran: the program with its version, and the command.
struct TOrigin {
    std::string Program, Command;
};
// marovi-cli and its command line.
TOrigin RunnerOrigin();

// What produced an output file, kept beside it as OUTPUT.provenance.txt (a small TOML file)
// so that no output format changes: the program version, the command line, then entries
// the command adds (seed, input, ...) and optionally every parameter of the model.
class TProvenance {
public:
    explicit TProvenance(const TOrigin& origin = RunnerOrigin());
    void Text(const std::string& key, const std::string& value);
    void Number(const std::string& key, long long value);
    // A text of several lines, kept readable as a multi-line string.
    void Lines(const std::string& key, const std::string& value);
    // The model as a run started with it: every global parameter and every species field
    // (and name), by the names a sweep plan uses; the landscape parameters; every
    // disturbance definition.
    void Parameters(const Model& m);
    // The files a run read, each with its SHA-256.
    void Inputs(const std::vector<std::pair<std::string, std::string>>& files);
    // Writes OUTPUT.provenance.txt in place of an older one.
    void WriteFor(const std::string& output) const;

private:
    std::vector<std::string> lines_, parameters_, inputs_;
    std::string sections_;
};

std::string ProvenanceName(const std::string& output);

// The command line that every provenance records; main sets it.
void RememberCommandLine(int argc, char** argv);

// A TOML basic string: "text" with quotes, backslashes and control characters escaped.
std::string TomlString(const std::string& text);
// The text with what a TOML basic string must escape escaped (line ends too unless kept).
std::string TomlEscaped(const std::string& text, bool keepLineEnds);

} // namespace marovi::cli
