// End-to-end tests of marovi-cli: the built binary is run on files in a scratch directory.
#include <fstream>
#include <sstream>

#include "cli_fixture.h"
#include "files/status_list.h"
#include "model/model.h"
#include "model/simulation.h"
#include "model/status_line.h"

namespace fs = std::filesystem;
using marovi::Model;

using namespace cli_test;

namespace {

class Cli : public CliTest {};

} // namespace

TEST_F(Cli, EveryCommandHasHelp)
{
    const std::pair<const char*, const char*> commands[] = {
        {"new", "--replicates"}, {"run", "--every"}, {"export", "--separator"}, {"info", "IN"},
        {"sweep", "--part"},     {"merge", "PART"},        {"scenario", "--out"}};
    for (const auto& [command, option] : commands) {
        TCliResult r = Run(std::string(command) + " --help");
        EXPECT_EQ(r.Code, 0) << command;
        EXPECT_NE(r.Out.find(option), std::string::npos) << command << ":\n" << r.Out;
    }
    TCliResult r = Run("--help");
    EXPECT_EQ(r.Code, 0);
    for (const char* command : {"new", "run", "export", "info", "sweep", "merge", "scenario"}) EXPECT_NE(r.Out.find(command), std::string::npos);
    EXPECT_NE(Run("").Code, 0); // a command is required
}

TEST_F(Cli, NewWritesTheRunAndItsStatusList)
{
    TCliResult r = Run("new --seed 11 --grid 20x15 --steps 5 --every 2 --status --out run.mgf");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Err, ""); // no progress line when stderr is not a terminal
    EXPECT_EQ(Files(), (Names{"run.TXT", "run.mgf", "run.mgf.provenance.txt"}));
    // What produced it, beside it: the formats the desktop program reads stay as they are.
    const std::string provenance = ReadBytes(dir / "run.mgf.provenance.txt");
    for (const char* line : {"output = \"run.mgf\"\r\n", "program = \"marovi-cli 1.6b, core V 1.20\"\r\n",
                             "command = \"marovi-cli new --seed 11 --grid 20x15 --steps 5 --every 2 --status --out run.mgf\"\r\n",
                             "seed = 11\r\n", "steps = 5\r\n", "\r\n[parameters]\r\nStartFill = 19\r\n",
                             "DispersalKernel = \"exponential\"\r\n", "species10.DispersalDistance = 10\r\n"})
        EXPECT_NE(provenance.find(line), std::string::npos) << line << provenance;

    Model m = Load("run.mgf");
    EXPECT_EQ(m.XDim, 20);
    EXPECT_EQ(m.YDim, 15);
    EXPECT_EQ(m.TimeStep, 5);
    EXPECT_EQ(m.SpeciesMax, 9);
    EXPECT_EQ(m.RandomSeed, 11);

    // Rounds of 2, 2 and 1 steps, newest first, then the two lines of the new start.
    const auto lines = ReadLines(dir / "run.TXT");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].substr(lines[0].find(';')), "; " + marovi::StatusLine(m));
    EXPECT_EQ(lines[0].substr(lines[0].find(';'), 9), "; 000005;");
    EXPECT_EQ(lines[1].substr(lines[1].find(';'), 9), "; 000004;");
    EXPECT_EQ(lines[2].substr(lines[2].find(';'), 9), "; 000002;");
    EXPECT_EQ(lines[3].substr(lines[3].find(';'), 8), ";000000;");
    EXPECT_EQ(lines[4], "# time;" + marovi::StatusHeader(m));
    EXPECT_EQ(lines[0].find(';'), 19u); // "yyyy-mm-dd hh:nn:ss"

    // The desktop program reads it back as population graph data.
    marovi::TStatusList list;
    const marovi::TPopulationData data =
        marovi::LoadPopulationData(m, (dir / "run.TXT").string(), m.FirstSpeciesColumn, list);
    EXPECT_EQ(data.Error, "");
    ASSERT_EQ(data.Points.size(), 5u); // four entries and the current state
    EXPECT_EQ(data.Points[0].Counts, m.StepAbundance);
    EXPECT_EQ(data.Points[3].TimeStep, 0);
    EXPECT_EQ(data.MinStep, 0);
    EXPECT_EQ(data.MaxStep, 5);
}

TEST_F(Cli, ProgressLineOnlyOnATerminalAndNotQuiet)
{
    // script gives the command a terminal; what it shows comes back on its standard output.
    if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "script is not installed";
    auto shown = [&](const std::string& options) {
        const std::string command = "cd '" + dir.string() + "' && script -qec \"'" MAROVI_CLI
                                    "' new --seed 1 --grid 8x8 --steps 3 --out p.mgf " + options +
                                    "\" /dev/null > shown.txt 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(Load("p.mgf").TimeStep, 3);
        return ReadBytes(dir / "shown.txt");
    };
    const std::string line = shown("");
    EXPECT_NE(line.find("\rtime step 1 of 3, "), std::string::npos) << line;
    EXPECT_NE(line.find(" steps/s"), std::string::npos) << line;
    EXPECT_EQ(shown("--quiet").find("time step"), std::string::npos);
}

TEST_F(Cli, SameSeedSameFileOtherSeedOtherFile)
{
    ASSERT_EQ(Run("new --seed 3 --grid 12x12 --steps 4 --out a.mgf").Code, 0);
    ASSERT_EQ(Run("new --seed 3 --grid 12x12 --steps 4 --threads 3 --out b.mgf").Code, 0);
    ASSERT_EQ(Run("new --seed 4 --grid 12x12 --steps 4 --out c.mgf").Code, 0);
    EXPECT_EQ(ReadBytes(dir / "a.mgf"), ReadBytes(dir / "b.mgf"));
    EXPECT_NE(ReadBytes(dir / "a.mgf"), ReadBytes(dir / "c.mgf"));
    EXPECT_EQ(Files(), (Names{"a.mgf", "a.mgf.provenance.txt", "b.mgf", "b.mgf.provenance.txt", "c.mgf",
                              "c.mgf.provenance.txt"})); // no companion without --status

    // Seed 0, which a file reads as "use the clock", is a seed like any other here.
    ASSERT_EQ(Run("new --seed 0 --grid 12x12 --steps 4 --out z1.mgf").Code, 0);
    ASSERT_EQ(Run("new --seed 0 --grid 12x12 --steps 4 --out z2.mgf").Code, 0);
    EXPECT_EQ(ReadBytes(dir / "z1.mgf"), ReadBytes(dir / "z2.mgf"));
}

TEST_F(Cli, ReplicatesEqualSingleRunsWithTheirSeeds)
{
    TCliResult r = Run("new --seed 40 --replicates 3 --jobs 2 --threads 2 --grid 12x10 --steps 6 --every 3 --status --out rep.mgf");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(Files(), (Names{"rep_001.TXT", "rep_001.mgf", "rep_001.mgf.provenance.txt", "rep_002.TXT", "rep_002.mgf",
                              "rep_002.mgf.provenance.txt", "rep_003.TXT", "rep_003.mgf", "rep_003.mgf.provenance.txt"}));
    EXPECT_NE(ReadBytes(dir / "rep_002.mgf.provenance.txt").find("\r\nseed = 41\r\n"), std::string::npos);
    for (int i = 0; i < 3; ++i) {
        const std::string single = "single" + std::to_string(i) + ".mgf";
        ASSERT_EQ(Run("new --seed " + std::to_string(40 + i) + " --grid 12x10 --steps 6 --every 3 --status --out " + single).Code, 0);
        const std::string rep = "rep_00" + std::to_string(i + 1);
        EXPECT_EQ(ReadBytes(dir / (rep + ".mgf")), ReadBytes(dir / single)) << rep;
        EXPECT_EQ(WithoutDates(ReadLines(dir / (rep + ".TXT"))),
                  WithoutDates(ReadLines(dir / ("single" + std::to_string(i) + ".TXT"))));
    }
    EXPECT_NE(ReadBytes(dir / "rep_001.mgf"), ReadBytes(dir / "rep_002.mgf"));
}

TEST_F(Cli, NewFromAFileKeepsItsLandscapeAndRestarts)
{
    ASSERT_EQ(Run("new --seed 8 --grid 10x10 --steps 3 --out base.mgf").Code, 0);
    TCliResult r = Run("new base.mgf --seed 9 --fill 4 --common-rhythm --steps 0 --status --out restart.mgf");
    ASSERT_EQ(r.Code, 0) << r.Err;
    Model base = Load("base.mgf");
    Model m = Load("restart.mgf");
    EXPECT_EQ(m.TimeStep, 0);
    EXPECT_EQ(m.RandomSeed, 9);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y) {
            EXPECT_EQ(m.Cell(x, y).Capacity, base.Cell(x, y).Capacity);
            if (x > 4) EXPECT_EQ(m.Cell(x, y).IndividualCount, 0) << x;
            else EXPECT_EQ(m.Cell(x, y).IndividualCount, m.Cell(x, y).Capacity) << x;
        }
    EXPECT_EQ(ReadLines(dir / "restart.TXT").size(), 2u); // only the lines of the new start
}

TEST_F(Cli, RunContinuesASavedSimulation)
{
    ASSERT_EQ(Run("new --seed 8 --grid 10x10 --steps 3 --out base.mgf").Code, 0);
    ASSERT_EQ(Run("run base.mgf --seed 5 --steps 4 --status --out a.mgf").Code, 0);
    ASSERT_EQ(Run("run base.mgf --seed 5 --steps 4 --out b.mgf").Code, 0);
    EXPECT_EQ(Load("a.mgf").TimeStep, 7);
    EXPECT_EQ(ReadBytes(dir / "a.mgf"), ReadBytes(dir / "b.mgf"));
    const auto lines = ReadLines(dir / "a.TXT");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3].substr(lines[3].find(';'), 9), "; 000004;");
}

TEST_F(Cli, TerminationCriterionEndsTheRunEarly)
{
    ASSERT_EQ(Run("new --seed 8 --grid 10x10 --steps 2 --out base.mgf").Code, 0);
    Model m = Load("base.mgf");
    m.MaxRuntime = 5;
    marovi::SaveGridFile(m, (dir / "term.mgf").string());
    TCliResult r = Run("run term.mgf --seed 1 --steps 10 --every 2 --status --out out.mgf");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(r.Err, "marovi-cli: out.mgf: the run stopped at time step 5: the termination criterion holds\n");
    EXPECT_EQ(Load("out.mgf").TimeStep, 5);
    EXPECT_EQ(ReadLines(dir / "out.TXT").size(), 2u); // rounds ending at 4 and 5
}

TEST_F(Cli, ExportsOfASavedSimulation)
{
    ASSERT_EQ(Run("new --seed 2 --grid 6x5 --steps 2 --status --out s.mgf").Code, 0);
    Model m = Load("s.mgf");
    int individuals = 0;
    for (const auto& c : m.Cells) individuals += c.IndividualCount;

    ASSERT_EQ(Run("export individuals s.mgf ind.txt").Code, 0);
    const auto ind = ReadLines(dir / "ind.txt");
    EXPECT_EQ(ind.size(), 8u + static_cast<size_t>(individuals));
    EXPECT_EQ(ind[4], "# timestep 00000002                                  #");

    ASSERT_EQ(Run("export species s.mgf sp.txt --separator ,").Code, 0);
    const auto sp = ReadLines(dir / "sp.txt");
    EXPECT_EQ(sp.size(), 7u + 10u * 6u * 5u);
    EXPECT_EQ(sp[6], "species, xpos , ypos, abundance, larvae @t-1");
    EXPECT_EQ(sp[7].substr(0, 19), "Species 01,000,000,");

    ASSERT_EQ(Run("export species s.mgf tab.txt --separator tab").Code, 0);
    EXPECT_EQ(ReadLines(dir / "tab.txt")[7].substr(0, 19), "Species 01\t000\t000\t");

    // The status data of a run without overflow is its companion file.
    ASSERT_EQ(Run("export status s.mgf status.txt").Code, 0);
    EXPECT_EQ(ReadBytes(dir / "status.txt"), ReadBytes(dir / "s.TXT"));
    fs::remove(dir / "s.TXT");
    ASSERT_EQ(Run("export status s.mgf alone.txt").Code, 0);
    const auto alone = ReadLines(dir / "alone.txt");
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].substr(19), "; " + marovi::StatusLine(m));
}

TEST_F(Cli, InfoSummarisesTheFile)
{
    ASSERT_EQ(Run("new --seed 2 --grid 7x9 --steps 1 --out s.mgf").Code, 0);
    TCliResult r = Run("info s.mgf");
    ASSERT_EQ(r.Code, 0) << r.Err;
    Model m = Load("s.mgf");
    EXPECT_NE(r.Out.find("grid: 7 x 9 cells, torus\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("time step: 1\n"), std::string::npos);
    EXPECT_NE(r.Out.find("species: 10\n"), std::string::npos);
    EXPECT_NE(r.Out.find("disturbance definitions: 0\n"), std::string::npos);
    EXPECT_NE(r.Out.find("diversity (Shannon Index): "), std::string::npos);
    char line[80];
    std::snprintf(line, sizeof line, "    1  Species 01           %10d", m.StepAbundance[0]);
    EXPECT_NE(r.Out.find(line), std::string::npos) << line << "\n" << r.Out;
}

TEST_F(Cli, ErrorsLeaveNoOutputAndFailWithAMessage)
{
    struct Case {
        const char* args;
        const char* message;
    };
    const Case cases[] = {
        {"run missing.mgf --steps 2 --out o.mgf", "file missing.mgf not found"},
        {"new --steps 2 --replicates 2 --out o.mgf", "--replicates needs --seed"},
        {"new --seed 1 --grid 10by10 --steps 2 --out o.mgf", "--grid 10by10: expected WIDTHxHEIGHT"},
        {"new --seed 1 --grid 0x10 --steps 2 --out o.mgf", "each side must be 1..10000"},
        {"new --seed 1 --grid 5000x5000 --steps 2 --out o.mgf", "at most 4000000 cells"},
        {"new --seed 1 --steps 2 --every 0 --out o.mgf", "--every must be at least 1"},
        {"new --seed 1 --steps 2 --threads 0 --out o.mgf", "--threads must be 1..1024"},
        {"new --seed 1 --steps -1 --out o.mgf", "--steps must not be negative"},
        {"new --seed 1 --steps 1 --out no/such/dir/o.mgf", "the directory no/such/dir does not exist"},
        {"new --seed 1 --steps 1 --status --out o.TXT", "its companion file would have the same name"},
        {"new --seed 2147483647 --replicates 2 --steps 1 --out o.mgf", "exceeds the largest seed"},
        {"export individuals missing.mgf o.txt", "file missing.mgf not found"},
        {"export species missing.mgf o.txt --separator ab", "one character expected"},
        {"info missing.mgf", "file missing.mgf not found"},
    };
    for (const Case& c : cases) {
        TCliResult r = Run(c.args);
        EXPECT_NE(r.Code, 0) << c.args;
        EXPECT_NE(r.Err.find(c.message), std::string::npos) << c.args << ": " << r.Err;
        EXPECT_EQ(r.Err.rfind("marovi-cli: ", 0), 0u) << r.Err;
        EXPECT_TRUE(Files().empty()) << c.args;
    }
    // Parser errors: a missing required option, an unknown export.
    for (const char* args : {"new --seed 1 --out o.mgf", "new --seed 1 --steps 2", "export bogus a.mgf b.txt"}) {
        TCliResult r = Run(args);
        EXPECT_NE(r.Code, 0) << args;
        EXPECT_FALSE(r.Err.empty()) << args;
    }
    EXPECT_TRUE(Files().empty());
}

TEST_F(Cli, NewAndRunTakeTheDrawsOfTheDesktopProgram)
{
    // new: the start-up state from the seed, the seed again for the new start, the steps.
    Model m;
    marovi::InitStartupModel(m, 21, 9, 7);
    m.RandomSeed = 21;
    m.StartFill = 5;
    m.OldReproInterval = false;
    marovi::NewSimulationModel(m, 0);
    for (int i = 0; i < 6; ++i) marovi::StepAndRefreshModel(m);
    marovi::SaveGridFile(m, (dir / "replay.mgf").string());
    ASSERT_EQ(Run("new --seed 21 --grid 9x7 --fill 5 --common-rhythm --steps 6 --every 4 --out cli.mgf").Code, 0);
    EXPECT_EQ(ReadBytes(dir / "cli.mgf"), ReadBytes(dir / "replay.mgf"));

    // new IN without --seed restarts from the random seed stored in IN.
    ASSERT_EQ(Run("new cli.mgf --steps 2 --out again.mgf").Code, 0);
    Model again = Load("cli.mgf");
    marovi::NewSimulationModel(again, 0);
    for (int i = 0; i < 2; ++i) marovi::StepAndRefreshModel(again);
    marovi::SaveGridFile(again, (dir / "replay_again.mgf").string());
    EXPECT_EQ(ReadBytes(dir / "again.mgf"), ReadBytes(dir / "replay_again.mgf"));

    // run: the loaded simulation, the generator seeded, the steps.
    Model loaded = Load("cli.mgf");
    loaded.Random.SeedRandom(77);
    for (int i = 0; i < 3; ++i) marovi::StepAndRefreshModel(loaded);
    marovi::SaveGridFile(loaded, (dir / "replay_run.mgf").string());
    ASSERT_EQ(Run("run cli.mgf --seed 77 --steps 3 --out run.mgf").Code, 0);
    EXPECT_EQ(ReadBytes(dir / "run.mgf"), ReadBytes(dir / "replay_run.mgf"));
}

TEST_F(Cli, LoadErrorsNameTheFileAndBreakTheirLines)
{
    ASSERT_EQ(Run("new --seed 1 --grid 4x4 --steps 0 --out good.mgf").Code, 0);
    std::string bytes = ReadBytes(dir / "good.mgf");
    std::string old = bytes;
    old.replace(16, 6, "V 1.19");
    std::ofstream(dir / "old.mgf", std::ios::binary) << old;
    std::string many = bytes;
    many[24] = 52; // species count
    std::ofstream(dir / "many.mgf", std::ios::binary) << many;
    std::ofstream(dir / "text.mgf", std::ios::binary) << "hello";

    TCliResult r = Run("info old.mgf");
    EXPECT_EQ(r.Code, 1);
    EXPECT_EQ(r.Err, "marovi-cli: old.mgf: Datafile not compatible with this version of MAROVI!\n\n"
                     "datafile : V 1.19\ncore : V 1.20\n\nSorry for your inconvenience!\n");
    EXPECT_EQ(Run("export species many.mgf o.txt").Err,
              "marovi-cli: many.mgf: Can not create more then 50 different species!\n");
    EXPECT_EQ(Run("run text.mgf --steps 1 --out o.mgf").Err, "marovi-cli: text.mgf: not a MAROVI grid file!\n");
    EXPECT_EQ(Run("map text.mgf --mode none --out o.bmp").Err.rfind("marovi-cli: text.mgf: not a MAROVI grid file!", 0), 0u);
    // A message that names the file already is not given the name twice.
    EXPECT_EQ(Run("info missing.mgf").Err, "marovi-cli: file missing.mgf not found\n");
    EXPECT_FALSE(fs::exists(dir / "o.txt"));
    EXPECT_FALSE(fs::exists(dir / "o.mgf"));
}

TEST_F(Cli, DamagedInputKeepsTheOldOutput)
{
    std::ofstream(dir / "bad.mgf", std::ios::binary) << "MAROVI GRID FILEV 1.20 but nothing more";
    std::ofstream(dir / "o.mgf", std::ios::binary) << "old";
    TCliResult r = Run("run bad.mgf --steps 1 --status --out o.mgf");
    EXPECT_NE(r.Code, 0);
    EXPECT_NE(r.Err.find("bad.mgf"), std::string::npos) << r.Err;
    EXPECT_EQ(ReadBytes(dir / "o.mgf"), "old");
    EXPECT_EQ(Files(), (Names{"bad.mgf", "o.mgf"}));
}
