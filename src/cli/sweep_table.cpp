#include "sweep_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "files/safe_file.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "model/status_line.h"
#include "sweep_plan.h"
#include "util/error.h"
#include "util/format.h"

namespace fs = std::filesystem;

namespace marovi::cli {
namespace {

constexpr const char* LineEnd = "\r\n";

std::string Real(double v) { return Format("%.17g", {v}); }

void WriteAll(int fd, const std::string& bytes, const std::string& path)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw Error("can not write " + path + ": " + std::strerror(errno));
        done += static_cast<size_t>(n);
    }
}

int OpenAppend(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) throw Error("can not write " + path + ": " + std::strerror(errno));
    return fd;
}

std::string ReadPrefix(const std::string& path, size_t length)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("can not read " + path);
    std::string bytes;
    bytes.resize(length);
    in.read(bytes.data(), static_cast<std::streamsize>(length));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

// The complete "RUN END" lines of a journal: the end of the last one that fits the table,
// and the table's length when nothing is journalled yet.
size_t JournalledEnd(const std::string& journal, size_t tableSize)
{
    std::istringstream in(ReadPrefix(journal, static_cast<size_t>(fs::file_size(journal))));
    size_t end = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (in.eof()) break; // a line cut short by a kill
        long long run = 0, at = 0;
        std::istringstream fields(line);
        if (!(fields >> run >> at) || at < static_cast<long long>(end) || static_cast<size_t>(at) > tableSize) break;
        end = static_cast<size_t>(at);
    }
    return end;
}

// A field as CSV has it: in double quotes (doubled inside) when it holds a comma, a quote
// or a line end.
std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

std::string TableHeader(const TSweepPlan& plan, int speciesCount)
{
    std::string h = "run,seed";
    if (!plan.StartColumn.empty()) h += "," + plan.StartColumn;
    for (const TVaried& v : plan.Varied) h += "," + v.Column;
    h += ",step";
    for (int s = 1; s <= speciesCount; ++s) h += Format(",species%d", {s});
    h += ",diversity,guild_diversity,disturbance_events,disturbed_cells";
    for (int s = 1; s <= speciesCount; ++s) h += Format(",extinction%d", {s});
    return h + ",end_step,end_reason";
}

std::string RunPrefix(const TSweepPlan& plan, const TSweepRun& run)
{
    std::string p = Format("%d,%d,", {run.Id, run.Seed});
    if (!plan.StartColumn.empty()) p += CsvField(plan.Starts[static_cast<size_t>(run.Start)].Label) + ",";
    for (size_t i = 0; i < plan.Varied.size(); ++i) {
        const TParameter& parameter = *plan.Varied[i].Parameter;
        // read.csv takes TRUE and FALSE as logical values (not true and false), as pandas does.
        if (parameter.Kind == TParameterKind::Boolean) p += run.Values[i] != 0 ? "TRUE," : "FALSE,";
        else p += ParameterValueText(parameter, run.Values[i]) + ",";
    }
    return p;
}

std::string TableRow(const TSweepPlan& plan, const TSweepRun& run, const Model& m, int speciesCount)
{
    std::string r = RunPrefix(plan, run) + std::to_string(m.TimeStep);
    const int species = m.SpeciesMax + 1;
    // Species the pool lacks have no count: their fields stay empty (NA in R and pandas).
    auto counts = [&](const TSpeciesCounts& c) {
        for (int s = 0; s < speciesCount; ++s) r += s < species ? "," + std::to_string(c[static_cast<size_t>(s)]) : ",";
    };
    counts(m.StepAbundance);
    r += "," + Real(m.DiversityFunc(m, m.StepAbundance)) + "," + Real(m.DiversityFunc(m, GuildVector(m)));
    r += Format(",%d,%d", {m.DisturbanceEventCount, m.DisturbedCellCount});
    counts(m.ExtinctionStep);
    return r;
}

std::string RunRows(const std::vector<std::string>& rows, int endStep, const std::string& reason)
{
    const std::string end = Format(",%d,", {endStep}) + reason + LineEnd;
    std::string out;
    for (const std::string& r : rows) out += r + end;
    return out;
}

std::vector<std::vector<std::string>> CsvRecords(const std::string& text)
{
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    const auto endField = [&] { fields.push_back(std::exchange(field, {})); };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (quoted) {
            if (c != '"') field += c;
            else if (next == '"') field += c, ++i;
            else quoted = false;
        } else if (c == '"') quoted = true;
        else if (c == ',') endField();
        else if (c == '\n') {
            endField();
            records.push_back(std::exchange(fields, {}));
        } else if (c != '\r' || next != '\n') field += c;
    }
    if (!field.empty() || !fields.empty()) { // a last record without its line end
        endField();
        records.push_back(std::move(fields));
    }
    return records;
}

TTableBlocks ReadTable(const std::string& path, size_t length)
{
    const std::string bytes = ReadPrefix(path, length);
    TTableBlocks t;
    size_t at = 0;
    bool first = true;
    while (at < bytes.size()) {
        const size_t nl = bytes.find('\n', at);
        if (nl == std::string::npos) break; // an unfinished last line
        std::string line = bytes.substr(at, nl - at);
        at = nl + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (first) {
            t.Header = line;
            first = false;
            continue;
        }
        int run = 0;
        if (!ParseInt(line.substr(0, line.find(',')), run) || run < 1)
            throw Error(path + ": a row without a run number: " + line.substr(0, 60));
        t.Runs[run] += line + LineEnd;
    }
    if (first) throw Error(path + ": no header line");
    return t;
}

void WriteSortedTable(const std::string& path, const TTableBlocks& t)
{
    TSafeFile f(path);
    f.WriteLine(t.Header);
    for (const auto& [run, rows] : t.Runs) f.Write(rows);
    f.Commit();
}

std::string JournalName(const std::string& table) { return table + ".journal"; }

TSweepTable::TSweepTable(const std::string& path, const std::string& header)
    : path_(path), journal_(JournalName(path)), header_(header)
{
    std::error_code ec;
    if (!fs::exists(path_, ec)) {
        fs::remove(journal_, ec);
        TSafeFile f(path_);
        f.WriteLine(header_);
        f.Commit();
    }
    const size_t size = static_cast<size_t>(fs::file_size(path_));
    const bool journalled = fs::exists(journal_, ec);
    size_t end = journalled ? JournalledEnd(journal_, size) : size;
    const TTableBlocks t = ReadTable(path_, end == 0 ? size : end);
    if (t.Header != header_)
        throw Error(path_ + " holds the table of another plan (its columns differ); choose another --out");
    if (end == 0) end = t.Header.size() + 2; // killed before the first run: the header stays
    for (const auto& [run, rows] : t.Runs) done_[run] = rows.substr(0, rows.find('\n') + 1);
    if (journalled && ::truncate(path_.c_str(), static_cast<off_t>(end)) != 0)
        throw Error("can not shorten " + path_ + ": " + std::strerror(errno));
    if (!journalled) {
        journalFd_ = OpenAppend(journal_);
        WriteAll(journalFd_, Format("0 %d\n", {static_cast<long long>(end)}), journal_);
    } else journalFd_ = OpenAppend(journal_);
    tableFd_ = OpenAppend(path_);
}

TSweepTable::~TSweepTable()
{
    if (tableFd_ >= 0) ::close(tableFd_);
    if (journalFd_ >= 0) ::close(journalFd_);
}

void TSweepTable::Append(int run, const std::string& rows)
{
    std::lock_guard<std::mutex> g(lock_);
    WriteAll(tableFd_, rows, path_);
    const off_t end = ::lseek(tableFd_, 0, SEEK_END);
    WriteAll(journalFd_, Format("%d %d\n", {run, static_cast<long long>(end)}), journal_);
    done_[run] = rows.substr(0, rows.find('\n') + 1);
}

void TSweepTable::Finish()
{
    std::lock_guard<std::mutex> g(lock_);
    ::close(tableFd_);
    ::close(journalFd_);
    tableFd_ = journalFd_ = -1;
    WriteSortedTable(path_, ReadTable(path_, static_cast<size_t>(fs::file_size(path_))));
    std::error_code ec;
    fs::remove(journal_, ec);
}

} // namespace marovi::cli
