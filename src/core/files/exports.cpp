#include "files/exports.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <vector>

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

char* WritePadded(char* p, long long value, int digits)
{
    // Counts of 0..999 are nearly all a species list holds: three digits from a table.
    static const auto table = [] {
        std::array<char, 3000> t{};
        for (int i = 0; i < 1000; ++i) {
            t[static_cast<size_t>(3 * i)] = static_cast<char>('0' + i / 100);
            t[static_cast<size_t>(3 * i + 1)] = static_cast<char>('0' + i / 10 % 10);
            t[static_cast<size_t>(3 * i + 2)] = static_cast<char>('0' + i % 10);
        }
        return t;
    }();
    if (digits == 3 && value >= 0 && value < 1000) {
        std::memcpy(p, table.data() + 3 * value, 3);
        return p + 3;
    }
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude);
    const int length = static_cast<int>(res.ptr - buf);
    if (value < 0) *p++ = '-';
    for (int i = length; i < digits; ++i) *p++ = '0';
    std::memcpy(p, buf, static_cast<size_t>(length));
    return p + length;
}

void AppendPadded(std::string& out, long long value, int digits)
{
    char buf[64];
    out.append(buf, WritePadded(buf, value, digits < 40 ? digits : 40));
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
    constexpr size_t NumbersRoom = 4 * 24 + 2;
    size_t longestName = 0;
    for (const TSpecies& species : m.SpeciesPool) longestName = std::max(longestName, species.Name.size());
    const size_t BufferSize = (1 << 20) + longestName + 1 + NumbersRoom;
    std::vector<char> buffer(BufferSize);
    char* const begin = buffer.data();
    char* p = begin;
    // Cells hold their individuals, not their abundances: count them once, cell by cell
    // (at most 100 per cell and species).
    const size_t species = static_cast<size_t>(m.SpeciesMax + 1);
    std::vector<uint8_t> abundance(m.Cells.size() * species);
    for (size_t c = 0; c < m.Cells.size(); ++c)
        for (const TIndividual& ind : m.Cells[c].Individuals) abundance[c * species + static_cast<size_t>(ind.Species)] += 1;
    for (int sp = 0; sp <= m.SpeciesMax; ++sp) {
        const std::string prefix = m.SpeciesPool[static_cast<size_t>(sp)].Name + S;
        for (int x = 0; x <= m.XMax; ++x)
            for (int y = 0; y <= m.YMax; ++y) {
                if (static_cast<size_t>(p - begin) + prefix.size() + NumbersRoom > BufferSize) {
                    out.Write(std::string_view(begin, static_cast<size_t>(p - begin)));
                    p = begin;
                }
                std::memcpy(p, prefix.data(), prefix.size());
                p += prefix.size();
                p = WritePadded(p, x, 3);
                *p++ = S;
                p = WritePadded(p, y, 3);
                *p++ = S;
                const size_t cell = static_cast<size_t>(x) * static_cast<size_t>(m.YDim) + static_cast<size_t>(y);
                p = WritePadded(p, abundance[cell * species + static_cast<size_t>(sp)], 3);
                *p++ = S;
                p = WritePadded(p, m.PrevLarvaeAt(x, y)[static_cast<size_t>(sp)], 3);
                *p++ = '\r';
                *p++ = '\n';
            }
    }
    out.Write(std::string_view(begin, static_cast<size_t>(p - begin)));
    out.Commit();
}

} // namespace marovi
