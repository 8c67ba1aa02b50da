#include "files/status_list.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "analysis/indices.h"
#include "files/safe_file.h"
#include "model/model.h"
#include "model/species_moves.h"
#include "model/status_line.h"
#include "util/error.h"
#include "util/format.h"

namespace marovi {
namespace {

constexpr const char* TempFileFormat = "~MAROVItemp%3.3d.tmp";

// Reads one text line without its line end (LF or CR LF); false at the end of the file.
bool ReadLine(std::istream& in, std::string& line)
{
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// Field k (1-based) of a line whose fields are separated by sep, as an integer.
bool IntField(std::string_view line, char sep, int k, int& value)
{
    for (int i = 1; i < k; ++i) {
        size_t at = line.find(sep);
        if (at == std::string_view::npos) return false;
        line.remove_prefix(at + 1);
    }
    return ParseInt(line.substr(0, line.find(sep)), value);
}

} // namespace

std::string LocalDateTimeText()
{
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return Format("%4.4d-%2.2d-%2.2d %2.2d:%2.2d:%2.2d",
                  {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec});
}

TStatusList::TStatusList(TClock clock, std::string tempDirectory)
    : clock_(clock ? std::move(clock) : TClock(LocalDateTimeText)), tempDirectory_(std::move(tempDirectory))
{
}

void TStatusList::Reset()
{
    lines_.clear();
    tempFileCounter_ = 0;
}

std::string TStatusList::TempFilePath(int k) const
{
    const std::string name = Format(TempFileFormat, {k});
    return tempDirectory_.empty() ? name : (std::filesystem::path(tempDirectory_) / name).string();
}

std::string TStatusList::Entry(const Model& m) const { return clock_() + m.Separator + StatusLine(m); }

std::string TStatusList::RunEntry(const Model& m) const { return clock_() + m.Separator + " " + StatusLine(m); }

void TStatusList::StartNew(const Model& m)
{
    Reset();
    Append(Entry(m));
    Append("# time" + std::string(1, m.Separator) + StatusHeader(m));
}

void TStatusList::StartLoaded(const Model& m)
{
    Reset();
    Append(RunEntry(m));
}

bool TStatusList::OverflowIfFull()
{
    if (lines_.size() < StatusListLimit) return false;
    SaveLines(lines_, TempFilePath(tempFileCounter_));
    lines_.clear();
    Append(Format("> previos data saved to ~MAROVItemp%3.3d.tmp", {tempFileCounter_}));
    tempFileCounter_ += 1;
    return true;
}

void TStatusList::SaveStatusData(const std::string& path) const { SaveGathered(path, true); }

void TStatusList::SaveCompanion(const std::string& path) const { SaveGathered(path, false); }

void TStatusList::SaveGathered(const std::string& path, bool withNotices) const
{
    if (tempFileCounter_ == 0) {
        SaveLines(lines_, path);
        return;
    }
    // The list is the newest part; the overflow files hold older parts, higher numbers newer.
    SaveLines(lines_, TempFilePath(tempFileCounter_));
    TSafeFile out(path);
    std::string line;
    for (int k = tempFileCounter_; k >= 0; --k) {
        const std::string part = TempFilePath(k);
        std::ifstream in(part, std::ios::binary);
        if (!in) throw Error("can not write " + path + ": overflow file " + part + " is missing");
        while (ReadLine(in, line))
            if (withNotices || line.empty() || line[0] != '>') out.WriteLine(line);
        if (in.bad()) throw Error("can not write " + path + ": overflow file " + part + " can not be read");
    }
    out.Commit();
}

bool TStatusList::FollowSpeciesMoves(const TSpeciesMoves& moves, int oldCount, int newCount, char separator)
{
    if (oldCount == newCount && KeepsEverySpecies(moves, static_cast<size_t>(oldCount))) return false;
    for (std::string& line : lines_) line = StatusLineAfterMoves(line, moves, oldCount, newCount, separator);
    for (int k = 0; k < tempFileCounter_; ++k) {
        const std::string part = TempFilePath(k);
        std::ifstream in(part, std::ios::binary);
        if (!in) continue; // gone: saving will say so
        std::deque<std::string> lines;
        std::string line;
        while (ReadLine(in, line)) lines.push_back(StatusLineAfterMoves(line, moves, oldCount, newCount, separator));
        in.close();
        SaveLines(lines, part);
    }
    return true;
}

std::string StatusLineAfterMoves(const std::string& line, const TSpeciesMoves& moves, int oldCount, int newCount,
                                 char separator)
{
    const std::string header = std::string("# time") + separator;
    if (line.compare(0, header.size(), header) == 0) {
        const size_t labels = line.rfind(separator) + 1;
        return line.substr(0, labels) + SpeciesColumnLabels(newCount);
    }
    if (line.empty() || line[0] == '#' || line[0] == '>' || oldCount < 1) return line;
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
        const size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (fields.size() <= static_cast<size_t>(oldCount)) return line;
    const size_t first = fields.size() - static_cast<size_t>(oldCount);
    const std::vector<std::string> counts =
        MovedBySpecies(std::vector<std::string>(fields.begin() + static_cast<std::ptrdiff_t>(first), fields.end()), moves,
                       static_cast<size_t>(std::max(newCount, 0)), Format("%8d", {0}));
    std::string moved;
    for (size_t i = 0; i < first; ++i) moved += fields[i] + separator;
    for (size_t s = 0; s < counts.size(); ++s) moved += (s > 0 ? std::string(1, separator) : std::string()) + counts[s];
    if (counts.empty() && !moved.empty()) moved.pop_back();
    return moved;
}

std::string CompanionFileName(const std::string& gridFileName)
{
    std::filesystem::path p(gridFileName);
    p.replace_extension(".TXT");
    return p.string();
}

void SaveLines(const std::deque<std::string>& lines, const std::string& path)
{
    TSafeFile out(path);
    for (const std::string& line : lines) out.WriteLine(line);
    out.Commit();
}

TPopulationData LoadPopulationData(const Model& m, const std::string& path, int firstSpeciesColumn,
                                   TStatusList& list, const std::function<void(size_t)>& progress)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error(Format("file %s not found", {path}));
    list.Reset();
    TPopulationData data;
    int32_t last = m.TimeStep;
    data.MinStep = data.MaxStep = m.TimeStep;

    // Lines beyond the list's limit are older than every line in it: they become the
    // first overflow file, in front of which the list is gathered when saved.
    const std::string spillPath = list.TempFilePath(0);
    std::unique_ptr<TSafeFile> spill;

    std::string line;
    size_t lineNumber = 0;
    while (ReadLine(in, line)) {
        ++lineNumber;
        if (progress && lineNumber % 25 == 0) progress(lineNumber);
        if (!spill && list.Size() >= StatusListLimit) spill = std::make_unique<TSafeFile>(spillPath);
        if (!line.empty() && line[0] == '#') {
            if (spill) spill->WriteLine(line);
            else list.Append(line);
            continue;
        }
        auto stop = [&](const std::string& what) {
            data.Error = Format("%s, line %d: %s", {path, static_cast<long long>(lineNumber), what});
        };
        int t = 0;
        if (!IntField(line, m.Separator, 2, t)) { stop("the time step is not an integer"); break; }
        if (spill) spill->WriteLine(line);
        else if (t > last) list.InsertTop(line);
        else list.Append(line);
        last = t;
        if (t < data.MinStep) data.MinStep = t;
        if (t > data.MaxStep) data.MaxStep = t;
        TPopulationPoint point;
        point.TimeStep = t;
        bool complete = true;
        for (int s = 0; s <= m.SpeciesMax && complete; ++s)
            complete = IntField(line, m.Separator, firstSpeciesColumn + s, point.Counts[static_cast<size_t>(s)]);
        if (!complete) { stop("a species count is not an integer"); break; }
        point.Shannon = ShannonIndex(m, point.Counts);
        data.Points.push_back(point);
    }
    if (spill) {
        spill->Commit();
        list.Append(Format("> previos data saved to ~MAROVItemp%3.3d.tmp", {0}));
        list.SetTempFileCounter(1);
    }

    TPopulationPoint now;
    now.TimeStep = m.TimeStep;
    now.Counts = m.StepAbundance;
    now.Shannon = ShannonIndex(m, m.StepAbundance);
    data.Points.push_back(now);
    return data;
}

} // namespace marovi
