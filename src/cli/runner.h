#pragma once
#include <cstdint>
#include <string>

namespace CLI {
class Option;
}

namespace marovi {
struct Model;
class TStatusList;
}

namespace marovi::cli {

// A private directory for the status list's overflow files, removed when done, so that
// runs side by side never share them.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A progress line on stderr, drawn only when stderr is a terminal (and not quiet) and at most
// a few times a second; Finish clears it.
class TProgressLine {
public:
    explicit TProgressLine(bool quiet = false);
    ~TProgressLine() { Finish(); }
    void Show(const std::string& text, bool force = false);
    // "LABEL DONE of TOTAL, RATE UNIT/s (or /min), M:SS left": the rate of what was done since
    // construction, when `before` were done already.
    void ShowCount(const std::string& label, long long done, long long total, const std::string& unit,
                   bool perMinute, bool force = false, long long before = 0);
    void Finish();

private:
    bool enabled_;
    bool shown_ = false;
    long long startMs_;
    long long lastMs_ = -1000;
};

// "3.0 steps/s, 1:05 left": the rate of `done` in `seconds` and the time `left` takes at it.
std::string RateText(long long done, long long left, double seconds, const std::string& unit, bool perMinute);

// The help of --threads, and its check (when given).
extern const char* const ThreadsHelp;
void CheckThreads(const CLI::Option* option, int threads);

// WIDTHxHEIGHT of a start-up grid; errors begin with what + " " + text.
void ParseGridSize(const std::string& text, int& w, int& h, const std::string& what);
// Whether a grid of w x h cells is one the runner makes: at most 10000 a side, 4000000 in all.
bool GridSizeFits(int w, int h);

// Loads a grid file into a fresh model whose FileName is the path. A message that does not
// name the file gets its name in front, since a console has no caption to show it.
Model LoadSimulationFile(const std::string& path);

// Refuses a target whose directory does not exist before a long run starts.
void CheckWritable(const std::string& path);

// Saves the grid file and, when a status list is given, its companion file; nothing of a
// failed save stays behind and an old OUT is kept.
void SaveRunOutputs(const Model& m, const std::string& out, const TStatusList* list);

// The grid file of replicate `number` (1-based): OUT's stem + "_001.mgf".
std::string ReplicateName(const std::string& out, int number);

} // namespace marovi::cli
