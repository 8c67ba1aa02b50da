#pragma once
#include <cstdint>
#include <optional>
#include <string>

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

// A progress line on stderr, drawn only when stderr is a terminal and at most a few times
// a second; Finish clears it.
class TProgressLine {
public:
    TProgressLine();
    ~TProgressLine() { Finish(); }
    void Show(const std::string& text, bool force = false);
    void Finish();

private:
    bool enabled_;
    bool shown_ = false;
    long long lastMs_ = -1000;
};

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
