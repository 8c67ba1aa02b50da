#include "runner.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "files/grid_file.h"
#include "files/status_list.h"
#include "model/model.h"
#include "model/simulation.h"
#include "model/step_threads.h"
#include "util/error.h"
#include "util/format.h"

namespace fs = std::filesystem;

namespace marovi::cli {

TTempDir::TTempDir()
{
    std::string pattern = (fs::temp_directory_path() / "marovi-cli-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw Error("can not create a temporary directory in " + fs::temp_directory_path().string());
    path_ = pattern;
}

TTempDir::~TTempDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

namespace {

long long NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string DurationText(double seconds)
{
    const long long s = static_cast<long long>(seconds + 0.5);
    if (s >= 3600) return Format("%d:%2.2d:%2.2d", {s / 3600, s / 60 % 60, s % 60});
    return Format("%d:%2.2d", {s / 60, s % 60});
}

} // namespace

TProgressLine::TProgressLine(bool quiet) : enabled_(!quiet && ::isatty(STDERR_FILENO) == 1), startMs_(NowMs()) {}

void TProgressLine::Show(const std::string& text, bool force)
{
    if (!enabled_) return;
    const long long now = NowMs();
    if (!force && now - lastMs_ < 200) return;
    lastMs_ = now;
    std::fprintf(stderr, "\r%-70s", text.c_str());
    std::fflush(stderr);
    shown_ = true;
}

void TProgressLine::ShowCount(const std::string& label, long long done, long long total, const std::string& unit,
                              bool perMinute, bool force, long long before)
{
    if (!enabled_) return;
    const double seconds = static_cast<double>(NowMs() - startMs_) / 1000.0;
    Show(Format("%s %d of %d, ", {label, done, total}) + RateText(done - before, total - done, seconds, unit, perMinute),
         force);
}

void TProgressLine::Finish()
{
    if (!shown_) return;
    std::fprintf(stderr, "\r%70s\r", "");
    std::fflush(stderr);
    shown_ = false;
}

std::string RateText(long long done, long long left, double seconds, const std::string& unit, bool perMinute)
{
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds * (perMinute ? 60 : 1) : 0;
    const std::string speed = Format("%.1f %s/%s", {rate, unit, std::string(perMinute ? "min" : "s")});
    if (done <= 0 || rate <= 0) return speed;
    return speed + ", " + DurationText(static_cast<double>(left) / rate * (perMinute ? 60 : 1)) + " left";
}

const char* const ThreadsHelp = "threads each run's time steps use (default: the processors this process may use, "
                                "shared with the runs side by side); every count gives the same results";

void CheckThreads(const CLI::Option* option, int threads)
{
    if (option && option->count() > 0 && (threads < 1 || threads > MaxStepThreads))
        throw Error(Format("--threads must be 1..%d", {MaxStepThreads}));
}

namespace {
constexpr int MaxGridSide = 10000;
constexpr long long MaxGridCells = 4000000;
} // namespace

bool GridSizeFits(int w, int h)
{
    return w >= 1 && h >= 1 && w <= MaxGridSide && h <= MaxGridSide && static_cast<long long>(w) * h <= MaxGridCells;
}

void ParseGridSize(const std::string& text, int& w, int& h, const std::string& what)
{
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos || !ParseInt(text.substr(0, x), w) || !ParseInt(text.substr(x + 1), h))
        throw Error(what + " " + text + ": expected WIDTHxHEIGHT, e.g. 100x100");
    if (!GridSizeFits(w, h))
        throw Error(Format("%s %s: each side must be 1..%d and the grid at most %d cells",
                           {what, text, MaxGridSide, MaxGridCells}));
}

Model LoadSimulationFile(const std::string& path)
{
    Model m;
    try {
        LoadGridFile(m, path);
    } catch (const Error& e) {
        const std::string message = e.what();
        if (message.find(path) != std::string::npos) throw;
        throw Error(path + ": " + message);
    }
    m.FileName = path;
    return m;
}

void CheckWritable(const std::string& path)
{
    const fs::path p(path);
    if (p.filename().empty()) throw Error("can not write " + path + ": no file name");
    const fs::path dir = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw Error("can not write " + path + ": the directory " + dir.string() + " does not exist");
    if (fs::is_directory(p, ec)) throw Error("can not write " + path + ": it is a directory");
}

void SaveRunOutputs(const Model& m, const std::string& out, const TStatusList* list)
{
    if (!list) {
        SaveGridFile(m, out);
        return;
    }
    // The grid file waits under a temporary name until its companion is written.
    const std::string part = out + ".~" + std::to_string(::getpid()) + ".part";
    try {
        SaveGridFile(m, part);
        list->SaveCompanion(CompanionFileName(out));
        std::error_code ec;
        fs::rename(part, out, ec);
        if (ec) throw Error("can not replace " + out + ": " + ec.message());
    } catch (...) {
        std::error_code ec;
        fs::remove(part, ec);
        throw;
    }
}

std::string ReplicateName(const std::string& out, int number)
{
    fs::path p(out);
    p.replace_extension();
    return p.string() + Format("_%3.3d.mgf", {number});
}

} // namespace marovi::cli
