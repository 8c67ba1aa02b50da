// marovi.sweep: a plan from a file or a dict, run by the runner's own sweep into its table,
// which comes back as columns.
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>

#include "interrupt.h"
#include "provenance.h"
#include "py_common.h"
#include "runner.h"
#include "simulation.h"
#include "sweep_plan.h"
#include "sweep_run.h"
#include "sweep_table.h"
#include "toml_checks.h"
#include "util/format.h"
#include "util/version.h"

namespace fs = std::filesystem;

namespace marovi::python {
namespace {

constexpr const char* DictPlanName = "plan";

// A value of a plan dict as TOML: tables and arrays inline, so that every top-level key
// keeps its own line and the dict's order.
std::string TomlValue(py::handle v, const std::string& key)
{
    if (py::isinstance<py::bool_>(v) || py::isinstance(v, py::module_::import("numpy").attr("bool_"))) return v.cast<bool>() ? "true" : "false";
    if (py::isinstance<py::str>(v)) return cli::TomlString(v.cast<std::string>());
    if (PyIndex_Check(v.ptr())) return py::str(py::int_(py::reinterpret_borrow<py::object>(v))).cast<std::string>();
    if (py::isinstance<py::float_>(v)) return py::repr(py::float_(py::reinterpret_borrow<py::object>(v))).cast<std::string>();
    std::string text;
    if (py::isinstance<py::dict>(v)) {
        for (auto item : v.cast<py::dict>())
            text += (text.empty() ? "" : ", ") + cli::TomlString(py::str(item.first).cast<std::string>()) + " = " +
                    TomlValue(item.second, key);
        return "{ " + text + " }";
    }
    if (py::hasattr(v, "__iter__")) {
        for (auto e : v) text += (text.empty() ? "" : ", ") + TomlValue(e, key);
        return "[" + text + "]";
    }
    throw Error(std::string(DictPlanName) + "[\"" + key + "\"]: " + py::repr(v).cast<std::string>() +
                " has no place in a plan");
}

// The plan's text, and the top-level key of each line.
std::string PlanText(const py::dict& plan, std::vector<std::string>& keys)
{
    std::string text;
    for (auto item : plan) {
        const std::string key = py::str(item.first).cast<std::string>();
        text += cli::TomlString(key) + " = " + TomlValue(item.second, key) + "\n";
        keys.push_back(key);
    }
    return text;
}

// "plan:3: message" of the reader as "plan["vary"]: message".
Error NamedByKey(const Error& e, const std::vector<std::string>& keys)
{
    const std::string message = e.what(), prefix = std::string(DictPlanName) + ":";
    int line = 0;
    const size_t colon = message.find(": ", prefix.size());
    if (message.rfind(prefix, 0) != 0 || colon == std::string::npos ||
        !ParseInt(message.substr(prefix.size(), colon - prefix.size()), line) || line < 1 ||
        line > static_cast<int>(keys.size()))
        return e;
    return Error(std::string(DictPlanName) + "[\"" + keys[static_cast<size_t>(line - 1)] + "\"]" + message.substr(colon));
}

cli::TSweepPlan ReadPlan(const py::object& plan)
{
    if (py::isinstance<py::dict>(plan)) {
        std::vector<std::string> keys;
        const std::string text = PlanText(plan.cast<py::dict>(), keys);
        try {
            return cli::ParseSweepPlan(text, DictPlanName);
        } catch (const Error& e) {
            throw NamedByKey(e, keys);
        }
    }
    const std::string path = py::str(py::module_::import("os").attr("fspath")(plan)).cast<std::string>();
    std::error_code ec;
    if (!std::ifstream(path) || fs::is_directory(path, ec)) throw TFileError("can not read the plan " + path);
    return cli::LoadSweepPlan(path);
}

// A column of the table typed as pandas.read_csv types it: whole numbers (int64), numbers
// (float64), TRUE/FALSE (bool), else text (str). An empty field is missing (NaN): whole
// numbers with one become float64, switches and text objects.
py::array Column(const std::vector<std::string>& fields)
{
    bool missing = false;
    auto all = [&](auto parse) {
        return std::all_of(fields.begin(), fields.end(), [&](const std::string& f) { return f.empty() || parse(f); });
    };
    auto whole = [](const std::string& f) {
        int64_t v = 0;
        const auto r = std::from_chars(f.data(), f.data() + f.size(), v);
        return r.ec == std::errc() && r.ptr == f.data() + f.size();
    };
    auto real = [](const std::string& f) {
        double v = 0;
        return ParseReal(f, v);
    };
    auto logical = [](const std::string& f) { return f == "TRUE" || f == "FALSE"; };
    for (const std::string& f : fields) missing |= f.empty();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    if (all(whole) && !missing) {
        std::vector<int64_t> ints;
        for (const std::string& f : fields) std::from_chars(f.data(), f.data() + f.size(), ints.emplace_back());
        return ToArray(ints);
    }
    if (all(real)) {
        std::vector<double> reals;
        for (const std::string& f : fields) {
            reals.push_back(nan);
            if (!f.empty()) ParseReal(f, reals.back());
        }
        return ToArray(reals);
    }
    const bool switches = all(logical);
    if (switches && !missing) {
        py::array_t<bool> a(static_cast<py::ssize_t>(fields.size()));
        for (size_t i = 0; i < fields.size(); ++i) a.mutable_data()[i] = fields[i] == "TRUE";
        return a;
    }
    py::list values;
    for (const std::string& f : fields) {
        if (f.empty()) values.append(nan);
        else if (switches) values.append(f == "TRUE");
        else values.append(py::str(f));
    }
    return py::module_::import("numpy").attr("array")(values, py::arg("dtype") = "object");
}

// The table the sweep wrote: a header record, then one record per run and recorded step.
py::dict ReadTable(const std::string& path)
{
    const std::vector<std::vector<std::string>> records = cli::CsvRecords(cli::ReadTextFile(path, "table"));
    if (records.empty()) throw Error(path + ": no header line");
    const std::vector<std::string>& names = records.front();
    std::vector<std::vector<std::string>> columns(names.size());
    for (size_t r = 1; r < records.size(); ++r) {
        if (records[r].size() != names.size()) throw Error(path + ": a row has another number of fields than the header");
        for (size_t i = 0; i < names.size(); ++i) columns[i].push_back(records[r][i]);
    }
    py::dict table;
    for (size_t i = 0; i < names.size(); ++i) table[py::str(names[i])] = Column(columns[i]);
    return table;
}

// The module and the call, as the provenance files record what ran.
cli::TOrigin SweepOrigin(const py::object& plan, const std::optional<std::string>& out, std::optional<int> jobs)
{
    const py::object os = py::module_::import("os");
    std::string call = py::repr(py::isinstance<py::dict>(plan) ? plan : os.attr("fspath")(plan)).cast<std::string>();
    if (out) call += ", out=" + py::repr(py::str(*out)).cast<std::string>();
    if (jobs) call += Format(", jobs=%d", {*jobs});
    return {std::string("marovi ") + ProgramVersionText + " (Python module), core " + CoreVersionText, "marovi.sweep(" + call + ")"};
}

py::object Sweep(const py::object& planObject, const std::optional<fs::path>& outPath, std::optional<int> jobs, bool quiet)
{
    std::optional<std::string> out;
    if (outPath) out = outPath->string();
    if (jobs && *jobs < 1) throw Error("jobs must be at least 1");
    if (out) {
        try {
            cli::CheckWritable(*out);
        } catch (const Error& e) {
            throw TFileError(e.what());
        }
    }
    const cli::TSweepPlan plan = ReadPlan(planObject);
    if (!out && !plan.KeepGrids.empty()) throw Error("keep_grids needs out: the grid files are kept beside the table");
    cli::TSweepSettings settings{out.value_or(""), 1, 1, jobs.value_or(0), quiet, SweepOrigin(planObject, out, jobs)};
    std::optional<cli::TTempDir> temp;
    if (!out) settings.Out = (fs::path(temp.emplace().Path()) / "sweep.csv").string();
    TInterruptWatch watch;
    try {
        py::gil_scoped_release release;
        cli::RunSweep(plan, settings, watch.Requested());
    } catch (const Error&) {
        watch.Check();
        throw;
    }
    return Table(ReadTable(settings.Out));
}

} // namespace

void BindSweep(py::module_& m)
{
    m.def("sweep", &Sweep, py::arg("plan"), py::arg("out") = py::none(), py::arg("jobs") = py::none(),
          py::arg("quiet") = true, R"(Run a parameter sweep as `marovi-cli sweep PLAN --out OUT` does and return its
tidy table: a pandas DataFrame when pandas is installed, else a dict of numpy arrays.

plan: a plan file (.toml) or the same structure as a dict, e.g.
    {"grid": "50x50", "steps": 100, "every": 10, "seeds": [1, 2, 3],
     "vary": {"DispersalKernel": ["exponential", "uniform"],
              "species": {1: {"Fecundity": [2.0, 20.0]}}}}
or, over scenario files (relative paths in a dict start from the current directory):
    {"scenario": ["none.toml", "frequent.toml"], "steps": 300, "every": 10,
     "replicates": 6, "to_horizon": True,
     "vary": {"disturbance": {1: {"Severity": [0.5, 1.0]}},
              "landscape": {"HighCapacityProb": [0.3, 0.7]}}}
Its keys: grid, or file / scenario (one, or a list: each a start of its own); steps,
every; seeds, or replicates with first_seed; to_horizon (runs go on when the diversity
falls to 0); diversity, hill_order; keep_grids (needs out); vary: global parameters,
species (by number), disturbance (by number) and landscape (HighCapacity, LowCapacity,
HighCapacityProb), each a list of values or {"from": a, "to": b, "step": c}.

The rows are those of marovi-cli for the same plan: one per run and recorded step, with
the columns run, seed, scenario or file (the start, when the plan lists several), one per
varied parameter (DispersalKernel, species1.Fecundity, disturbance1.Severity,
landscape.HighCapacityProb), step, species1..N (abundances), diversity, guild_diversity,
disturbance_events, disturbed_cells, extinction1..N (the step a species died out, 0 for
never), end_step (the step the run ended at) and end_reason ("steps", "diversity_zero" or
"termination"). Columns are typed as pandas.read_csv types them: whole numbers, numbers,
switches as bool, names as str; the species columns that a start's smaller pool lacks
are missing (NaN, which makes them float). Without `out` the table lives in a temporary
file; with it the table stays there with its provenance file, and the same call after an
interruption (Ctrl-C raises KeyboardInterrupt) runs only the runs it lacks. jobs: runs
side by side (default: the processors this process may use); quiet=False shows the
progress line on a terminal.)");
}

} // namespace marovi::python
