// The analyses as functions: indices on count arrays, and on a simulation the cluster
// labelling, succession states, rank lists, the disturbance-age table, histograms and
// transects, as marovi-cli computes them.
#include <pybind11/stl.h>

#include <cmath>
#include <optional>
#include <set>

#include "analysis/cluster_analysis.h"
#include "analysis/histogram.h"
#include "analysis/indices.h"
#include "analysis/rank_list.h"
#include "analysis/states.h"
#include "analysis/succession.h"
#include "analysis/transect.h"
#include "analysis_common.h"
#include "cell_map.h"
#include "simulation.h"
#include "util/format.h"

namespace marovi::python {
namespace {

using TCorners = std::optional<std::vector<int>>;

std::string Text(py::handle value) { return py::repr(value).cast<std::string>(); }

// Whole numbers of any integer dtype, C-ordered, as int64.
py::array_t<int64_t> WholeNumbers(const py::object& values, const std::string& what)
{
    const py::array a = py::array::ensure(values);
    if (!a || (a.dtype().kind() != 'i' && a.dtype().kind() != 'u' && a.dtype().kind() != 'b'))
        throw Error(what + " must be whole numbers (an integer array or list)");
    return py::array_t<int64_t, py::array::c_style | py::array::forcecast>::ensure(a);
}

std::vector<int> IntVector(const py::array_t<int64_t>& a, const std::string& what)
{
    std::vector<int> v;
    for (py::ssize_t i = 0; i < a.size(); ++i) {
        const int64_t x = a.data()[i];
        if (x < INT32_MIN || x > INT32_MAX) throw Error(what + Format(": %d is too large", {static_cast<long long>(x)}));
        v.push_back(static_cast<int>(x));
    }
    return v;
}

const TDiversityEntry& DiversityMeasure(const std::string& name)
{
    const TDiversityEntry* measure = cli::FindDiversityMeasure(name);
    if (!measure) throw Error("unknown diversity measure " + name);
    return *measure;
}

py::object Diversity(const py::object& counts, const std::string& measureName, const py::object& guilds, double order)
{
    const TDiversityEntry& measure = DiversityMeasure(measureName);
    const py::array_t<int64_t> c = WholeNumbers(counts, "counts");
    if (c.ndim() == 0) throw Error("counts must have the species along their first axis");
    const size_t species = static_cast<size_t>(c.shape(0));
    if (species > static_cast<size_t>(MaxSpecies)) throw Error("counts: at most 51 counts");
    std::vector<int> g;
    if (!guilds.is_none()) {
        g = IntVector(WholeNumbers(guilds, "guilds"), "guilds");
        if (g.size() != species) throw Error(Format("guilds: expected %d guilds, one per count", {static_cast<long long>(species)}));
    }
    const Model m = cli::CountsModel(species, g, order, "guilds");
    const size_t columns = species == 0 ? 0 : static_cast<size_t>(c.size()) / species;
    std::vector<double> result(columns);
    const int64_t* data = c.data();
    for (size_t k = 0; k < columns; ++k) {
        TSpeciesCounts v{};
        for (size_t s = 0; s < species; ++s) {
            const int64_t n = data[s * columns + k];
            if (n < 0) throw Error("counts: counts must not be negative");
            if (n > INT32_MAX) throw Error("counts: a count above 2147483647");
            v[s] = static_cast<int32_t>(n);
        }
        result[k] = measure.Func(m, v);
    }
    if (c.ndim() == 1) return py::float_(species == 0 ? measure.Func(m, TSpeciesCounts{}) : result[0]);
    std::vector<py::ssize_t> shape(c.shape() + 1, c.shape() + c.ndim());
    py::array_t<double> out(shape);
    std::copy(result.begin(), result.end(), out.mutable_data());
    return out;
}

double Similarity(const py::object& a, const py::object& b, const std::string& measureName)
{
    const TSimilarityEntry* measure = cli::FindSimilarityMeasure(measureName);
    if (!measure) throw Error("unknown similarity measure " + measureName);
    const std::vector<int> va = IntVector(WholeNumbers(a, "a"), "a"), vb = IntVector(WholeNumbers(b, "b"), "b");
    const TSpeciesCounts ca = cli::ToCounts(va, "a"), cb = cli::ToCounts(vb, "b");
    const Model m = cli::CountsModel(std::max(va.size(), vb.size()), {}, 1.0, "");
    return measure->Func(m, ca, cb);
}

cli::TWindow Window(const Model& m, const TCorners& corners)
{
    if (!corners) return {0, 0, m.XMax, m.YMax};
    std::string text;
    for (int v : *corners) text += (text.empty() ? "" : ", ") + std::to_string(v);
    return cli::WindowOf(m, *corners, "window (" + text + ")");
}

py::array_t<int32_t> States(TSimulation& s)
{
    auto lock = Use(s);
    const Model& m = s.M();
    return CellMap<int32_t>(m, [&](int x, int y) { return CellState(m, x, y); });
}

// Columns species1..speciesN of per-species counts, one value per row.
template <class Rows, class Counts>
void SpeciesColumns(py::dict& table, const Model& m, const Rows& rows, Counts counts)
{
    for (int s = 0; s <= m.SpeciesMax; ++s) {
        std::vector<int32_t> column;
        for (const auto& row : rows) column.push_back(counts(row)[static_cast<size_t>(s)]);
        table[py::str(Format("species%d", {s + 1}))] = ToArray(column);
    }
}

template <class Rows, class F>
auto Column(const Rows& rows, F value)
{
    std::vector<decltype(value(rows.front()))> column;
    for (const auto& row : rows) column.push_back(value(row));
    return ToArray(column);
}

int ClusterState(const py::object& state)
{
    if (py::isinstance<py::str>(state)) {
        for (int k = 0; k <= 4; ++k)
            if (state.cast<std::string>() == StateName(k)) return k;
    } else if (py::isinstance<py::int_>(state) && state.cast<long long>() >= 0 && state.cast<long long>() <= 4) {
        return state.cast<int>();
    }
    throw Error("state " + Text(state) + ": expected 0..4 or a state name (unknown, R0, R1, R2, UD)");
}

int WholeCount(double v, const char* what)
{
    if (v != std::trunc(v) || v < INT32_MIN || v > INT32_MAX)
        throw Error(std::string(what) + ": the species mode counts individuals, give a whole number");
    return static_cast<int>(v);
}

// The keyword option `key` as a T, or `fallback` when it is not given.
template <class T>
T Option(const py::kwargs& kw, const char* key, T fallback, const char* expected)
{
    if (!kw.contains(key) || kw[key].is_none()) return fallback;
    try {
        return kw[key].cast<T>();
    } catch (const py::cast_error&) {
        throw Error(std::string(key) + " " + Text(kw[key]) + ": expected " + expected);
    }
}

TClusterRequest ClusterRequest(const Model& m, const py::kwargs& kw)
{
    static const std::set<std::string> known = {"mode", "species", "state", "larvae", "min", "max",
                                                "age", "window", "close", "orphans", "periodic"};
    for (auto item : kw)
        if (!known.count(item.first.cast<std::string>()))
            throw Error("clusters() has no option " + item.first.cast<std::string>());
    TClusterRequest r = DefaultClusterRequest(m);
    r.Mode = cli::ParseClusterMode(Option<std::string>(kw, "mode", "states", "a text"), "mode");
    r.Larvae = Option(kw, "larvae", false, "True or False");
    r.Close = Option(kw, "close", true, "True or False");
    r.NoOrphans = !Option(kw, "orphans", false, "True or False");
    r.Periodic = Option(kw, "periodic", false, "True or False");
    if (r.Periodic && !m.Torus) throw Error("periodic: the grid does not wrap around");
    const py::object species = Option<py::object>(kw, "species", py::int_(1), "");
    if (py::isinstance<py::str>(species) && species.cast<std::string>() == "any") r.Species = m.SpeciesMax + 1;
    else if (!py::isinstance<py::int_>(species)) throw Error("species " + Text(species) + ": expected a number or \"any\"");
    else r.Species = cli::ParseSpecies(m, species.cast<int>(), "species");
    r.State = ClusterState(Option<py::object>(kw, "state", py::int_(0), ""));
    const auto lo = Option<std::optional<double>>(kw, "min", std::nullopt, "a number");
    const auto hi = Option<std::optional<double>>(kw, "max", std::nullopt, "a number");
    switch (r.Mode) {
    case TClusterMode::Species:
        if (lo) r.MinCount = WholeCount(*lo, "min");
        if (hi) r.MaxCount = WholeCount(*hi, "max");
        break;
    case TClusterMode::Diversity:
        if (lo) r.DiversityLo = *lo;
        if (hi) r.DiversityHi = *hi;
        break;
    case TClusterMode::Area:
        if (lo) r.AreaLo = *lo;
        if (hi) r.AreaHi = *hi;
        break;
    case TClusterMode::States:
        if (lo || hi) throw Error("min and max do not apply to the states mode");
        break;
    }
    if (const auto age = Option<std::optional<std::pair<int, int>>>(kw, "age", std::nullopt, "(min, max)")) {
        r.AgeRestricted = true;
        r.MinAge = age->first;
        r.MaxAge = age->second;
    }
    const cli::TWindow w = Window(m, Option<TCorners>(kw, "window", std::nullopt, "(x1, y1, x2, y2)"));
    r.X1 = w.X1;
    r.Y1 = w.Y1;
    r.X2 = w.X2;
    r.Y2 = w.Y2;
    return r;
}

py::object Clusters(TSimulation& s, const py::kwargs& kw)
{
    auto lock = Use(s);
    const Model& m = s.M();
    const TClusterRequest request = ClusterRequest(m, kw);
    TClusterAnalysis a;
    {
        py::gil_scoped_release release;
        a = RunClusterAnalysis(m, request);
    }
    py::array_t<int32_t> labels({static_cast<py::ssize_t>(a.Labels.H), static_cast<py::ssize_t>(a.Labels.W)});
    int32_t* out = labels.mutable_data();
    for (int i = 0; i < a.Labels.W; ++i)
        for (int j = 0; j < a.Labels.H; ++j) out[static_cast<size_t>(j) * static_cast<size_t>(a.Labels.W) + static_cast<size_t>(i)] = a.Labels(i, j);

    const std::vector<TClusterRecord>& rows = a.Clusters;
    const TClusterRequest& r = a.Request;
    py::dict table;
    std::vector<int32_t> label;
    for (size_t k = 0; k < rows.size(); ++k) label.push_back(static_cast<int32_t>(k + 1));
    table["label"] = ToArray(label);
    table["cells"] = Column(rows, [](const TClusterRecord& c) { return c.CellCount; });
    table["min_x"] = Column(rows, [&](const TClusterRecord& c) { return r.X1 + c.MinX; });
    table["min_y"] = Column(rows, [&](const TClusterRecord& c) { return r.Y1 + c.MinY; });
    table["max_x"] = Column(rows, [&](const TClusterRecord& c) { return r.X1 + c.MaxX; });
    table["max_y"] = Column(rows, [&](const TClusterRecord& c) { return r.Y1 + c.MaxY; });
    table["diversity"] = Column(rows, [&](const TClusterRecord& c) { return m.DiversityFunc(m, c.SpeciesCounts); });
    SpeciesColumns(table, m, rows, [](const TClusterRecord& c) { return c.SpeciesCounts; });
    table["inertia"] = Column(rows, [](const TClusterRecord& c) { return c.Inertia; });
    table["semi_major"] = Column(rows, [](const TClusterRecord& c) { return c.SemiMajor; });
    table["semi_minor"] = Column(rows, [](const TClusterRecord& c) { return c.SemiMinor; });
    table["eccentricity"] = Column(rows, [](const TClusterRecord& c) { return c.Eccentricity; });
    table["mean_squared_radius"] = Column(rows, [](const TClusterRecord& c) { return c.MeanSquaredRadius; });

    py::dict result;
    result["labels"] = labels;
    result["clusters"] = Table(table);
    result["report"] = ClusterReport(m, a);
    result["count"] = a.ClusterCount;
    result["ca"] = ClusterCA(m, r);
    result["title"] = a.Title;
    result["window"] = std::vector<int>{r.X1, r.Y1, r.X2, r.Y2};
    return Namespace(result);
}

// Runs f with the simulation's generator seeded, and gives the generator its state back.
template <class F>
auto WithSeed(Model& m, int32_t seed, F f)
{
    const TRandom kept = m.Random;
    m.Random.SeedRandom(seed);
    try {
        auto result = f();
        m.Random = kept;
        return result;
    } catch (...) {
        m.Random = kept;
        throw;
    }
}

py::object Rank(TSimulation& s, const py::object& areas, int random, std::optional<int32_t> seed, bool disturbances,
                bool relative, bool cumulative)
{
    auto lock = Use(s);
    Model& m = s.M();
    if (random < 0) throw Error("random must not be negative");
    if (random > 0 && !seed) throw Error("random needs seed");
    std::vector<tSampleAreaDef> list;
    if (!areas.is_none())
        for (auto item : areas.cast<py::dict>()) {
            const auto c = item.second.cast<std::vector<int>>();
            if (c.size() != 4) throw Error("area " + Text(item.first) + ": expected x1, y1, x2, y2");
            AddSampleArea(m, list, item.first.cast<std::string>(), c[0], c[1], c[2], c[3]);
        }
    if (disturbances) AddDisturbanceSampleAreas(m, list);
    if (random > 0)
        WithSeed(m, *seed, [&] {
            for (int i = 0; i < random; ++i) AddRandomSampleArea(m, list);
            return 0;
        });
    if (list.empty()) AddSampleArea(m, list, "test", 0, 0, m.XMax, m.YMax);

    std::vector<std::string> name, species;
    std::vector<int32_t> x1, y1, x2, y2, total, rank, count;
    std::vector<double> value;
    for (tSampleAreaDef& a : list) {
        CalcRankList(m, a);
        const std::vector<double> values = RankPlotValues(m, a, relative, cumulative);
        for (int k = 0; k <= m.SpeciesMax; ++k) {
            name.push_back(a.name);
            x1.push_back(a.x1);
            y1.push_back(a.y1);
            x2.push_back(a.x2);
            y2.push_back(a.y2);
            total.push_back(a.total);
            rank.push_back(k + 1);
            species.push_back(a.abundance[static_cast<size_t>(k)].Name);
            count.push_back(a.abundance[static_cast<size_t>(k)].Count);
            value.push_back(values[static_cast<size_t>(k)]);
        }
    }
    py::dict t;
    t["area"] = py::array(py::cast(name));
    t["x1"] = ToArray(x1);
    t["y1"] = ToArray(y1);
    t["x2"] = ToArray(x2);
    t["y2"] = ToArray(y2);
    t["total"] = ToArray(total);
    t["rank"] = ToArray(rank);
    t["species"] = py::array(py::cast(species));
    t["count"] = ToArray(count);
    t["value"] = ToArray(value);
    return Table(t);
}

py::object Succession(TSimulation& s, int minAge, int maxAge, int step, const TCorners& window)
{
    auto lock = Use(s);
    const Model& m = s.M();
    TSuccessionRequest r;
    r.MinAge = minAge;
    r.MaxAge = maxAge;
    r.Step = step;
    const cli::TWindow w = Window(m, window);
    r.X1 = w.X1;
    r.Y1 = w.Y1;
    r.X2 = w.X2;
    r.Y2 = w.Y2;
    std::vector<TSuccessionRecord> rows = RunSuccession(m, r);
    rows.pop_back(); // the sums
    py::dict t;
    t["age"] = Column(rows, [](const TSuccessionRecord& x) { return x.midAge; });
    t["cells"] = Column(rows, [](const TSuccessionRecord& x) { return x.nCells; });
    t["individuals"] = Column(rows, [](const TSuccessionRecord& x) { return x.nIndividuals; });
    SpeciesColumns(t, m, rows, [](const TSuccessionRecord& x) { return x.counts; });
    return Table(t);
}

py::object Histogram(TSimulation& s, int species, std::optional<int> maxAge, int slots, bool size, const TCorners& window)
{
    auto lock = Use(s);
    const Model& m = s.M();
    THistogramRequest r;
    r.Species = cli::ParseSpecies(m, species, "species");
    r.Slots = slots;
    r.Size = size;
    if (maxAge) r.MaxAge = *maxAge;
    else if (std::optional<int> proposed = DefaultHistogramMaxAge(m, r.Species)) r.MaxAge = *proposed;
    else throw Error(Format("species %d has no positive death probability: give max_age", {species}));
    const cli::TWindow w = Window(m, window);
    r.X0 = std::min(w.X1, w.X2);
    r.X1 = std::max(w.X1, w.X2);
    r.Y0 = std::min(w.Y1, w.Y2);
    r.Y1 = std::max(w.Y1, w.Y2);
    r.Region = window.has_value();
    const THistogram h = ComputeHistogram(m, r);
    py::dict d;
    d["bins"] = ToArray(std::vector<int32_t>(h.Bins.begin(), h.Bins.end()));
    d["labels"] = h.BarLabels;
    d["overflow"] = h.Overflow;
    d["average"] = h.Average;
    d["cumulative"] = ToArray(h.Cumulative);
    d["max_age"] = r.MaxAge;
    d["lines"] = HistogramListLines(m, r, h);
    d["summary"] = h.Summary;
    return Namespace(d);
}

py::object Transect(TSimulation& s, std::optional<int> walk, std::optional<std::pair<int, int>> start,
                    std::vector<double> p, std::optional<int32_t> seed, TCorners line)
{
    auto lock = Use(s);
    Model& m = s.M();
    if (walk.has_value() == line.has_value()) throw Error("give either walk (a length) or line (x0, y0, x1, y1)");
    TRovTransect t;
    if (walk) {
        if (!seed) throw Error("walk needs seed");
        if (*walk < 0) throw Error("walk: the length must not be negative");
        if (p.size() != 4) throw Error("p: expected up, down, left, right");
        TRandomWalk rw;
        rw.Length = *walk;
        if (start) {
            rw.RandomStart = false;
            rw.X = start->first;
            rw.Y = start->second;
        }
        rw.PUp = p[0];
        rw.PDown = p[1];
        rw.PLeft = p[2];
        rw.PRight = p[3];
        t = WithSeed(m, *seed, [&] { return BuildRandomTransect(m, rw); });
    } else {
        if (line->size() != 4) throw Error("line: expected x0, y0, x1, y1");
        t = BuildStraightTransect(m, (*line)[0], (*line)[1], (*line)[2], (*line)[3]);
    }
    const std::vector<TRovSample>& rows = t.Samples;
    py::dict d;
    d["x"] = Column(rows, [](const TRovSample& x) { return x.x; });
    d["y"] = Column(rows, [](const TRovSample& x) { return x.y; });
    d["age"] = Column(rows, [](const TRovSample& x) { return x.age; });
    SpeciesColumns(d, m, rows, [](const TRovSample& x) { return x.counts; });
    d["state"] = Column(rows, [](const TRovSample& x) { return x.state; });
    for (int g = 0; g < GuildCount; ++g)
        d[py::str(Format("guild%d", {g}))] = Column(rows, [&](const TRovSample& x) { return x.guildCounts[static_cast<size_t>(g)]; });
    d["beta_species"] = Column(rows, [](const TRovSample& x) { return x.betaSpecies; });
    d["beta_guild"] = Column(rows, [](const TRovSample& x) { return x.betaGuild; });
    return Table(d);
}

} // namespace

void BindAnalyses(py::module_& m)
{
    m.def("diversity", &Diversity, py::arg("counts"), py::arg("measure") = "shannon", py::arg("guilds") = py::none(),
          py::arg("order") = 1.0, R"(A diversity index of counts per species, as `marovi-cli index` computes it.

counts: whole numbers with the species along the first axis (at most 51). A 1-d vector
gives a float; a larger array gives one figure per column, e.g. the map [y, x] of
diversity(sim.abundance()). measure: shannon, simpson, recsimpson, brillouin, mindex0,
mindex, hill0, hill (of `order`) or the catalogue name; guilds: the guild 0..4 of each
species, for the M-indices.)");
    m.def("similarity", &Similarity, py::arg("a"), py::arg("b"), py::arg("measure") = "sorensen",
          R"(A similarity or distance of two count vectors, as `marovi-cli similarity`:
jaccard, sorensen, braycurtis, marczewski or the catalogue name.)");
    m.def("states", &States, py::arg("sim"), R"(The succession state of every cell by the state
definitions of the simulation: an int32 array [y, x] of 0..4, named by STATE_NAMES.)");
    std::vector<std::string> names;
    for (int k = 0; k <= 4; ++k) names.push_back(StateName(k));
    m.attr("STATE_NAMES") = names;
    m.def("clusters", &Clusters, py::arg("sim"), R"(Hoshen-Kopelman cluster labelling of a window, as
`marovi-cli clusters` and the Diversity window do it.

Options (all keywords): mode "species", "states" (default), "diversity" or "area";
species N (from 1, default 1) or "any"; state 0..4 or its name (default 0); larvae (the
last settlement's larvae instead of the adults); min, max (individuals, diversity or size
sum, by mode); age (min, max) of the cells' last disturbance; window (x1, y1, x2, y2);
close (default True); orphans (keep cells without a feature neighbour, default False);
periodic (on a wrap-around grid, patches across the edges count once).

Returns a namespace: labels (int32 [row, column] of the window, row 0 at y1; 0 outside
clusters, else 1..count), clusters (one row per cluster: label, cells, bounding box in grid
coordinates, diversity, individuals per species, shape figures), report (the report's
lines as marovi-cli prints them), count, ca (the CA-homogeneity), title and window.)");
    m.def("rank", &Rank, py::arg("sim"), py::arg("areas") = py::none(), py::arg("random") = 0,
          py::arg("seed") = py::none(), py::arg("disturbances") = false, py::arg("relative") = false,
          py::arg("cumulative") = false, R"(Rank-abundance lists of sample areas, as `marovi-cli rank`.

areas: {name: (x1, y1, x2, y2)} (cut at the grid's edge); disturbances adds the rectangle
of every disturbance definition; random=N adds N random areas "area K" drawn from `seed`
(the simulation's own generator is left as it was). Without any area the whole grid is
"test". Returns one row per area and rank: area, its corners, total, rank, species (name),
count, value (the count, or with relative its share of the total, with cumulative summed).
Only individuals larger than MinSize count.)");
    m.def("succession", &Succession, py::arg("sim"), py::arg("min_age") = 0, py::arg("max_age") = 400,
          py::arg("step") = 10, py::arg("window") = py::none(), R"(The disturbance-age table, as `marovi-cli succession`: the cells of the window
sorted by the time since their last disturbance into intervals of `step` from min_age to
max_age; one row per interval: age (its middle), cells, individuals and species1.. (the
individuals of at least MinSize).)");
    m.def("histogram", &Histogram, py::arg("sim"), py::arg("species") = 1, py::arg("max_age") = py::none(),
          py::arg("slots") = 15, py::arg("size") = false, py::arg("window") = py::none(),
          R"(Age (or, with size, size) histogram of a species, as `marovi-cli histogram`.
max_age defaults to the age at which a tenth of a cohort survives. Returns a namespace:
bins, labels (the bins' upper bounds as shown), overflow, average, cumulative, max_age,
lines (the saved list) and summary.)");
    m.def("transect", &Transect, py::arg("sim"), py::arg("walk") = py::none(), py::arg("start") = py::none(),
          py::arg("p") = std::vector<double>{0.25, 0.25, 0.25, 0.25}, py::arg("seed") = py::none(),
          py::arg("line") = py::none(), R"(A virtual ROV transect, as `marovi-cli transect`: a random walk of `walk`
samples drawn from `seed` (from `start` = (x, y) or a random cell; p = probabilities up,
down, left, right), or a straight `line` = (x0, y0, x1, y1). One row per sample: x, y,
age, species1.., state, guild0..guild4, beta_species, beta_guild.)");
}

} // namespace marovi::python
