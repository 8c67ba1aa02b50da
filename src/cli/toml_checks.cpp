#include "toml_checks.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/parameter_table.h"
#include "model/types.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi::cli {

void TTomlChecker::Fail(const toml::source_region& where, const std::string& message) const
{
    throw Error(Format("%s:%d: %s", {path_, static_cast<int>(where.begin.line), message}));
}

std::string TTomlChecker::Text(const toml::node& n, const std::string& key) const
{
    if (!n.is_string()) Fail(n.source(), key + " must be a text in double quotes");
    return *n.value<std::string>();
}

long long TTomlChecker::Whole(const toml::node& n, const std::string& key, long long lo, long long hi) const
{
    if (!n.is_integer()) Fail(n.source(), key + " must be a whole number");
    const long long v = *n.value<int64_t>();
    if (v < lo || v > hi) Fail(n.source(), Format("%s must be %d..%d", {key, lo, hi}));
    return v;
}

double TTomlChecker::Real(const toml::node& n, const std::string& key, double lo, double hi) const
{
    if (!n.is_number()) Fail(n.source(), key + " must be a number");
    const double v = *n.value<double>();
    if (!(v >= lo && v <= hi)) Fail(n.source(), key + " must be " + ShortestText(lo) + ".." + ShortestText(hi));
    return v;
}

bool TTomlChecker::Flag(const toml::node& n, const std::string& key) const
{
    if (!n.is_boolean()) Fail(n.source(), key + " takes true or false");
    return *n.value<bool>();
}

double TTomlChecker::CheckedValue(const TParameter& p, const toml::node& n, bool perSeason) const
{
    const double v = perSeason ? SeasonValue(p, n) : Value(p, n);
    CheckRange(p, v, n);
    return v;
}

std::string TTomlChecker::FromHere(const std::string& path) const
{
    const std::filesystem::path p(path);
    return p.is_relative() ? (std::filesystem::path(path_).parent_path() / p).lexically_normal().string() : path;
}

double TTomlChecker::Value(const TParameter& p, const toml::node& e) const
{
    double v = 0;
    switch (p.Kind) {
    case TParameterKind::Boolean:
        if (!e.is_boolean()) Fail(e.source(), std::string(p.Name) + " takes true or false");
        v = *e.value<bool>() ? 1 : 0;
        break;
    case TParameterKind::Kernel:
        if (!e.is_string() || !ParseKernelName(*e.value<std::string>(), v))
            Fail(e.source(), std::string(p.Name) + " takes \"exponential\", \"diffusion\" or \"uniform\"");
        break;
    case TParameterKind::Integer:
        if (!e.is_integer()) Fail(e.source(), std::string(p.Name) + " takes whole numbers");
        v = static_cast<double>(*e.value<int64_t>());
        break;
    case TParameterKind::Real:
        if (!e.is_number()) Fail(e.source(), std::string(p.Name) + " takes numbers");
        v = *e.value<double>();
        break;
    }
    return v;
}

double TTomlChecker::SeasonValue(const TParameter& p, const toml::node& n) const
{
    const toml::array* a = n.as_array();
    if (!a) return Value(p, n);
    if (a->size() != SeasonsPerYear)
        Fail(n.source(), Format("%s takes a number, or one per season: a list of %d", {p.Name, SeasonsPerYear}));
    return Value(p, *a->get(0));
}

void TTomlChecker::CheckRange(const TParameter& p, double value, const toml::node& n) const
{
    const std::string why = ParameterValueError(p, value);
    if (!why.empty()) Fail(n.source(), why + " (not " + ShortestText(value) + ")");
}

TTomlEntries InFileOrder(const toml::table& t)
{
    TTomlEntries entries;
    for (auto&& [key, node] : t) entries.emplace_back(&key, &node);
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        const auto& pa = a.first->source().begin;
        const auto& pb = b.first->source().begin;
        return pa.line != pb.line ? pa.line < pb.line : pa.column < pb.column;
    });
    return entries;
}

std::string ReadTextFile(const std::string& path, const std::string& what)
{
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path)) throw Error("can not read the " + what + " " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

toml::table ParseToml(const std::string& text, const std::string& path)
{
    try {
        return toml::parse(text, path);
    } catch (const toml::parse_error& e) {
        throw Error(Format("%s:%d: %s", {path, static_cast<int>(e.source().begin.line), std::string(e.description())}));
    }
}

} // namespace marovi::cli
