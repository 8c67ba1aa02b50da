#include "scenario_file.h"

#include <charconv>
#include <cmath>
#include <filesystem>

#include "analysis/states.h"
#include "files/bmp.h"
#include "files/byte_io.h"
#include "files/cell_matrix.h"
#include "files/disturbance_file.h"
#include "files/flow_grid_file.h"
#include "files/safe_file.h"
#include "files/species_pool_file.h"
#include "files/state_def_file.h"
#include "landscape/flow.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "model/species_pool.h"
#include "provenance.h"
#include "runner.h"
#include "toml_checks.h"
#include "util/error.h"
#include "util/format.h"
#include "util/sha256.h"

namespace fs = std::filesystem;

namespace marovi::cli {
namespace {

constexpr size_t MaxDefinitions = 10000;
constexpr const char* GuildKeys[GuildCount] = {"undefined", "R0", "R1", "R2", "UD"};
constexpr const char* StateKeys[StateCount] = {"R0", "R1", "R2", "UD"};

// Species names are Latin-1 bytes in the record, Unicode text in the scenario.
bool Latin1(const std::string& utf8, std::string& bytes)
{
    bytes.clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) bytes += static_cast<char>(c);
        else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            const unsigned code = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu);
            if (code > 0xFF) return false;
            bytes += static_cast<char>(code);
        } else return false;
    }
    return true;
}

void AddInput(TScenario& s, const std::string& path) { s.Inputs.emplace_back(path, FileSha256Hex(path)); }
// A file whose bytes are at hand is not read again for its digest.
void AddInput(TScenario& s, const std::string& path, std::string_view bytes) { s.Inputs.emplace_back(path, Sha256Hex(bytes)); }

class TScenarioReader : public TTomlChecker {
public:
    TScenarioReader(TScenario& s, const std::string& path)
        : TTomlChecker(path), s_(s)
    {
    }

    void Read(const toml::table& root)
    {
        const toml::node* flowFile = nullptr;
        for (auto [key, node] : InFileOrder(root)) {
            const std::string k(key->str());
            if (k == "name") {
                s_.Name = Text(*node, k);
                if (s_.Name.find_first_of("\r\n") != std::string::npos) Fail(node->source(), "name must be one line");
            } else if (k == "file") {
                s_.BaseFile = File(*node, k);
                Reading(*node, [&] { AddInput(s_, s_.BaseFile); });
            } else if (k == "grid") ReadGrid(*node);
            else if (k == "species") ReadSpecies(*node);
            else if (k == "disturbance") ReadDisturbances(*node);
            else if (k == "flow") {
                if (node->is_table()) ReadFlowTable(*node->as_table());
                else flowFile = node; // read once the separator is known
            } else if (k == "states") ReadStates(*node);
            else if (k == "landscape") ReadLandscape(*node);
            else if (k == "RandomSeed") s_.RandomSeed = static_cast<int32_t>(Whole(*node, k, 0, INT32_MAX));
            else if (k == "Separator") s_.Separator = SeparatorOf(*node);
            else if (k == "ReservedFlag") s_.ReservedFlag = Flag(*node, k);
            else if (k == "FlowDirection") s_.FlowDirection = Real(*node, k, -1e6, 1e6);
            else if (k == "FlowDeviation") s_.FlowDeviation = Real(*node, k, -1e6, 1e6);
            else if (const TParameter* p = FindParameter(k, false)) {
                s_.Globals.push_back({p, CheckedValue(*p, *node)});
            } else Fail(key->source(), UnknownKey(k));
        }
        if (flowFile) ReadFlowFile(*flowFile);
        if (s_.Name.empty()) s_.Name = fs::path(Path()).stem().string();
    }

private:
    static std::string UnknownKey(const std::string& k)
    {
        std::string why = "unknown key \"" + k + "\"";
        if (FindLandscapeParameter(k)) why += " (it belongs in [landscape])";
        else if (FindParameter(k, true)) why += " (a species field: it belongs in [[species]])";
        return why;
    }

    // A file the scenario names, from the scenario's directory.
    std::string File(const toml::node& n, const std::string& key) const { return FromHere(Text(n, key)); }

    // Runs a file reader; its refusal is the scenario's, at the line that names the file.
    template <class F>
    void Reading(const toml::node& n, F&& read) const
    {
        try {
            read();
        } catch (const Error& e) {
            Fail(n.source(), e.what());
        }
    }

    char SeparatorOf(const toml::node& n) const
    {
        std::string t;
        if (!Latin1(Text(n, "Separator"), t) || t.size() != 1 || t[0] == '\r' || t[0] == '\n' || t[0] == '\0')
            Fail(n.source(), "Separator must be one character");
        return t[0];
    }

    void ReadGrid(const toml::node& n)
    {
        Reading(n, [&] { ParseGridSize(Text(n, "grid"), s_.Landscape.GridW, s_.Landscape.GridH, "grid"); });
        gridNode_ = &n;
    }

    // --- species ---

    void ReadSpecies(const toml::node& n)
    {
        if (n.is_string()) {
            Reading(n, [&] { SetPoolFile(s_, File(n, "species")); });
            return;
        }
        const toml::array* list = n.as_array();
        if (!list || list->empty() || !list->is_array_of_tables())
            Fail(n.source(), "species must name a species pool file (.msd) or be [[species]] tables");
        if (list->size() > static_cast<size_t>(MaxSpecies))
            Fail(n.source(), Format("Can not create more then %d different species!", {MaxSpecies - 1}));
        Model pool;
        CreateSpeciesPool(pool, static_cast<int>(list->size()));
        for (size_t i = 0; i < list->size(); ++i) ReadOneSpecies(*list->get(i)->as_table(), pool, static_cast<int>(i));
        s_.Species = pool.SpeciesPool;
    }

    void ReadOneSpecies(const toml::table& t, Model& pool, int index) const
    {
        TSpecies& sp = pool.SpeciesPool[static_cast<size_t>(index)];
        for (auto [key, node] : InFileOrder(t)) {
            const std::string k(key->str());
            if (k == "Name") {
                std::string bytes;
                if (!Latin1(Text(*node, k), bytes)) Fail(node->source(), "Name: only Latin-1 characters fit a species record");
                if (bytes.size() > static_cast<size_t>(NameLength))
                    Fail(node->source(), Format("Name has more than %d characters", {NameLength}));
                sp.Name = bytes;
            } else if (k == "Color") sp.Color = ColorOf(*node);
            else if (k == "Reserved") ReservedOf(*node, sp);
            else if (const TParameter* p = FindParameter(k, true)) {
                const bool perSeason = k == "DeathProb" || k == "Fecundity";
                p->Set(pool, index, CheckedValue(*p, *node, perSeason));
            } else Fail(key->source(), "no species field is called \"" + k + "\"");
        }
    }

    // "#RRGGBB", or the record's number (0x00BBGGRR).
    int32_t ColorOf(const toml::node& n) const
    {
        if (n.is_integer()) return static_cast<int32_t>(Whole(n, "Color", INT32_MIN, INT32_MAX));
        const std::string t = Text(n, "Color");
        unsigned rgb = 0;
        const auto r = std::from_chars(t.data() + 1, t.data() + t.size(), rgb, 16);
        if (t.size() != 7 || t[0] != '#' || r.ec != std::errc() || r.ptr != t.data() + t.size())
            Fail(n.source(), "Color must be \"#RRGGBB\" (hex digits)");
        return static_cast<int32_t>((rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF));
    }

    void ReservedOf(const toml::node& n, TSpecies& sp) const
    {
        const std::string t = Text(n, "Reserved");
        if (t.size() != 2 * sp.Reserved.size()) Fail(n.source(), Format("Reserved must be %d hex digits", {2 * sp.Reserved.size()}));
        for (size_t i = 0; i < sp.Reserved.size(); ++i) {
            const auto r = std::from_chars(t.data() + 2 * i, t.data() + 2 * i + 2, sp.Reserved[i], 16);
            if (r.ec != std::errc() || r.ptr != t.data() + 2 * i + 2) Fail(n.source(), "Reserved must be hex digits");
        }
    }

    // --- disturbances ---

    void ReadDisturbances(const toml::node& n)
    {
        if (n.is_string()) {
            Reading(n, [&] { SetDisturbanceFile(s_, File(n, "disturbance")); });
            return;
        }
        s_.Disturbances.emplace();
        const toml::array* list = n.as_array();
        if (!list || (!list->empty() && !list->is_array_of_tables()))
            Fail(n.source(), "disturbance must name a disturbance definition file (.mdf) or be [[disturbance]] tables "
                             "(disturbance = [] for none)");
        if (list->size() > MaxDefinitions) Fail(n.source(), Format("more than %d disturbance definitions", {MaxDefinitions}));
        s_.DisturbanceOrigins.clear();
        for (const toml::node& e : *list) {
            s_.Disturbances->push_back(ReadOneDisturbance(*e.as_table()));
            s_.DisturbanceOrigins.push_back(Format("%s:%d", {Path(), static_cast<int>(e.source().begin.line)}));
        }
    }

    std::vector<TFieldValue> ReadOneDisturbance(const toml::table& t) const
    {
        std::vector<TFieldValue> fields;
        for (auto [key, node] : InFileOrder(t)) {
            const std::string k(key->str());
            const TParameter* f = FindDisturbanceField(k);
            if (!f) Fail(key->source(), "no disturbance field is called \"" + k + "\"");
            fields.push_back({f, CheckedValue(*f, *node, k == "Probability")});
        }
        for (const auto& [a, b] : {std::pair{"Probability", "Recurrence"}, {"Direction", "Bearing"}, {"Deviation", "DeviationDegrees"}})
            if (t.contains(a) && t.contains(b)) Fail(t.source(), Format("give either %s or %s, not both", {a, b}));
        return fields;
    }

    // --- flow ---

    void ReadFlowTable(const toml::table& t) const
    {
        std::optional<double> direction, deviation;
        double speed = 1.0;
        for (auto [key, node] : InFileOrder(t)) {
            const std::string k(key->str());
            if (k == "Direction") direction = Real(*node, k, -7, 7);
            else if (k == "Bearing") direction = DegToRad(CompassToMath(Real(*node, k, -3600, 3600)));
            else if (k == "Deviation") deviation = Real(*node, k, -7, 7);
            else if (k == "DeviationDegrees") deviation = DegToRad(Real(*node, k, -360, 360));
            else if (k == "Speed") speed = Real(*node, k, 0, 1e6);
            else Fail(key->source(), "unknown key \"" + k + "\" in [flow] (Bearing or Direction, DeviationDegrees or "
                                                            "Deviation, Speed; flow = \"FILE\" for a flow grid file)");
        }
        if (!direction || !deviation) Fail(t.source(), "[flow] needs Bearing (or Direction) and DeviationDegrees (or Deviation)");
        TFlowGrid g;
        NewFlowGrid(g, 1, 1, *direction, *deviation, speed);
        s_.Flow = g;
    }

    void ReadFlowFile(const toml::node& n)
    {
        Reading(n, [&] { SetFlowFile(s_, File(n, "flow"), s_.Separator.value_or(';')); });
    }

    // --- states ---

    void ReadStates(const toml::node& n)
    {
        if (n.is_string()) {
            Reading(n, [&] { SetStatesFile(s_, File(n, "states")); });
            return;
        }
        const toml::table* t = n.as_table();
        if (!t) Fail(n.source(), "states must name a state definition file (.mtd) or be a [states] table");
        TStateDef defs; // a table given is the whole table: what it leaves out is not considered
        for (auto [key, node] : InFileOrder(*t)) {
            const int k = IndexOf(StateKeys, StateCount, std::string(key->str()));
            if (k < 0) Fail(key->source(), "states are R0, R1, R2 and UD, not \"" + std::string(key->str()) + "\"");
            const toml::table* guilds = node->as_table();
            if (!guilds) Fail(node->source(), "a state is a table of guild criteria, e.g. [states.R0] R0 = { min = 0.5, max = 1.0 }");
            for (auto [g, criterion] : InFileOrder(*guilds)) {
                const int guild = IndexOf(GuildKeys, GuildCount, std::string(g->str()));
                if (guild < 0) Fail(g->source(), "guilds are undefined, R0, R1, R2 and UD, not \"" + std::string(g->str()) + "\"");
                defs.Criteria[k][guild] = CriterionOf(*criterion);
            }
        }
        s_.States = defs;
    }

    static int IndexOf(const char* const* names, int count, const std::string& name)
    {
        for (int i = 0; i < count; ++i)
            if (name == names[i]) return i;
        return -1;
    }

    TStateCriterion CriterionOf(const toml::node& n) const
    {
        const toml::table* t = n.as_table();
        if (!t) Fail(n.source(), "a criterion is { min = a, max = b } (consider = false to keep it out of the test)");
        TStateCriterion c{true, 0, 0};
        for (auto [key, node] : InFileOrder(*t)) {
            const std::string k(key->str());
            if (k == "min") c.min = Real(*node, k, -1e300, 1e300);
            else if (k == "max") c.max = Real(*node, k, -1e300, 1e300);
            else if (k == "consider") c.consider = Flag(*node, k);
            else Fail(key->source(), "unknown key \"" + k + "\" in a criterion (min, max, consider)");
        }
        return c;
    }

    // --- landscape ---

    void ReadLandscape(const toml::node& n)
    {
        const toml::table* t = n.as_table();
        if (!t) Fail(n.source(), "landscape must be a [landscape] table");
        TLandscapeSpec& l = s_.Landscape;
        const toml::node* substrate = nullptr;
        std::string kind;
        std::vector<TFieldValue> params;
        for (auto [key, node] : InFileOrder(*t)) {
            const std::string k(key->str());
            if (k == "generator") {
                if (!ParseLandscapeGenerator(Text(*node, k), l.Kind))
                    Fail(node->source(), "generator takes \"random\", \"fractal\" or \"fractal-discrete\"");
                Once(kind, k, *node);
            } else if (k == "image") {
                Reading(*node, [&] { SetLandscapeImage(s_, File(*node, k)); });
                Once(kind, k, *node);
            } else if (k == "capacity") {
                const TCellMatrix c = Matrix(*node, k, INT32_MIN, INT32_MAX);
                l.Capacity.assign(c.Values.begin(), c.Values.end());
                l.Kind = TLandscapeKind::Cells;
                CheckGrid(c, *node);
                Once(kind, k, *node);
            } else if (k == "substrate") substrate = node;
            else if (const TParameter* p = FindLandscapeParameter(k)) {
                params.push_back({p, CheckedValue(*p, *node)});
            } else
                Fail(key->source(), "unknown key \"" + k + "\" in [landscape] (generator, image, capacity, substrate, "
                                                           "HighCapacity, LowCapacity, HighCapacityProb)");
        }
        if (substrate) {
            if (l.Kind != TLandscapeKind::Cells) Fail(substrate->source(), "substrate goes with capacity");
            const TCellMatrix c = Matrix(*substrate, "substrate", 0, 255);
            if (c.Width != l.GridW || c.Height != l.GridH)
                Fail(substrate->source(), Format("substrate has %d x %d cells, capacity %d x %d", {c.Width, c.Height, l.GridW, l.GridH}));
            l.Substrate.assign(c.Values.begin(), c.Values.end());
        }
        // Generator parameters alone make a random landscape; with cells they are kept as values.
        const TLandscapeKind given = l.Kind;
        for (const TFieldValue& p : params) SetLandscapeParameter(l, p.Field->Name, p.Value);
        if (given != TLandscapeKind::Keep) l.Kind = given;
    }

    void Once(std::string& kind, const std::string& key, const toml::node& n) const
    {
        if (!kind.empty()) Fail(n.source(), "give one of generator, image and capacity, not " + kind + " and " + key);
        kind = key;
    }

    TCellMatrix Matrix(const toml::node& n, const std::string& key, int64_t lo, int64_t hi)
    {
        const std::string path = File(n, key);
        TCellMatrix c;
        Reading(n, [&] {
            const std::string text = ReadTextFile(path, key + " file");
            c = ParseCellMatrix(text, path, lo, hi);
            AddInput(s_, path, text);
        });
        return c;
    }

    void CheckGrid(const TCellMatrix& c, const toml::node& n)
    {
        TLandscapeSpec& l = s_.Landscape;
        if (gridNode_ && (l.GridW != c.Width || l.GridH != c.Height))
            Fail(n.source(), Format("the capacity file has %d x %d cells, grid says %dx%d", {c.Width, c.Height, l.GridW, l.GridH}));
        if (!GridSizeFits(c.Width, c.Height))
            Fail(n.source(), "the capacity file has more cells than a grid may (10000 a side, 4000000 in all)");
        l.GridW = c.Width;
        l.GridH = c.Height;
    }

    TScenario& s_;
    const toml::node* gridNode_ = nullptr;
};

// The shortest text that reads back to the same double.
std::string ShortestExact(double v)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// Angles as the editors show them (compass bearing, degrees) when that reads back to the
// same radians, else the radians.
std::string AngleLines(double direction, double deviation, const std::string& indent = "")
{
    std::string out;
    const double bearing = MathToCompass(RadToDeg(direction));
    if (DegToRad(CompassToMath(bearing)) == direction) out += indent + "Bearing = " + TomlReal(bearing) + "\r\n";
    else out += indent + "Direction = " + TomlReal(direction) + "\r\n";
    const double degrees = RadToDeg(deviation);
    if (DegToRad(degrees) == deviation && std::fabs(degrees) <= 360)
        out += indent + "DeviationDegrees = " + TomlReal(degrees) + "\r\n";
    else out += indent + "Deviation = " + TomlReal(deviation) + "\r\n";
    return out;
}

std::string SpeciesToml(const Model& m, int s)
{
    const TSpecies& sp = m.SpeciesPool[static_cast<size_t>(s)];
    std::string out = "\r\n[[species]]\r\nName = " + TomlString(Latin1ToUtf8(sp.Name)) + "\r\n";
    for (const TParameter& p : ParameterTable())
        if (p.PerSpecies) out += std::string(p.Name) + " = " + TomlParameterValue(p, p.Get(m, s)) + "\r\n";
    if (sp.Color != 0) {
        const auto c = static_cast<uint32_t>(sp.Color);
        if (c >> 24 == 0) out += Format("Color = \"#%2.2X%2.2X%2.2X\"\r\n", {c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF});
        else out += Format("Color = %d\r\n", {sp.Color});
    }
    bool reserved = false;
    for (const uint8_t b : sp.Reserved) reserved |= b != 0;
    if (reserved) {
        std::string hex;
        for (const uint8_t b : sp.Reserved) hex += Format("%2.2x", {static_cast<int>(b)});
        out += "Reserved = \"" + hex + "\"\r\n";
    }
    return out;
}

std::string StatesToml(const TStateDef& defs)
{
    TStateDef standard;
    ResetStateDefs(standard);
    bool same = true;
    for (int k = 0; k < StateCount; ++k)
        for (int g = 0; g < GuildCount; ++g) {
            const TStateCriterion &a = defs.Criteria[k][g], &b = standard.Criteria[k][g];
            same &= a.consider == b.consider && a.min == b.min && a.max == b.max;
        }
    if (same) return {};
    std::string out;
    for (int k = 0; k < StateCount; ++k) {
        out += std::string("\r\n[states.") + StateKeys[k] + "]\r\n";
        for (int g = 0; g < GuildCount; ++g) {
            const TStateCriterion& c = defs.Criteria[k][g];
            if (!c.consider && c.min == 0 && c.max == 0) continue;
            out += std::string(GuildKeys[g]) + " = { min = " + TomlReal(c.min) + ", max = " + TomlReal(c.max) +
                   (c.consider ? "" : ", consider = false") + " }\r\n";
        }
    }
    return out;
}

std::string Stem(const std::string& out)
{
    fs::path p(out);
    p.replace_extension();
    return p.string();
}

} // namespace

std::string Latin1ToUtf8(const std::string& latin1)
{
    std::string out;
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) out += ch;
        else out += static_cast<char>(0xC0 | c >> 6), out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string TomlReal(double v)
{
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    std::string t = ShortestExact(v);
    if (t.find_first_of(".e") == std::string::npos) t += ".0";
    return t;
}

std::string TomlParameterValue(const TParameter& p, double v)
{
    switch (p.Kind) {
    case TParameterKind::Boolean: return v != 0 ? "true" : "false";
    case TParameterKind::Kernel: return TomlString(ParameterValueText(p, v));
    case TParameterKind::Integer: return Format("%d", {static_cast<long long>(v)});
    case TParameterKind::Real: break;
    }
    return TomlReal(v);
}

std::string DisturbanceToml(const TDisturbanceDef& d)
{
    // The angles go in degrees, as the editor shows them, after the other fields.
    std::string out = "\r\n[[disturbance]]\r\n";
    for (const TFieldValue& f : DisturbanceFields(d)) {
        const std::string name = f.Field->Name;
        if (name != "Direction" && name != "Deviation") out += name + " = " + TomlParameterValue(*f.Field, f.Value) + "\r\n";
    }
    return out + AngleLines(d.Direction, d.Deviation);
}

std::string LandscapeParameterLines(const Model& m)
{
    std::string out;
    for (const TParameter& p : LandscapeParameterTable()) out += std::string(p.Name) + " = " + TomlParameterValue(p, p.Get(m, -1)) + "\r\n";
    return out;
}

void SetPoolFile(TScenario& s, const std::string& path)
{
    Model pool;
    TByteReader r(path);
    ReadSpeciesPool(pool, r);
    s.Species = pool.SpeciesPool;
    AddInput(s, path);
}

void SetDisturbanceFile(TScenario& s, const std::string& path)
{
    Model m;
    LoadDisturbances(m, path);
    s.Disturbances.emplace();
    s.DisturbanceOrigins.assign(m.Disturbances.size(), path);
    for (const TDisturbanceDef& d : m.Disturbances) s.Disturbances->push_back(DisturbanceFields(d));
    AddInput(s, path);
}

// A binary flow grid file holds zero bytes in its counts; a text definition none.
void SetFlowFile(TScenario& s, const std::string& path, char separator)
{
    TByteReader r(path);
    const std::string_view bytes = r.Rest("its end");
    if (bytes.substr(0, 8).find('\0') != std::string_view::npos) {
        TByteReader block(bytes, path);
        s.Flow = ReadFlowGridBlock(block);
    } else {
        Model m;
        m.Separator = separator;
        s.Flow = ParseFlowGridText(m, bytes, path);
    }
    AddInput(s, path, bytes);
}

void SetStatesFile(TScenario& s, const std::string& path)
{
    TStateDef defs;
    LoadStateDefs(defs, path);
    s.States = defs;
    AddInput(s, path);
}

void SetLandscapeImage(TScenario& s, const std::string& path)
{
    const TRgbImage image = ReadBmp(path);
    s.Landscape.Image = TGreyImage{image.Width, image.Height, image.Pixels};
    s.Landscape.Kind = TLandscapeKind::Image;
    AddInput(s, path);
}

TScenario ParseScenario(const std::string& text, const std::string& path)
{
    TScenario s;
    s.Inputs.emplace_back(path, Sha256Hex(text));
    TScenarioReader(s, path).Read(ParseToml(text, path));
    return s;
}

TScenario LoadScenario(const std::string& path) { return ParseScenario(ReadTextFile(path, "scenario"), path); }

int ScenarioSpeciesCount(const TScenario& s)
{
    if (s.Species) return static_cast<int>(s.Species->size());
    return s.BaseFile.empty() ? 10 : -1;
}

int ScenarioDisturbanceCount(const TScenario& s)
{
    if (s.Disturbances) return static_cast<int>(s.Disturbances->size());
    return s.BaseFile.empty() ? 0 : -1;
}

std::vector<std::string> WriteScenario(const Model& m, const std::string& out, const std::string& source)
{
    const std::string stem = Stem(out);
    const auto sideName = [&](const char* suffix) { return stem + suffix; };
    const auto inText = [&](const std::string& side) { return TomlString(fs::path(side).filename().string()); };
    std::vector<std::string> written;

    std::string text = "# MAROVI scenario of " + source + ": marovi-cli new --scenario " + fs::path(out).filename().string() +
                       " --seed S starts as marovi-cli new " + source + " --seed S\r\n";
    text += "name = " + TomlString(fs::path(stem).filename().string()) + "\r\n";
    for (const TParameter& p : ParameterTable()) {
        if (p.PerSpecies) continue;
        // The fill of the whole grid is what a grid of this size gets anyway.
        if (std::string_view(p.Name) == "StartFill" && m.StartFill == m.XMax) continue;
        text += std::string(p.Name) + " = " + TomlParameterValue(p, p.Get(m, -1)) + "\r\n";
    }
    text += Format("RandomSeed = %d\r\n", {m.RandomSeed});
    text += "Separator = " + TomlString(Latin1ToUtf8(std::string(1, m.Separator))) + "\r\n";
    const Model defaults;
    if (m.ReservedFlag) text += "ReservedFlag = true\r\n";
    if (m.FlowDirection != defaults.FlowDirection) text += "FlowDirection = " + TomlReal(m.FlowDirection) + "\r\n";
    if (m.FlowDeviation != defaults.FlowDeviation) text += "FlowDeviation = " + TomlReal(m.FlowDeviation) + "\r\n";

    const TFlowGrid& g = m.FlowGrid;
    std::string flow;
    if (g.XCount == 1 && g.YCount == 1) {
        flow = "\r\n[flow]\r\n" + AngleLines(g.Cells[0].Direction, g.Cells[0].Deviation) + "Speed = " + TomlReal(g.Cells[0].Speed) + "\r\n";
    } else {
        const std::string side = sideName(".flow.mfg");
        SaveFlowGrid(g, side);
        written.push_back(side);
        text += "flow = " + inText(side) + "\r\n";
    }
    text += m.Disturbances.empty() ? "disturbance = []\r\n" : "";

    const std::string capacity = sideName(".capacity.txt"), substrate = sideName(".substrate.txt");
    for (const auto& [side, isSubstrate] : {std::pair{capacity, false}, {substrate, true}}) {
        TSafeFile f(side);
        f.Write(CellMatrixText(m, isSubstrate));
        f.Commit();
        written.push_back(side);
    }
    text += "\r\n[landscape]\r\ncapacity = " + inText(capacity) + "\r\nsubstrate = " + inText(substrate) + "\r\n" +
            LandscapeParameterLines(m);
    text += flow + StatesToml(m.StateDefs);
    for (int s = 0; s <= m.SpeciesMax; ++s) text += SpeciesToml(m, s);
    for (const TDisturbanceDef& d : m.Disturbances) text += DisturbanceToml(d);

    TSafeFile f(out);
    f.Write(text);
    f.Commit();
    written.push_back(out);
    return written;
}

} // namespace marovi::cli
