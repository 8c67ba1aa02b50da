#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "model/types.h"

namespace marovi {
struct Model;

// The date and time text of a status entry. Injectable so that tests are exact.
using TClock = std::function<std::string()>;
// The local date and time as "yyyy-mm-dd hh:nn:ss".
std::string LocalDateTimeText();

// Lines the status list holds before they go to an overflow file.
constexpr size_t StatusListLimit = 25000;

// The status list of a run: text lines, newest first. When it grows to StatusListLimit
// lines it is written to an overflow file "~MAROVItemp%3.3d.tmp" in its temporary
// directory (empty: the current directory) and replaced by one notice line; the status
// data export and the companion file of a saved simulation gather these files again.
class TStatusList {
public:
    explicit TStatusList(TClock clock = LocalDateTimeText, std::string tempDirectory = {});

    const std::deque<std::string>& Lines() const { return lines_; }
    size_t Size() const { return lines_.size(); }
    void InsertTop(std::string line) { lines_.push_front(std::move(line)); }
    void Append(std::string line) { lines_.push_back(std::move(line)); }
    // Empties the list and forgets the overflow files of the previous run.
    void Reset();

    // Number of the next overflow file; above 0 saving has to gather the overflow files.
    int TempFileCounter() const { return tempFileCounter_; }
    std::string TempFilePath(int k) const;
    const std::string& TempDirectory() const { return tempDirectory_; }

    // date + separator + status line: the entries of "new", "+1" and the stop at diversity 0.
    std::string Entry(const Model& m) const;
    // date + separator + blank + status line: the entries of the run loop and of a load.
    std::string RunEntry(const Model& m) const;
    void AddEntry(const Model& m) { InsertTop(Entry(m)); }
    void AddRunEntry(const Model& m) { InsertTop(RunEntry(m)); }

    // The list after "new": the first status line above the column header line.
    void StartNew(const Model& m);
    // The list after loading a simulation: its one run entry.
    void StartLoaded(const Model& m);

    // At StatusListLimit lines or more: writes the list to the next overflow file, leaves
    // only the notice line and returns true.
    bool OverflowIfFull();

    // "save data": the list followed by the overflow files, notices included.
    void SaveStatusData(const std::string& path) const;
    // The companion file of a saved simulation: the same without the notice lines.
    void SaveCompanion(const std::string& path) const;

    // After an edit of the pool that had oldCount species: every line, also those of the
    // overflow files, gets the species columns of the pool now (see StatusLineAfterMoves).
    // False when the edit left every column where it was: nothing to rewrite.
    bool FollowSpeciesMoves(const TSpeciesMoves& moves, int oldCount, int newCount, char separator);

    // Used by the population data reader for lines beyond StatusListLimit.
    void SetTempFileCounter(int counter) { tempFileCounter_ = counter; }

private:
    void SaveGathered(const std::string& path, bool withNotices) const;

    TClock clock_;
    std::string tempDirectory_;
    std::deque<std::string> lines_;
    int tempFileCounter_ = 0;
};

// A line of the status list after an edit of the pool that had oldCount species and has
// newCount now: a status entry's last oldCount fields (the species counts) move with their
// species, a new species counts 0 ("%8d"); the column header gets the labels of newCount
// species. Other lines (notices, lines with fewer fields) stay as they are.
std::string StatusLineAfterMoves(const std::string& line, const TSpeciesMoves& moves, int oldCount, int newCount,
                                 char separator);

// The companion text file of a grid file: its name with the extension ".TXT".
std::string CompanionFileName(const std::string& gridFileName);

// Writes text lines ended by CR LF to path (beside, then renamed).
void SaveLines(const std::deque<std::string>& lines, const std::string& path);

// One point of the abundance chart.
struct TPopulationPoint {
    int32_t TimeStep = 0;
    TSpeciesCounts Counts{};
    double Shannon = 0.0;
};

// What the abundance chart shows after a companion file was read.
struct TPopulationData {
    std::vector<TPopulationPoint> Points; // in file order, the current state last
    int32_t MinStep = 0;                  // the time axis runs MinStep .. MaxStep + 1
    int32_t MaxStep = 0;
    std::string Error;                    // why reading stopped early; empty when complete
};

// Reads a companion file into the status list (which is replaced) and the chart data.
// Counts are read from field firstSpeciesColumn (1-based) on. A line that cannot be read
// ends the reading; what was read is kept and Error says where it stopped. Lines beyond
// StatusListLimit go to the first overflow file, so saving again loses nothing.
// progress is called every 25 lines with the number of lines read.
TPopulationData LoadPopulationData(const Model& m, const std::string& path, int firstSpeciesColumn,
                                   TStatusList& list, const std::function<void(size_t)>& progress = {});

} // namespace marovi
