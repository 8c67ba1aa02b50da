#include "files/flow_grid_file.h"

#include <vector>

#include "files/data_lines.h"
#include "files/save_file.h"
#include "landscape/flow.h"
#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

constexpr size_t FlowCellSize = 24;

std::string Sep(const Model& m) { return std::string(1, m.Separator); }

int Dimension(const TDataLine& line, const std::string& name, const char* what)
{
    int n = 0;
    if (!ParseInt(line.Text, n))
        throw Error(Format("%s: line %d: \"%s\" is not a number of flow cells in %s", {name, line.Number, line.Text, what}));
    if (n < 1) throw Error(Format("%s: line %d: a flow grid needs at least one cell in %s, not %d", {name, line.Number, what, n}));
    return n;
}

// One cell line: x, y, bearing, deviation, and the rest of the line as speed.
bool ParseCellLine(std::string_view text, char sep, int& x, int& y, TFlowCell& cell)
{
    std::string_view f[4];
    for (std::string_view& field : f) {
        const size_t p = text.find(sep);
        if (p == std::string_view::npos) return false;
        field = text.substr(0, p);
        text = text.substr(p + 1);
    }
    double bearing, deviation, speed;
    if (!ParseInt(f[0], x) || !ParseInt(f[1], y) || !ParseReal(f[2], bearing) || !ParseReal(f[3], deviation) ||
        !ParseReal(text, speed))
        return false;
    cell = TFlowCell{DegToRad(CompassToMath(bearing)), DegToRad(deviation), speed};
    return true;
}

} // namespace

void WriteFlowGridBlock(TByteWriter& w, const TFlowGrid& g)
{
    TRecordOut<8> counts;
    counts.I32(0, g.XCount);
    counts.I32(4, g.YCount);
    w.Write(counts);
    for (const TFlowCell& c : g.Cells) {
        TRecordOut<FlowCellSize> r;
        r.F64(0, c.Direction);
        r.F64(8, c.Deviation);
        r.F64(16, c.Speed);
        w.Write(r);
    }
}

TFlowGrid ReadFlowGridBlock(TByteReader& in)
{
    const TRecordIn counts = in.Record(8, "the flow grid size");
    const int32_t nx = counts.I32(0), ny = counts.I32(4);
    if (nx < 1 || ny < 1) throw Error(Format("%s: the flow grid has %d x %d cells (at least 1 x 1)", {in.Name(), nx, ny}));
    const uint64_t cells = static_cast<uint64_t>(nx) * static_cast<uint64_t>(ny);
    if (cells * FlowCellSize > in.Remaining())
        throw Error(Format("%s: the file ends before the %d x %d flow cells it claims", {in.Name(), nx, ny}));
    TFlowGrid g;
    SetFlowGridSize(g, nx, ny);
    for (TFlowCell& c : g.Cells) {
        const TRecordIn r = in.Record(FlowCellSize, "the end of the flow cells");
        c = TFlowCell{r.F64(0), r.F64(8), r.F64(16)};
    }
    return g;
}

void SaveFlowGrid(const TFlowGrid& g, const std::string& path)
{
    SaveReplacing(path, [&](TByteWriter& w) { WriteFlowGridBlock(w, g); });
}

void LoadFlowGrid(TFlowGrid& g, const std::string& path)
{
    TByteReader r(path);
    g = ReadFlowGridBlock(r);
}

std::string FlowGridText(const Model& m)
{
    const TFlowGrid& g = m.FlowGrid;
    const std::string s = Sep(m);
    std::string out = "# MAROVI flow grid definition file\r\n# flow grid dimensions\r\n";
    out += Format("%d\r\n%d\r\n", {g.XCount, g.YCount});
    out += "# x " + s + " y " + s + " direction " + s + " deviation " + s + " speed\r\n";
    for (int x = 0; x < g.XCount; ++x)
        for (int y = 0; y < g.YCount; ++y) {
            const TFlowCell& c = g.Cell(x, y);
            out += Format("%4d%s%4d%s%5.1f%s%5.1f%s%5.2f\r\n",
                          {x, s, y, s, MathToCompass(RadToDeg(c.Direction)), s, RadToDeg(c.Deviation), s, c.Speed});
        }
    return out;
}

void ExportFlowGridText(const Model& m, const std::string& path)
{
    const std::string text = FlowGridText(m);
    SaveReplacing(path, [&](TByteWriter& w) { w.Write(text); });
}

TFlowGrid ParseFlowGridText(const Model& m, std::string_view text, const std::string& name)
{
    const std::vector<TDataLine> lines = DataLines(text);
    if (lines.size() < 2) throw Error(Format("%s: the flow grid dimensions are missing", {name}));
    const int nx = Dimension(lines[0], name, "x");
    const int ny = Dimension(lines[1], name, "y");
    // Every flow cell needs a line of its own: check before the grid is allocated.
    const uint64_t cells = static_cast<uint64_t>(nx) * static_cast<uint64_t>(ny);
    if (lines.size() - 2 < cells)
        throw Error(Format("%s: the file ends after %d of the %d x %d flow cell lines",
                           {name, static_cast<long long>(lines.size() - 2), nx, ny}));
    TFlowGrid g;
    SetFlowGridSize(g, nx, ny);
    for (uint64_t i = 0; i < cells; ++i) {
        const TDataLine& line = lines[static_cast<size_t>(2 + i)];
        int x, y;
        TFlowCell cell;
        // A line that does not convert is skipped; its cell stays 0.
        if (!ParseCellLine(line.Text, m.Separator, x, y, cell)) continue;
        if (x < 0 || x >= nx || y < 0 || y >= ny)
            throw Error(Format("%s: line %d: flow cell [%d,%d] lies outside the %d x %d flow grid", {name, line.Number, x, y, nx, ny}));
        g.Cell(x, y) = cell;
    }
    return g;
}

void ImportFlowGridText(Model& m, const std::string& path)
{
    TByteReader r(path);
    m.FlowGrid = ParseFlowGridText(m, r.Rest("its end"), path);
}

} // namespace marovi
