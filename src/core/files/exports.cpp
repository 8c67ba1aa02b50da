#include "files/exports.h"

#include <charconv>

#include "files/safe_file.h"
#include "model/model.h"
#include "util/format.h"

namespace marovi {
namespace {

constexpr const char* Rule = "######################################################";

void WriteCreatedLine(TSafeFile& out, const TClock& clock)
{
    out.WriteLine("# created " + clock() + "                        #");
}

void WriteStepAndSize(TSafeFile& out, const Model& m)
{
    out.WriteLine(Format("# timestep %.8d                                  #", {m.TimeStep}));
    out.WriteLine(Format("# gridsize: %.3d x %.3d                                #", {m.XDim, m.YDim}));
}

} // namespace

void AppendPadded(std::string& out, long long value, int digits)
{
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude);
    const int length = static_cast<int>(res.ptr - buf);
    if (value < 0) out += '-';
    if (length < digits) out.append(static_cast<size_t>(digits - length), '0');
    out.append(buf, res.ptr);
}

void SaveIndividualList(const Model& m, const std::string& path, const TClock& clock)
{
    TSafeFile out(path);
    out.WriteLine(Rule);
    out.WriteLine("# MAROVI data file, individual list                  #");
    WriteCreatedLine(out, clock);
    out.WriteLine(Format("# %.2d species                                         #", {m.SpeciesMax + 1}));
    WriteStepAndSize(out, m);
    out.WriteLine(Rule);
    out.WriteLine("species , age, xpos , ypos");
    for (int x = 0; x <= m.XMax; ++x)
        for (int y = 0; y <= m.YMax; ++y)
            for (const TIndividual& ind : m.Cell(x, y).Individuals) {
                const std::string& name = m.SpeciesPool[static_cast<size_t>(ind.Species)].Name;
                out.WriteLine(Format("%s, %.4d, %8.2f, %8.2f",
                                     {name, ind.Age, x + ind.PosX / 10.0, y + ind.PosY / 10.0}));
            }
    out.Commit();
}

void SaveSpeciesList(const Model& m, const std::string& path, const TClock& clock)
{
    const char S = m.Separator;
    TSafeFile out(path);
    out.WriteLine(Rule);
    out.WriteLine("# MAROVI data file, species list                     #");
    WriteCreatedLine(out, clock);
    WriteStepAndSize(out, m);
    out.WriteLine(Rule);
    out.WriteLine(std::string("species") + S + " xpos " + S + " ypos" + S + " abundance" + S + " larvae @t-1");

    // 510,007 lines for 51 species on 100 x 100 cells: the lines are built by hand into
    // one buffer that is written in large blocks.
    std::string buffer;
    buffer.reserve(1 << 20);
    for (int sp = 0; sp <= m.SpeciesMax; ++sp) {
        const std::string prefix = m.SpeciesPool[static_cast<size_t>(sp)].Name + S;
        for (int x = 0; x <= m.XMax; ++x)
            for (int y = 0; y <= m.YMax; ++y) {
                buffer += prefix;
                AppendPadded(buffer, x, 3);
                buffer += S;
                AppendPadded(buffer, y, 3);
                buffer += S;
                AppendPadded(buffer, m.Cell(x, y).Abundance[static_cast<size_t>(sp)], 3);
                buffer += S;
                AppendPadded(buffer, m.PrevLarvaeAt(x, y)[static_cast<size_t>(sp)], 3);
                buffer += "\r\n";
                if (buffer.size() >= (1 << 20) - 256) {
                    out.Write(buffer);
                    buffer.clear();
                }
            }
    }
    out.Write(buffer);
    out.Commit();
}

} // namespace marovi
