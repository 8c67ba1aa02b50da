#include "analysis_common.h"

#include <algorithm>
#include <iostream>

#include "analysis/indices.h"
#include "colours/species_colors.h"
#include "files/safe_file.h"
#include "model/model.h"
#include "model/species_pool.h"
#include "provenance.h"
#include "runner.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi::cli {
namespace {

std::vector<std::string> SplitCommas(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

} // namespace

Model LoadForAnalysis(const std::string& path)
{
    Model m = LoadSimulationFile(path);
    AdoptSpeciesColors(m);
    return m;
}

void Emit(const std::vector<std::string>& lines, const std::string& out)
{
    if (out.empty()) {
        for (const std::string& line : lines) std::cout << line << "\r\n";
        std::cout.flush();
        return;
    }
    WriteTextLines(out, lines);
    TProvenance().WriteFor(out);
}

const TDiversityEntry* FindDiversityMeasure(const std::string& text)
{
    static const char* const keys[] = {"shannon", "simpson", "recsimpson", "brillouin",
                                       "mindex0", "mindex",  "hill0",      "hill"};
    const std::vector<TDiversityEntry>& list = DiversityCatalogue();
    for (size_t i = 0; i < list.size(); ++i)
        if (text == keys[i] || text == list[i].Name) return &list[i];
    return nullptr;
}

const TSimilarityEntry* FindSimilarityMeasure(const std::string& text)
{
    static const char* const keys[] = {"jaccard", "sorensen", "braycurtis", "marczewski"};
    const std::vector<TSimilarityEntry>& list = SimilarityCatalogue();
    for (size_t i = 0; i < list.size(); ++i)
        if (text == keys[i] || text == list[i].Name) return &list[i];
    return nullptr;
}

TSpeciesCounts ToCounts(const std::vector<int>& values, const std::string& option)
{
    if (values.size() > static_cast<size_t>(MaxSpecies)) throw Error(option + ": at most 51 counts");
    TSpeciesCounts c{};
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] < 0) throw Error(option + ": counts must not be negative");
        c[i] = values[i];
    }
    return c;
}

Model CountsModel(size_t entries, const std::vector<int>& guilds, double hillOrder, const std::string& guildOption)
{
    Model m;
    CreateSpeciesPool(m, static_cast<int>(std::clamp<size_t>(entries, 1, MaxSpecies)));
    for (size_t i = 0; i < guilds.size() && i < m.SpeciesPool.size(); ++i) {
        if (guilds[i] < 0 || guilds[i] > 4) throw Error(guildOption + ": guilds are 0..4");
        m.SpeciesPool[i].Guild = static_cast<int8_t>(guilds[i]);
    }
    m.HillOrder = hillOrder;
    return m;
}

std::vector<int> ParseInts(const std::string& text, size_t count, const std::string& option)
{
    std::vector<int> values;
    for (const std::string& part : SplitCommas(text)) {
        int v = 0;
        if (!ParseInt(part, v)) throw Error(option + " " + text + ": \"" + part + "\" is not an integer");
        values.push_back(v);
    }
    if (count != 0 && values.size() != count)
        throw Error(Format("%s %s: expected %d numbers separated by commas", {option, text, static_cast<long long>(count)}));
    return values;
}

std::vector<double> ParseReals(const std::string& text, const std::string& option)
{
    std::vector<double> values;
    for (const std::string& part : SplitCommas(text)) {
        double v = 0;
        if (!ParseReal(part, v)) throw Error(option + " " + text + ": \"" + part + "\" is not a number");
        values.push_back(v);
    }
    return values;
}

TWindow ParseWindow(const Model& m, const std::string& text, const std::string& option)
{
    return WindowOf(m, ParseInts(text, 4, option), option + " " + text);
}

TWindow WindowOf(const Model& m, const std::vector<int>& v, const std::string& what)
{
    if (v.size() != 4) throw Error(what + ": expected 4 numbers x1, y1, x2, y2");
    for (int k = 0; k < 4; ++k) {
        const int limit = k % 2 == 0 ? m.XMax : m.YMax;
        if (v[static_cast<size_t>(k)] < 0 || v[static_cast<size_t>(k)] > limit)
            throw Error(Format("%s: the corners must lie in 0..%d x 0..%d", {what, m.XMax, m.YMax}));
    }
    return {v[0], v[1], v[2], v[3]};
}

TWindow WindowOrGrid(const Model& m, const std::string& text)
{
    if (text.empty()) return {0, 0, m.XMax, m.YMax};
    return ParseWindow(m, text);
}

int ParseSpecies(const Model& m, int number, const std::string& option)
{
    if (number < 1 || number > m.SpeciesMax + 1)
        throw Error(Format("%s %d: the species are numbered 1..%d", {option, number, m.SpeciesMax + 1}));
    return number - 1;
}

} // namespace marovi::cli
