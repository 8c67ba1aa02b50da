#pragma once
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace marovi {
struct Model;
}

namespace marovi::cli {

struct TSweepPlan;
struct TSweepRun;

// The tidy table of a sweep: a CSV header line, then one row per run and recorded time step.
// speciesCount is the most species any start of the plan has; rows of a smaller pool leave
// the columns of the species it lacks empty.
std::string TableHeader(const TSweepPlan& plan, int speciesCount);
// The row of the model's present state in the run, without its last two fields.
std::string TableRow(const TSweepPlan& plan, const TSweepRun& run, const Model& m, int speciesCount);
// A run's rows, each with the two fields that end it: the time step at which the run ended
// and why ("steps", "diversity_zero", "termination").
std::string RunRows(const std::vector<std::string>& rows, int endStep, const std::string& reason);
// The fields a run's rows begin with (run id, seed, start, varied values), comma-terminated.
std::string RunPrefix(const TSweepPlan& plan, const TSweepRun& run);

// The records of a table's text, each as its fields: divided by commas, records by line
// ends (LF or CR LF); a field in double quotes may hold commas, line ends and quotes
// (doubled), as the table writes the names of scenarios and files.
std::vector<std::vector<std::string>> CsvRecords(const std::string& text);

// The rows of a table by run id, each run's rows as one block of lines.
struct TTableBlocks {
    std::string Header;
    std::map<int, std::string> Runs;
};
TTableBlocks ReadTable(const std::string& path, size_t length);
// Writes header and blocks by run id in place of `path`.
void WriteSortedTable(const std::string& path, const TTableBlocks& t);

// A table that runs append to while a sweep goes on. Each run's rows go to the end of the
// table in one write, and then a line "RUN END" to the journal beside it (TABLE.journal):
// all bytes of the table up to END are complete runs. Reopening cuts the table back to the
// journal's last complete entry, so a sweep killed in the middle of a write leaves no half
// run behind. A table without a journal is a finished one.
class TSweepTable {
public:
    // Opens or creates the table; refuses one with another header.
    TSweepTable(const std::string& path, const std::string& header);
    ~TSweepTable();
    TSweepTable(const TSweepTable&) = delete;
    TSweepTable& operator=(const TSweepTable&) = delete;

    // The runs already in the table, with their first row's leading fields.
    const std::map<int, std::string>& Done() const { return done_; }
    // Appends one run's rows; safe from several threads.
    void Append(int run, const std::string& rows);
    // Rewrites the table sorted by run id and removes the journal.
    void Finish();

private:
    std::string path_, journal_, header_;
    int tableFd_ = -1, journalFd_ = -1;
    std::map<int, std::string> done_;
    std::mutex lock_;
};

std::string JournalName(const std::string& table);

} // namespace marovi::cli
