#include "sweep_plan.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "analysis_common.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "runner.h"
#include "util/error.h"
#include "util/format.h"

namespace fs = std::filesystem;

namespace marovi::cli {
namespace {

constexpr long long MaxRuns = 10000000;
constexpr long long MaxValues = 100000;

class TPlanReader {
public:
    explicit TPlanReader(TSweepPlan& plan) : plan_(plan) {}

    [[noreturn]] void Fail(const toml::source_region& where, const std::string& message) const
    {
        throw Error(Format("%s:%d: %s", {plan_.Path, static_cast<int>(where.begin.line), message}));
    }

    void Read(const toml::table& root)
    {
        std::vector<std::pair<const toml::key*, const toml::node*>> entries;
        for (auto&& [key, node] : root) entries.emplace_back(&key, &node);
        const toml::node* vary = nullptr;
        for (auto [key, node] : entries) {
            const std::string k(key->str());
            if (k == "file") plan_.BaseFile = Text(*node, k);
            else if (k == "grid") ReadGrid(*node);
            else if (k == "steps") plan_.Steps = static_cast<int>(Whole(*node, k, 0, INT32_MAX));
            else if (k == "every") plan_.Every = static_cast<int>(Whole(*node, k, 1, INT32_MAX));
            else if (k == "seeds") ReadSeeds(*node);
            else if (k == "replicates") replicates_ = Whole(*node, k, 1, MaxRuns);
            else if (k == "first_seed") firstSeed_ = Whole(*node, k, 0, INT32_MAX);
            else if (k == "diversity") plan_.Diversity = Text(*node, k);
            else if (k == "hill_order") plan_.HillOrder = Real(*node, k, 0, 1e6);
            else if (k == "keep_grids") plan_.KeepGrids = Text(*node, k);
            else if (k == "vary") vary = node;
            else Fail(key->source(), "unknown key \"" + k + "\"");
        }
        CheckStartAndSeeds(root);
        if (!FindDiversityMeasure(plan_.Diversity))
            Fail(root["diversity"].node()->source(), "unknown diversity measure \"" + plan_.Diversity + "\"");
        if (vary) ReadVary(*vary);
        long long runs = static_cast<long long>(plan_.Seeds.size());
        for (const TVaried& v : plan_.Varied) {
            runs *= static_cast<long long>(v.Values.size());
            if (runs > MaxRuns) Fail(vary->source(), Format("more than %d runs", {MaxRuns}));
        }
    }

private:
    std::string Text(const toml::node& n, const std::string& key) const
    {
        if (!n.is_string()) Fail(n.source(), key + " must be a text in double quotes");
        return *n.value<std::string>();
    }

    long long Whole(const toml::node& n, const std::string& key, long long lo, long long hi) const
    {
        if (!n.is_integer()) Fail(n.source(), key + " must be a whole number");
        const long long v = *n.value<int64_t>();
        if (v < lo || v > hi) Fail(n.source(), Format("%s must be %d..%d", {key, lo, hi}));
        return v;
    }

    double Real(const toml::node& n, const std::string& key, double lo, double hi) const
    {
        if (!n.is_number()) Fail(n.source(), key + " must be a number");
        const double v = *n.value<double>();
        if (!(v >= lo && v <= hi)) Fail(n.source(), key + " must be " + ShortestText(lo) + ".." + ShortestText(hi));
        return v;
    }

    void ReadGrid(const toml::node& n)
    {
        try {
            ParseGridSize(Text(n, "grid"), plan_.GridW, plan_.GridH, "grid");
        } catch (const Error& e) {
            Fail(n.source(), e.what());
        }
        gridGiven_ = true;
    }

    void ReadSeeds(const toml::node& n)
    {
        const toml::array* a = n.as_array();
        if (!a || a->empty()) Fail(n.source(), "seeds must be a list of whole numbers, e.g. [1, 2, 3]");
        std::set<int32_t> seen;
        for (const toml::node& e : *a) {
            const auto seed = static_cast<int32_t>(Whole(e, "a seed", 0, INT32_MAX));
            if (!seen.insert(seed).second) Fail(e.source(), Format("seed %d is listed twice", {seed}));
            plan_.Seeds.push_back(seed);
        }
    }

    void CheckStartAndSeeds(const toml::table& root)
    {
        if (!plan_.BaseFile.empty() && gridGiven_) Fail(root["grid"].node()->source(), "give either file or grid, not both");
        if (!root.contains("steps")) throw Error(plan_.Path + ": the plan names no steps");
        if (root.contains("replicates") || root.contains("first_seed")) {
            if (!plan_.Seeds.empty()) Fail(root["seeds"].node()->source(), "give either seeds or replicates, not both");
            if (!root.contains("replicates")) Fail(root["first_seed"].node()->source(), "first_seed needs replicates");
            if (firstSeed_ + replicates_ - 1 > INT32_MAX)
                Fail(root["replicates"].node()->source(), "first_seed + replicates - 1 exceeds the largest seed 2147483647");
            for (long long i = 0; i < replicates_; ++i) plan_.Seeds.push_back(static_cast<int32_t>(firstSeed_ + i));
        }
        if (plan_.Seeds.empty()) throw Error(plan_.Path + ": the plan names no seeds (seeds = [...] or replicates = N)");
        if (!plan_.BaseFile.empty()) {
            const fs::path base(plan_.BaseFile);
            if (base.is_relative()) plan_.BaseFile = (fs::path(plan_.Path).parent_path() / base).lexically_normal().string();
            try {
                speciesCount_ = LoadSimulationFile(plan_.BaseFile).SpeciesMax + 1;
            } catch (const Error& e) {
                Fail(root["file"].node()->source(), e.what());
            }
        }
    }

    void ReadVary(const toml::node& n)
    {
        const toml::table* t = n.as_table();
        if (!t) Fail(n.source(), "vary must be a table of parameters");
        for (auto [key, node] : InFileOrder(*t)) {
            const std::string name(key->str());
            if (name == "species") {
                ReadSpeciesVary(*node);
                continue;
            }
            const TParameter* p = FindParameter(name, false);
            if (!p) Fail(key->source(), "no global parameter is called \"" + name + "\"");
            AddVaried(*p, -1, name, *node);
        }
    }

    void ReadSpeciesVary(const toml::node& n)
    {
        const toml::table* t = n.as_table();
        if (!t) Fail(n.source(), "species must be a table of species numbers, e.g. [vary.species.3]");
        for (auto [key, node] : InFileOrder(*t)) {
            const std::string number(key->str());
            int s = 0;
            if (!ParseInt(number, s) || s < 1 || s > speciesCount_ || number != std::to_string(s))
                Fail(key->source(), Format("species \"%s\" does not exist: the pool has species 1..%d", {number, speciesCount_}));
            const toml::table* fields = node->as_table();
            if (!fields) Fail(node->source(), "species " + number + " must be a table of species fields");
            for (auto [field, values] : InFileOrder(*fields)) {
                const std::string name(field->str());
                const TParameter* p = FindParameter(name, true);
                if (!p) Fail(field->source(), "no species field is called \"" + name + "\"");
                AddVaried(*p, s - 1, "species" + number + "." + name, *values);
            }
        }
    }

    void AddVaried(const TParameter& p, int species, const std::string& column, const toml::node& n)
    {
        for (const TVaried& v : plan_.Varied)
            if (v.Column == column) Fail(n.source(), column + " is varied twice");
        TVaried v{&p, species, column, {}};
        if (const toml::table* range = n.as_table()) v.Values = RangeValues(p, *range);
        else if (const toml::array* list = n.as_array()) {
            for (const toml::node& e : *list) v.Values.push_back(Value(p, e));
        } else Fail(n.source(), column + " must be a list [a, b, ...] or a range { from = a, to = b, step = c }");
        if (v.Values.empty()) Fail(n.source(), column + " has no values");
        if (static_cast<long long>(v.Values.size()) > MaxValues) Fail(n.source(), Format("%s has more than %d values", {column, MaxValues}));
        for (const double value : v.Values) {
            const std::string why = ParameterValueError(p, value);
            if (!why.empty()) Fail(n.source(), why + " (not " + ShortestText(value) + ")");
        }
        plan_.Varied.push_back(std::move(v));
    }

    double Value(const TParameter& p, const toml::node& e) const
    {
        switch (p.Kind) {
        case TParameterKind::Boolean:
            if (!e.is_boolean()) Fail(e.source(), std::string(p.Name) + " takes true or false");
            return *e.value<bool>() ? 1 : 0;
        case TParameterKind::Kernel: {
            double code = 0;
            if (!e.is_string() || !ParseKernelName(*e.value<std::string>(), code))
                Fail(e.source(), std::string(p.Name) + " takes \"exponential\", \"diffusion\" or \"uniform\"");
            return code;
        }
        case TParameterKind::Integer:
            if (!e.is_integer()) Fail(e.source(), std::string(p.Name) + " takes whole numbers");
            return static_cast<double>(*e.value<int64_t>());
        case TParameterKind::Real:
            break;
        }
        if (!e.is_number()) Fail(e.source(), std::string(p.Name) + " takes numbers");
        return *e.value<double>();
    }

    std::vector<double> RangeValues(const TParameter& p, const toml::table& range) const
    {
        if (p.Kind == TParameterKind::Boolean || p.Kind == TParameterKind::Kernel)
            Fail(range.source(), std::string(p.Name) + " takes a list, not a range");
        for (auto&& [key, node] : range)
            if (key != "from" && key != "to" && key != "step")
                Fail(key.source(), "unknown key \"" + std::string(key.str()) + "\" in a range (from, to, step)");
        for (const char* key : {"from", "to", "step"})
            if (!range.contains(key)) Fail(range.source(), std::string("the range needs ") + key);
        const double from = Value(p, *range.get("from")), to = Value(p, *range.get("to")), step = Value(p, *range.get("step"));
        if (!(step > 0) || !(to >= from)) Fail(range.source(), "a range needs step > 0 and to >= from");
        // Whole steps from `from`; a last value within a millionth of a step of `to` counts.
        const double count = std::floor((to - from) / step + 1e-6) + 1;
        if (count > MaxValues) Fail(range.source(), Format("the range has more than %d values", {MaxValues}));
        std::vector<double> values;
        // Each value is what its text in the table says (0.3, not 0.30000000000000004).
        for (int i = 0; i < static_cast<int>(count); ++i) {
            double v = from + i * step;
            ParseReal(ShortestText(v), v);
            values.push_back(v);
        }
        return values;
    }

    // toml++ keeps a table's keys sorted; the plan's columns follow the file.
    static std::vector<std::pair<const toml::key*, const toml::node*>> InFileOrder(const toml::table& t)
    {
        std::vector<std::pair<const toml::key*, const toml::node*>> entries;
        for (auto&& [key, node] : t) entries.emplace_back(&key, &node);
        std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            const auto& pa = a.first->source().begin;
            const auto& pb = b.first->source().begin;
            return pa.line != pb.line ? pa.line < pb.line : pa.column < pb.column;
        });
        return entries;
    }

    TSweepPlan& plan_;
    bool gridGiven_ = false;
    long long replicates_ = 0, firstSeed_ = 1;
    int speciesCount_ = 10; // the start-up state's pool
};

} // namespace

TSweepPlan LoadSweepPlan(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in || fs::is_directory(path)) throw Error("can not read the plan " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return ParseSweepPlan(text.str(), path);
}

TSweepPlan ParseSweepPlan(const std::string& text, const std::string& path)
{
    TSweepPlan plan;
    plan.Path = path;
    plan.Text = text;
    toml::table root;
    try {
        root = toml::parse(plan.Text, path);
    } catch (const toml::parse_error& e) {
        throw Error(Format("%s:%d: %s", {path, static_cast<int>(e.source().begin.line), std::string(e.description())}));
    }
    TPlanReader(plan).Read(root);
    return plan;
}

long long RunCount(const TSweepPlan& plan)
{
    long long runs = static_cast<long long>(plan.Seeds.size());
    for (const TVaried& v : plan.Varied) runs *= static_cast<long long>(v.Values.size());
    return runs;
}

TSweepRun RunOfPlan(const TSweepPlan& plan, long long id)
{
    TSweepRun run;
    run.Id = static_cast<int>(id);
    long long rest = id - 1;
    run.Seed = plan.Seeds[static_cast<size_t>(rest % static_cast<long long>(plan.Seeds.size()))];
    rest /= static_cast<long long>(plan.Seeds.size());
    run.Values.resize(plan.Varied.size());
    for (size_t i = plan.Varied.size(); i-- > 0;) {
        const auto n = static_cast<long long>(plan.Varied[i].Values.size());
        run.Values[i] = plan.Varied[i].Values[static_cast<size_t>(rest % n)];
        rest /= n;
    }
    return run;
}

void ApplyRunValues(const TSweepPlan& plan, const TSweepRun& run, Model& m)
{
    for (size_t i = 0; i < plan.Varied.size(); ++i) plan.Varied[i].Parameter->Set(m, plan.Varied[i].Species, run.Values[i]);
}

} // namespace marovi::cli
