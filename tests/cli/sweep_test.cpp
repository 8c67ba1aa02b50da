// End-to-end tests of marovi-cli sweep and merge.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "cli_fixture.h"
#include "util/format.h"

using namespace cli_test;
using marovi::Model;

namespace {

class Sweep : public CliTest {
protected:
    void Put(const std::string& name, const std::string& text) const { std::ofstream(dir / name, std::ios::binary) << text; }
};

std::vector<std::string> Split(const std::string& line, char separator)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t at; (at = line.find(separator, start)) != std::string::npos; start = at + 1)
        fields.push_back(line.substr(start, at - start));
    fields.push_back(line.substr(start));
    return fields;
}

int Number(const std::string& text) { return std::stoi(text); }

} // namespace

TEST_F(Sweep, RowsEqualSingleRunsWithTheSameSeedAndValues)
{
    ASSERT_EQ(Run("new --seed 5 --grid 10x8 --steps 0 --out base.mgf").Code, 0);
    Put("plan.toml", "file = \"base.mgf\"\nsteps = 6\nevery = 4\nseeds = [4, 5]\nkeep_grids = \"grids\"\n"
                     "[vary]\nBiasedLottery = [false, true]\n[vary.species.2]\n"
                     "Fecundity = { from = 3.0, to = 9.0, step = 6.0 }\n");
    TCliResult r = Run("sweep plan.toml --jobs 2 --threads 2 --out t.csv");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    const std::vector<std::string> table = ReadLines(dir / "t.csv");
    std::string header = "run,seed,BiasedLottery,species2.Fecundity,step";
    for (int s = 1; s <= 10; ++s) header += ",species" + std::to_string(s);
    header += ",diversity,guild_diversity,disturbance_events,disturbed_cells";
    for (int s = 1; s <= 10; ++s) header += ",extinction" + std::to_string(s);
    header += ",end_step,end_reason";
    ASSERT_EQ(table.size(), 1u + 8 * 3); // 2 x 2 values x 2 seeds, rows at steps 0, 4 and 6
    EXPECT_EQ(table[0], header);

    for (int run = 1; run <= 8; ++run) {
        // The seed changes fastest, then the last parameter of the plan.
        const int seed = 4 + (run - 1) % 2;
        const bool biased = (run - 1) / 4 == 1;
        const double fecundity = (run - 1) / 2 % 2 == 0 ? 3.0 : 9.0;
        Model m = Load("base.mgf");
        m.BiasedLottery = biased;
        m.SpeciesPool[1].Fecundity[0] = fecundity;
        marovi::SaveGridFile(m, (dir / "v.mgf").string());
        ASSERT_EQ(Run("new v.mgf --seed " + std::to_string(seed) + " --steps 6 --every 4 --status --out single.mgf").Code, 0);
        const fs::path kept = dir / "grids" / marovi::Format("run_%5.5d", {run});
        EXPECT_EQ(ReadBytes(kept.string() + ".mgf"), ReadBytes(dir / "single.mgf")) << run;
        // with its companion, for the desktop's population graph
        EXPECT_EQ(WithoutDates(ReadLines(kept.string() + ".TXT")), WithoutDates(ReadLines(dir / "single.TXT"))) << run;

        std::vector<std::string> status; // oldest first, without the header
        for (const std::string& l : ReadLines(dir / "single.TXT"))
            if (l[0] != '#') status.insert(status.begin(), l);
        ASSERT_EQ(status.size(), 3u);
        for (size_t k = 0; k < 3; ++k) {
            const std::vector<std::string> row = Split(table[1 + (run - 1) * 3 + k], ',');
            const std::vector<std::string> line = Split(status[k], ';');
            ASSERT_EQ(row.size(), 31u);
            EXPECT_EQ(row[29] + "," + row[30], "6,steps");
            EXPECT_EQ(row[0], std::to_string(run));
            EXPECT_EQ(row[1], std::to_string(seed));
            EXPECT_EQ(row[2], biased ? "TRUE" : "FALSE");
            EXPECT_EQ(row[3], fecundity == 3.0 ? "3" : "9");
            EXPECT_EQ(Number(row[4]), Number(line[1])) << "time step";
            for (int s = 0; s < 10; ++s) EXPECT_EQ(Number(row[5 + s]), Number(line[6 + s])) << "species " << s + 1;
            EXPECT_EQ(marovi::Format("%8.2f", {std::stod(row[15])}), line[2]) << "diversity";
            EXPECT_EQ(marovi::Format("%8.2f", {std::stod(row[16])}), line[3]) << "guild diversity";
            EXPECT_EQ(Number(row[17]), Number(line[4]));
            EXPECT_EQ(Number(row[18]), Number(line[5]));
            if (k == 2) {
                const Model last = Load("single.mgf");
                for (int s = 0; s < 10; ++s) EXPECT_EQ(Number(row[19 + s]), last.ExtinctionStep[s]);
            }
        }
    }
    EXPECT_NE(ReadBytes(dir / "t.csv.provenance.txt").find("\r\nplan_text = \"\"\"\nfile = \\\"base.mgf\\\"\n"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "t.csv.journal"));
}

TEST_F(Sweep, BadPlansAreRefusedNamingTheLineBeforeAnyRun)
{
    const std::string start = "grid = \"8x8\"\nsteps = 2\nseeds = [1]\n";
    const std::pair<std::string, std::string> cases[] = {
        {start + "stpes = 4\n", "p.toml:4: unknown key \"stpes\""},
        {start + "[vary]\nNeighbourhoodSize = [1, 25]\n", "p.toml:5: NeighbourhoodSize must be 1..24 (not 25)"},
        {start + "[vary]\nKFactor = [1.0]\n", "p.toml:5: no global parameter is called \"KFactor\""},
        {start + "[vary.species.11]\nFecundity = [1.0]\n", "p.toml:4: species \"11\" does not exist: the pool has species 1..10"},
        {start + "[vary.species.2]\n\nFecundity = [1.0, -1.0]\n", "p.toml:6: Fecundity must be 0..1000 (not -1)"},
        {start + "[vary.species.2]\nDeathProbability = [0.1]\n", "p.toml:5: no species field is called \"DeathProbability\""},
        {start + "[vary]\nTorus = [1]\n", "p.toml:5: Torus takes true or false"},
        {"grid = \"0x8\"\nsteps = 2\nseeds = [1]\n", "p.toml:1: grid 0x8: each side must be 1..10000 and the grid at most 4000000 cells"},
        {"steps = 2\nseeds = [1, 1]\n", "p.toml:2: seed 1 is listed twice"},
        {"steps = 2\n", "p.toml: the plan names no seeds (seeds = [...] or replicates = N)"},
    };
    for (const auto& [plan, message] : cases) {
        Put("p.toml", plan);
        TCliResult r = Run("sweep p.toml --out t.csv");
        EXPECT_EQ(r.Code, 1) << plan;
        EXPECT_EQ(r.Err, "marovi-cli: " + message + "\n") << plan;
        EXPECT_EQ(Files(), (Names{"p.toml"})) << plan;
    }
    Put("p.toml", "steps = = 2\n");
    EXPECT_EQ(Run("sweep p.toml --out t.csv").Err.rfind("marovi-cli: p.toml:1: ", 0), 0u);
}

TEST_F(Sweep, AKilledSweepKeepsItsFinishedRunsAndTheSameCommandFinishesIt)
{
    Put("plan.toml", "grid = \"30x30\"\nsteps = 40\nevery = 20\nreplicates = 10\nfirst_seed = 3\n");
    const TCliResult whole = Run("sweep plan.toml --jobs 1 --out whole.csv");
    ASSERT_EQ(whole.Code, 0) << whole.Err;

    const std::string command = "cd '" + dir.string() + "' && { '" MAROVI_CLI
                                "' sweep plan.toml --jobs 1 --out t.csv >/dev/null 2>&1 & echo $! > pid; }";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const int pid = std::stoi(ReadBytes(dir / "pid"));
    // Killed without warning once two runs are in the table.
    for (int i = 0; i < 3000 && ReadBytes(dir / "t.csv.journal").find("\n2 ") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    for (int i = 0; i < 500 && ::kill(pid, 0) == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::exists(dir / "t.csv.journal")) << "the sweep ended before it was killed";

    // Every row there is a whole one; a stamp in the first run shows that it is not run again.
    std::string killed = ReadBytes(dir / "t.csv");
    const size_t firstRowEnd = killed.find("\r\n", killed.find("\r\n") + 2);
    ASSERT_EQ(killed.substr(firstRowEnd - 11, 11), ",0,40,steps");
    killed[firstRowEnd - 10] = '7';
    Put("t.csv", killed);
    for (const std::string& row : ReadLines(dir / "t.csv")) EXPECT_EQ(Split(row, ',').size(), 29u) << row;

    TCliResult r = Run("sweep plan.toml --jobs 2 --out t.csv");
    ASSERT_EQ(r.Code, 0) << r.Err;
    std::string expected = ReadBytes(dir / "whole.csv");
    expected[firstRowEnd - 10] = '7';
    EXPECT_EQ(ReadBytes(dir / "t.csv"), expected);
    EXPECT_FALSE(fs::exists(dir / "t.csv.journal"));

    // Another plan's table is not continued.
    Put("plan.toml", "grid = \"40x40\"\nsteps = 60\nseeds = [1]\n[vary]\nTorus = [false]\n");
    EXPECT_EQ(Run("sweep plan.toml --out t.csv").Err,
              "marovi-cli: t.csv holds the table of another plan (its columns differ); choose another --out\n");
}

TEST_F(Sweep, PartsMergeIntoTheUnsplitTable)
{
    Put("plan.toml", "grid = \"12x12\"\nsteps = 4\nevery = 2\nseeds = [1, 2]\n[vary]\nNeighbourhoodSize = [1, 2, 3]\n");
    ASSERT_EQ(Run("sweep plan.toml --out whole.csv").Code, 0);
    ASSERT_EQ(Run("sweep plan.toml --part 1/3 --out p1.csv").Code, 0);
    // A Slurm array task takes its share from the environment: task 1 of 0..2 is part 2.
    ASSERT_EQ(Run("sweep plan.toml --out p2.csv", "SLURM_ARRAY_TASK_ID=1 SLURM_ARRAY_TASK_COUNT=3 SLURM_ARRAY_TASK_MIN=0").Code, 0);
    ASSERT_EQ(Run("sweep plan.toml --part 3/3 --out p3.csv").Code, 0);
    std::vector<std::string> runs;
    for (const std::string& row : ReadLines(dir / "p2.csv")) runs.push_back(row.substr(0, row.find(',')));
    EXPECT_EQ(runs, (Names{"run", "2", "2", "2", "5", "5", "5"}));

    TCliResult r = Run("merge p3.csv p1.csv p2.csv --out merged.csv");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(ReadBytes(dir / "merged.csv"), ReadBytes(dir / "whole.csv"));
    EXPECT_EQ(Run("merge p1.csv p1.csv --out twice.csv").Err, "marovi-cli: run 1 is in both p1.csv and p1.csv\n");
    EXPECT_EQ(Run("sweep plan.toml --part 4/3 --out p4.csv").Err,
              "marovi-cli: --part 4/3: expected K/N with 1 <= K <= N, e.g. 2/8\n");
}

TEST_F(Sweep, APlanComparesScenariosAndVariesTheirDisturbanceAndLandscape)
{
    // The recurrence gives the probability from the footprint size: the one of the run.
    auto scenario = [](const std::string& name, const std::string& recurrence, const std::string& xSize) {
        return "name = \"" + name + "\"\nNeighbourhoodSize = 2\n[[disturbance]]\nRecurrence = " + recurrence +
               "\nYSize = 2.0\n" + (xSize.empty() ? "" : "XSize = " + xSize + "\n");
    };
    Put("calm.toml", scenario("calm", "40", ""));
    Put("stormy.toml", scenario("stormy, often", "4", ""));
    Put("plan.toml", "grid = \"14x10\"\nsteps = 6\nevery = 3\nseeds = [7]\nkeep_grids = \"grids\"\n"
                     "scenario = [\"calm.toml\", \"stormy.toml\"]\n[vary.disturbance.1]\nXSize = [2.0, 5.0]\n"
                     "[vary.landscape]\nHighCapacityProb = [0.3]\n");
    TCliResult r = Run("sweep plan.toml --out t.csv");
    ASSERT_EQ(r.Code, 0) << r.Err;
    const std::vector<std::string> table = ReadLines(dir / "t.csv");
    ASSERT_EQ(table.size(), 1u + 4 * 3);
    // The scenario changes slowest; its column holds its name, quoted where CSV needs it.
    EXPECT_EQ(table[0].rfind("run,seed,scenario,disturbance1.XSize,landscape.HighCapacityProb,step,", 0), 0u);
    EXPECT_EQ(table[4].rfind("2,7,calm,5,0.3,0,", 0), 0u);
    EXPECT_EQ(table[7].rfind("3,7,\"stormy, often\",2,0.3,0,", 0), 0u);
    // Each run is new with its scenario, the varied values written in.
    const std::pair<const char*, const char*> runs[] = {{"40", "2.0"}, {"40", "5.0"}, {"4", "2.0"}, {"4", "5.0"}};
    for (int run = 1; run <= 4; ++run) {
        Put("single.toml", scenario("single", runs[run - 1].first, runs[run - 1].second));
        ASSERT_EQ(Run("new --scenario single.toml --grid 14x10 --high-prob 0.3 --seed 7 --steps 6 --out single.mgf").Code, 0);
        EXPECT_EQ(ReadBytes(dir / "grids" / marovi::Format("run_%5.5d.mgf", {run})), ReadBytes(dir / "single.mgf")) << run;
    }
    EXPECT_NE(Load("grids/run_00004.mgf").DisturbanceEventCount, 0);
}

TEST_F(Sweep, RunsThatEndEarlySayWhenAndWhy)
{
    // Species 2 dies out in the first step, leaving one species: diversity 0. The second
    // scenario's termination criterion holds after step 3.
    Put("dying.toml", "[[species]]\nName = \"a\"\n[[species]]\nName = \"b\"\nDeathProb = 1.0\nFecundity = 0.0\n");
    Put("ending.toml", "MaxRuntime = 3\n");
    const std::string plan = "grid = \"10x10\"\nsteps = 8\nevery = 2\nseeds = [1]\nscenario = [\"dying.toml\", \"ending.toml\"]\n";
    auto ends = [&](const std::string& extra) {
        Put("plan.toml", plan + extra);
        fs::remove(dir / "t.csv");
        TCliResult r = Run("sweep plan.toml --out t.csv");
        EXPECT_EQ(r.Code, 0) << r.Err;
        std::vector<std::string> rows; // step, end step and reason of every row
        for (const std::string& row : ReadLines(dir / "t.csv")) {
            const std::vector<std::string> f = Split(row, ',');
            rows.push_back(f[0] + " " + f[3] + " " + f[f.size() - 2] + " " + f.back());
        }
        return rows;
    };
    EXPECT_EQ(ends(""), (Names{"run step end_step end_reason", "1 0 2 diversity_zero", "1 2 2 diversity_zero",
                               "2 0 3 termination", "2 2 3 termination", "2 3 3 termination"}));
    EXPECT_EQ(ends("to_horizon = true\n"),
              (Names{"run step end_step end_reason", "1 0 8 steps", "1 2 8 steps", "1 4 8 steps", "1 6 8 steps",
                     "1 8 8 steps", "2 0 3 termination", "2 2 3 termination", "2 3 3 termination"}));

    TCliResult r = Run("new --scenario dying.toml --grid 10x10 --seed 1 --steps 8 --every 2 --out o.mgf");
    EXPECT_EQ(r.Err, "marovi-cli: o.mgf: the run stopped at time step 2: the diversity fell to 0\n");
    ASSERT_EQ(Run("new --scenario dying.toml --grid 10x10 --seed 1 --steps 8 --every 2 --to-horizon --out o.mgf").Code, 0);
    EXPECT_EQ(Load("o.mgf").TimeStep, 8);
}
