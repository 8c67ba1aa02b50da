#include "files/cell_matrix.h"

#include <charconv>

#include "files/data_lines.h"
#include "model/model.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {

namespace {

constexpr int64_t MaxCells = 100000000;

bool Separator(char c) { return c == ' ' || c == '\t' || c == ','; }

} // namespace

std::string CellMatrixText(const Model& m, bool substrate)
{
    std::string out = Format("# MAROVI landscape: %s of every cell, %d columns (x = 0..%d) in %d rows, the top row "
                             "(y = %d) first\r\n",
                             {std::string(substrate ? "substrate bits" : "capacity"), m.XDim, m.XMax, m.YDim, m.YMax});
    for (int y = m.YMax; y >= 0; --y) {
        for (int x = 0; x < m.XDim; ++x) {
            const TCell& c = m.Cell(x, y);
            if (x > 0) out += ' ';
            out += substrate ? std::to_string(c.Substrate) : std::to_string(c.Capacity);
        }
        out += "\r\n";
    }
    return out;
}

TCellMatrix ParseCellMatrix(std::string_view text, const std::string& name, int64_t lo, int64_t hi)
{
    std::vector<std::vector<int64_t>> rows;
    for (const auto& [number, line] : DataLines(text)) {
        std::vector<int64_t> row;
        size_t at = 0;
        while (at < line.size()) {
            while (at < line.size() && Separator(line[at])) ++at;
            if (at == line.size()) break;
            size_t stop = at;
            while (stop < line.size() && !Separator(line[stop])) ++stop;
            const std::string_view word = line.substr(at, stop - at);
            int64_t v = 0;
            const auto r = std::from_chars(word.data(), word.data() + word.size(), v);
            if (r.ec != std::errc() || r.ptr != word.data() + word.size())
                throw Error(Format("%s:%d: \"%s\" is not a whole number", {name, number, word}));
            if (v < lo || v > hi)
                throw Error(Format("%s:%d: %d lies outside %d..%d", {name, number, static_cast<long long>(v),
                                                                    static_cast<long long>(lo), static_cast<long long>(hi)}));
            row.push_back(v);
            at = stop;
        }
        if (row.empty()) throw Error(Format("%s:%d: no numbers", {name, number}));
        if (!rows.empty() && row.size() != rows.front().size())
            throw Error(Format("%s:%d: %d numbers, the first row has %d", {name, number, static_cast<long long>(row.size()),
                                                                       static_cast<long long>(rows.front().size())}));
        rows.push_back(std::move(row));
        if (static_cast<int64_t>(rows.size() * rows.front().size()) > MaxCells)
            throw Error(Format("%s: more than %d cells", {name, static_cast<long long>(MaxCells)}));
    }
    if (rows.empty()) throw Error(name + ": no rows of numbers");
    TCellMatrix c;
    c.Width = static_cast<int>(rows.front().size());
    c.Height = static_cast<int>(rows.size());
    c.Values.resize(static_cast<size_t>(c.Width) * static_cast<size_t>(c.Height));
    for (int r = 0; r < c.Height; ++r)
        for (int x = 0; x < c.Width; ++x) // the first row is the top one
            c.Values[static_cast<size_t>(x) * static_cast<size_t>(c.Height) + static_cast<size_t>(c.Height - 1 - r)] =
                rows[static_cast<size_t>(r)][static_cast<size_t>(x)];
    return c;
}

} // namespace marovi
