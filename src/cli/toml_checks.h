#pragma once
// Reading the program's TOML files (sweep plans, scenarios): every value checked, every
// refusal naming the file and the line.
#include <toml++/toml.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace marovi {
struct TParameter;
}

namespace marovi::cli {

using TTomlEntries = std::vector<std::pair<const toml::key*, const toml::node*>>;

class TTomlChecker {
public:
    explicit TTomlChecker(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

    // "file.toml:7: message"
    [[noreturn]] void Fail(const toml::source_region& where, const std::string& message) const;
    std::string Text(const toml::node& n, const std::string& key) const;
    long long Whole(const toml::node& n, const std::string& key, long long lo, long long hi) const;
    double Real(const toml::node& n, const std::string& key, double lo, double hi) const;
    bool Flag(const toml::node& n, const std::string& key) const;
    // A value of a parameter by its kind (true/false, a kernel's name, a whole number, a
    // number); its range is not checked.
    double Value(const TParameter& p, const toml::node& n) const;
    // The same for a value that may be given once per season: a number or a list of one.
    double SeasonValue(const TParameter& p, const toml::node& n) const;
    // Refuses a value out of the parameter's range, naming it.
    void CheckRange(const TParameter& p, double value, const toml::node& n) const;
    // Value (or SeasonValue) checked against the parameter's range.
    double CheckedValue(const TParameter& p, const toml::node& n, bool perSeason = false) const;
    // A path the file gives: a relative one starts from the file's directory.
    std::string FromHere(const std::string& path) const;

private:
    std::string path_;
};

// toml++ keeps a table's keys sorted; what the program reads follows the file.
TTomlEntries InFileOrder(const toml::table& t);

// The file's bytes; "can not read the WHAT PATH" when it can not be read.
std::string ReadTextFile(const std::string& path, const std::string& what);
// Parses TOML text; a syntax error is refused as "path:line: description".
toml::table ParseToml(const std::string& text, const std::string& path);

} // namespace marovi::cli
