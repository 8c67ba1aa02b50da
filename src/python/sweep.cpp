// marovi.sweep: a plan from a file or a dict, run by the runner's own sweep into its table,
// which comes back as columns.
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "interrupt.h"
#include "provenance.h"
#include "py_common.h"
#include "runner.h"
#include "simulation.h"
#include "sweep_plan.h"
#include "sweep_run.h"
#include "util/format.h"

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

// A column of the table as the type all its fields have: integers, reals, TRUE/FALSE, or text.
py::array Column(const std::vector<std::string>& fields)
{
    auto all = [&](auto parse) {
        return std::all_of(fields.begin(), fields.end(), [&](const std::string& f) { return parse(f); });
    };
    auto whole = [](const std::string& f) {
        char* end = nullptr;
        errno = 0;
        std::strtoll(f.c_str(), &end, 10);
        return !f.empty() && *end == '\0' && errno == 0;
    };
    auto real = [](const std::string& f) {
        double v = 0;
        return ParseReal(f, v);
    };
    auto logical = [](const std::string& f) { return f == "TRUE" || f == "FALSE"; };
    std::vector<int64_t> ints;
    std::vector<double> reals;
    std::vector<bool> flags;
    if (all(whole)) {
        for (const std::string& f : fields) ints.push_back(std::strtoll(f.c_str(), nullptr, 10));
        return ToArray(ints);
    }
    if (all(real)) {
        for (const std::string& f : fields) ParseReal(f, reals.emplace_back());
        return ToArray(reals);
    }
    if (all(logical)) {
        py::array_t<bool> a(static_cast<py::ssize_t>(fields.size()));
        for (size_t i = 0; i < fields.size(); ++i) a.mutable_data()[i] = fields[i] == "TRUE";
        return a;
    }
    return py::array(py::cast(fields));
}

// The CSV table written by the sweep: header, then rows of plain fields.
py::dict ReadTable(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::vector<std::string> names;
    std::vector<std::vector<std::string>> columns;
    auto split = [](std::string text) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::vector<std::string> fields;
        std::istringstream s(text);
        for (std::string f; std::getline(s, f, ',');) fields.push_back(f);
        return fields;
    };
    if (std::getline(in, line)) names = split(line);
    columns.resize(names.size());
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = split(line);
        if (fields.size() != names.size()) throw Error(path + ": a row has another number of fields than the header");
        for (size_t i = 0; i < fields.size(); ++i) columns[i].push_back(fields[i]);
    }
    py::dict table;
    for (size_t i = 0; i < names.size(); ++i) table[py::str(names[i])] = Column(columns[i]);
    return table;
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
    std::optional<cli::TTempDir> temp;
    if (!out) out = (fs::path(temp.emplace().Path()) / "sweep.csv").string();
    TInterruptWatch watch;
    try {
        py::gil_scoped_release release;
        cli::RunSweep(plan, {*out, 1, 1, jobs.value_or(0), quiet}, watch.Requested());
    } catch (const Error&) {
        watch.Check();
        throw;
    }
    return Table(ReadTable(*out));
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
The rows are those of marovi-cli for the same plan: one per run and recorded step, with
run, seed, the varied parameters, step, species1.., diversity, guild_diversity,
disturbance_events, disturbed_cells and extinction1... Without `out` the table lives in a
temporary file; with it the table stays there, and the same call after an interruption
(Ctrl-C raises KeyboardInterrupt) runs only the runs it lacks. jobs: runs side by side
(default: the processors this process may use); quiet=False shows the progress line on a
terminal.)");
}

} // namespace marovi::python
