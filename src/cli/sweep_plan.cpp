#include "sweep_plan.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

#include "analysis_common.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "runner.h"
#include "scenario_file.h"
#include "toml_checks.h"
#include "util/error.h"
#include "util/format.h"
#include "util/sha256.h"

namespace fs = std::filesystem;

namespace marovi::cli {
namespace {

constexpr long long MaxRuns = 10000000;
constexpr long long MaxValues = 100000;
constexpr size_t MaxStarts = 10000;

class TPlanReader : public TTomlChecker {
public:
    explicit TPlanReader(TSweepPlan& plan) : TTomlChecker(plan.Path), plan_(plan) {}

    void Read(const toml::table& root)
    {
        const toml::node* vary = nullptr;
        for (auto [key, node] : InFileOrder(root)) {
            const std::string k(key->str());
            if (k == "file" || k == "scenario") ReadStarts(k, *node);
            else if (k == "grid") ReadGrid(*node);
            else if (k == "steps") plan_.Steps = static_cast<int>(Whole(*node, k, 0, INT32_MAX));
            else if (k == "every") plan_.Every = static_cast<int>(Whole(*node, k, 1, INT32_MAX));
            else if (k == "seeds") ReadSeeds(*node);
            else if (k == "replicates") replicates_ = Whole(*node, k, 1, MaxRuns);
            else if (k == "first_seed") firstSeed_ = Whole(*node, k, 0, INT32_MAX);
            else if (k == "to_horizon") plan_.ToHorizon = Flag(*node, k);
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
        long long runs = static_cast<long long>(plan_.Seeds.size() * plan_.Starts.size());
        for (const TVaried& v : plan_.Varied) {
            runs *= static_cast<long long>(v.Values.size());
            if (runs > MaxRuns) Fail(vary->source(), Format("more than %d runs", {MaxRuns}));
        }
    }

private:
    // file = "base.mgf" or scenario = "s.toml", or a list of them, each a start of its own.
    void ReadStarts(const std::string& key, const toml::node& n)
    {
        if (!startKey_.empty()) Fail(n.source(), "give either file or scenario, not both");
        startKey_ = key;
        std::vector<const toml::node*> items;
        if (const toml::array* list = n.as_array()) {
            if (list->empty()) Fail(n.source(), key + " lists nothing");
            if (list->size() > MaxStarts) Fail(n.source(), Format("%s lists more than %d", {key, static_cast<long long>(MaxStarts)}));
            for (const toml::node& e : *list) items.push_back(&e);
            plan_.StartColumn = key;
        } else items.push_back(&n);
        std::set<std::string> labels;
        for (const toml::node* item : items) {
            const std::string text = Text(*item, key);
            const std::string path = FromHere(text);
            TSweepStart start;
            try {
                if (key == "file") {
                    start.Label = text;
                    start.Scenario.BaseFile = path;
                    start.Scenario.Name = fs::path(text).stem().string();
                    start.Scenario.Inputs.emplace_back(path, FileSha256Hex(path));
                } else {
                    start.Scenario = LoadScenario(path);
                    start.Label = start.Scenario.Name;
                }
                Count(start);
            } catch (const Error& e) {
                Fail(item->source(), e.what());
            }
            if (!labels.insert(start.Label).second) Fail(item->source(), key + " \"" + start.Label + "\" is listed twice");
            plan_.Starts.push_back(std::move(start));
        }
    }

    // What a start's runs hold, from its scenario or, where that leaves them, its base file.
    static void Count(TSweepStart& start)
    {
        start.SpeciesCount = ScenarioSpeciesCount(start.Scenario);
        start.DisturbanceCount = ScenarioDisturbanceCount(start.Scenario);
        if (start.SpeciesCount >= 0 && start.DisturbanceCount >= 0) return;
        const Model base = LoadSimulationFile(start.Scenario.BaseFile);
        if (start.SpeciesCount < 0) start.SpeciesCount = base.SpeciesMax + 1;
        if (start.DisturbanceCount < 0) start.DisturbanceCount = static_cast<int>(base.Disturbances.size());
    }

    void ReadGrid(const toml::node& n)
    {
        try {
            ParseGridSize(Text(n, "grid"), plan_.GridW, plan_.GridH, "grid");
        } catch (const Error& e) {
            Fail(n.source(), e.what());
        }
        gridNode_ = &n;
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
        if (plan_.Starts.empty()) plan_.Starts.push_back(TSweepStart{});
        // The plan's grid is the start-up state's: a start that brings its own refuses it.
        if (gridNode_)
            for (const TSweepStart& s : plan_.Starts) {
                if (startKey_ == "file") Fail(gridNode_->source(), "give either file or grid, not both");
                if (!s.Scenario.BaseFile.empty() || s.Scenario.Landscape.GridW > 0)
                    Fail(gridNode_->source(), "scenario \"" + s.Label + "\" has its own grid");
            }
        if (!root.contains("steps")) throw Error(plan_.Path + ": the plan names no steps");
        if (root.contains("replicates") || root.contains("first_seed")) {
            if (!plan_.Seeds.empty()) Fail(root["seeds"].node()->source(), "give either seeds or replicates, not both");
            if (!root.contains("replicates")) Fail(root["first_seed"].node()->source(), "first_seed needs replicates");
            if (firstSeed_ + replicates_ - 1 > INT32_MAX)
                Fail(root["replicates"].node()->source(), "first_seed + replicates - 1 exceeds the largest seed 2147483647");
            for (long long i = 0; i < replicates_; ++i) plan_.Seeds.push_back(static_cast<int32_t>(firstSeed_ + i));
        }
        if (plan_.Seeds.empty()) throw Error(plan_.Path + ": the plan names no seeds (seeds = [...] or replicates = N)");
    }

    // The fewest of something any start has: what every run of the plan can vary.
    int Fewest(int TSweepStart::*count) const
    {
        int fewest = INT32_MAX;
        for (const TSweepStart& s : plan_.Starts) fewest = std::min(fewest, s.*count);
        return fewest;
    }

    void ReadVary(const toml::node& n)
    {
        const toml::table* t = n.as_table();
        if (!t) Fail(n.source(), "vary must be a table of parameters");
        for (auto [key, node] : InFileOrder(*t)) {
            const std::string name(key->str());
            if (name == "species") ReadNumbered(*node, "species", Fewest(&TSweepStart::SpeciesCount));
            else if (name == "disturbance") ReadNumbered(*node, "disturbance", Fewest(&TSweepStart::DisturbanceCount));
            else if (name == "landscape") ReadLandscapeVary(*node);
            else {
                const TParameter* p = FindParameter(name, false);
                if (!p) Fail(key->source(), "no global parameter is called \"" + name + "\"");
                AddVaried(TVaried{p, -1, -1, false, name, {}}, *node);
            }
        }
    }

    // [vary.species.3] or [vary.disturbance.1]: fields of one species or definition.
    void ReadNumbered(const toml::node& n, const std::string& what, int count)
    {
        const bool species = what == "species";
        const toml::table* t = n.as_table();
        if (!t) Fail(n.source(), what + " must be a table of " + what + " numbers, e.g. [vary." + what + (species ? ".3]" : ".1]"));
        for (auto [key, node] : InFileOrder(*t)) {
            const std::string number(key->str());
            int i = 0;
            if (!ParseInt(number, i) || i < 1 || i > count || number != std::to_string(i)) {
                if (species) Fail(key->source(), Format("species \"%s\" does not exist: the pool has species 1..%d", {number, count}));
                if (count == 0) Fail(key->source(), "disturbance \"" + number + "\" does not exist: there are no disturbance definitions");
                Fail(key->source(), Format("disturbance \"%s\" does not exist: the definitions are 1..%d", {number, count}));
            }
            const toml::table* fields = node->as_table();
            if (!fields) Fail(node->source(), what + " " + number + " must be a table of " + what + " fields");
            for (auto [field, values] : InFileOrder(*fields)) {
                const std::string name(field->str());
                const TParameter* p = species ? FindParameter(name, true) : FindDisturbanceField(name);
                if (!p) Fail(field->source(), "no " + what + " field is called \"" + name + "\"");
                TVaried v{p, species ? i - 1 : -1, species ? -1 : i - 1, false, what + number + "." + name, {}};
                AddVaried(std::move(v), *values);
            }
        }
    }

    void ReadLandscapeVary(const toml::node& n)
    {
        const toml::table* t = n.as_table();
        if (!t) Fail(n.source(), "landscape must be a table of landscape parameters, e.g. [vary.landscape]");
        for (auto [key, node] : InFileOrder(*t)) {
            const std::string name(key->str());
            const TParameter* p = FindLandscapeParameter(name);
            if (!p) Fail(key->source(), "no landscape parameter is called \"" + name + "\" (HighCapacity, LowCapacity, HighCapacityProb)");
            for (const TSweepStart& s : plan_.Starts)
                if (s.Scenario.Landscape.Kind == TLandscapeKind::Cells)
                    Fail(key->source(), "scenario \"" + s.Label + "\" gives its landscape cell by cell: landscape." + name + " would change nothing");
            AddVaried(TVaried{p, -1, -1, true, "landscape." + name, {}}, *node);
        }
    }

    void AddVaried(TVaried v, const toml::node& n)
    {
        for (const TVaried& other : plan_.Varied)
            if (other.Column == v.Column) Fail(n.source(), v.Column + " is varied twice");
        const TParameter& p = *v.Parameter;
        if (const toml::table* range = n.as_table()) v.Values = RangeValues(p, *range);
        else if (const toml::array* list = n.as_array()) {
            for (const toml::node& e : *list) v.Values.push_back(Value(p, e));
        } else Fail(n.source(), v.Column + " must be a list [a, b, ...] or a range { from = a, to = b, step = c }");
        if (v.Values.empty()) Fail(n.source(), v.Column + " has no values");
        if (static_cast<long long>(v.Values.size()) > MaxValues) Fail(n.source(), Format("%s has more than %d values", {v.Column, MaxValues}));
        for (const double value : v.Values) CheckRange(p, value, n);
        plan_.Varied.push_back(std::move(v));
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

    TSweepPlan& plan_;
    std::string startKey_;
    const toml::node* gridNode_ = nullptr;
    long long replicates_ = 0, firstSeed_ = 1;
};

} // namespace

TSweepPlan ParseSweepPlan(const std::string& text, const std::string& path)
{
    TSweepPlan plan;
    plan.Path = path;
    plan.Text = text;
    TPlanReader(plan).Read(ParseToml(plan.Text, path));
    return plan;
}

TSweepPlan LoadSweepPlan(const std::string& path) { return ParseSweepPlan(ReadTextFile(path, "plan"), path); }

long long RunCount(const TSweepPlan& plan)
{
    long long runs = static_cast<long long>(plan.Seeds.size() * plan.Starts.size());
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
    run.Start = static_cast<int>(rest);
    return run;
}

TScenario RunScenario(const TSweepPlan& plan, const TSweepRun& run)
{
    TScenario s = plan.Starts[static_cast<size_t>(run.Start)].Scenario;
    TLandscapeSpec& l = s.Landscape;
    for (size_t i = 0; i < plan.Varied.size(); ++i) {
        const TVaried& v = plan.Varied[i];
        const double value = run.Values[i];
        if (v.Landscape) SetLandscapeParameter(l, v.Parameter->Name, value);
        else if (v.Disturbance >= 0 && s.Disturbances)
            SetScenarioDisturbanceField(s, static_cast<size_t>(v.Disturbance), *v.Parameter, value);
    }
    return s;
}

void ApplyRunValues(const TSweepPlan& plan, const TSweepRun& run, Model& m)
{
    const bool ownDisturbances = plan.Starts[static_cast<size_t>(run.Start)].Scenario.Disturbances.has_value();
    std::vector<std::vector<TFieldValue>> disturbances(m.Disturbances.size());
    for (size_t i = 0; i < plan.Varied.size(); ++i) {
        const TVaried& v = plan.Varied[i];
        if (v.Landscape) continue;
        if (v.Disturbance >= 0) {
            if (!ownDisturbances) disturbances.at(static_cast<size_t>(v.Disturbance)).push_back({v.Parameter, run.Values[i]});
            continue;
        }
        v.Parameter->Set(m, v.Species, run.Values[i]);
    }
    for (size_t d = 0; d < disturbances.size(); ++d)
        if (!disturbances[d].empty()) SetDisturbanceFields(m, d, disturbances[d]);
}

} // namespace marovi::cli
