// End-to-end tests of scenarios: marovi-cli scenario, new --scenario and the file options of new.
#include <fstream>

#include "cli_fixture.h"
#include "disturbance/disturbance.h"
#include "disturbance/disturbance_editor.h"
#include "files/bmp.h"
#include "files/byte_io.h"
#include "files/disturbance_file.h"
#include "files/flow_grid_file.h"
#include "files/species_pool_file.h"
#include "files/state_def_file.h"
#include "landscape/flow.h"
#include "landscape/flow_editor.h"
#include "landscape/landscape.h"
#include "model/grid.h"
#include "model/life_history.h"
#include "model/simulation.h"
#include "model/species_editor.h"
#include "model/species_pool.h"
#include "model/step.h"
#include "util/sha256.h"

using namespace cli_test;
using namespace marovi;

namespace {

class Scenario : public CliTest {
protected:
    void Put(const std::string& name, const std::string& text) const { std::ofstream(dir / name, std::ios::binary) << text; }
};

// A simulation as a user builds it in the editors of the desktop program, run a few steps.
Model EditedSimulation()
{
    Model m;
    InitStartupModel(m, 21, 12, 9);
    SetSpeciesField(m, 0, TSpeciesField::Name, "\xC9ponge rouge"); // Latin-1, as the editor stores it
    SetSpeciesField(m, 1, TSpeciesField::ReproSync, "40");
    SetSpeciesField(m, 2, TSpeciesField::MaxSize, "2.5");
    SetGrowthModel(m, 2, 1);
    SetSeasonValues(m, 3, false, {12.5});
    StepGuild(m, 4, 1);
    SetSpeciesColour(m, 5, 0x123456, true);
    m.SpeciesPool[6].GrowsOn = 5;
    m.SpeciesPool[6].ChangesSubstrate = 2;
    m.BiasedLottery = m.SpeciesKFactor = true;
    SetSpeciesField(m, 7, TSpeciesField::KFactor, "1.5");
    m.DispersalKernel = TKernel::Uniform;
    m.MinSize = 0.35;
    m.Separator = ',';
    m.MaxRuntime = 40;

    AddStandardDisturbance(m);
    TDisturbanceEntries e = DisturbanceEntriesOf(m.Disturbances[0]);
    e.X1 = "2", e.Y1 = "7", e.X2 = "9", e.Y2 = "1", e.XSize = "3", e.YSize = "2.5", e.Clipping = true;
    e.Severity = "50", e.Direction = "45", e.Deviation = "10", e.Substrate = 6;
    TDisturbanceDef d = ReadDisturbanceEntries(e, m.Disturbances[0]);
    d.Probability.fill(ProbabilityForYearsText(d, "30"));
    m.Disturbances.push_back(d);

    PaintCapacity(m, 2, 5, 1, 3, 17);
    NewFlowGrid(m.FlowGrid, 3, 2, 0.3, 0.2, 1.0);
    std::vector<std::string> errors;
    UpdateFlowCell(m, 1, 1, {"200", "15", "2.5"}, errors);
    m.StateDefs.Criteria[0][1] = {true, 0.3, 0.9};
    m.StateDefs.Criteria[2][4] = {false, 0.1, 0.2};

    m.RandomSeed = 4;
    NewSimulationModel(m, 0);
    for (int i = 0; i < 3; ++i) SimulationStep(m);
    return m;
}

} // namespace

TEST_F(Scenario, AScenarioOfASavedSimulationStartsTheSameRun)
{
    const Model edited = EditedSimulation();
    SaveGridFile(edited, (dir / "edited.mgf").string());
    TCliResult r = Run("scenario edited.mgf --out study.toml");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(Files(), (Names{"edited.mgf", "study.capacity.txt", "study.flow.mfg", "study.substrate.txt", "study.toml",
                              "study.toml.provenance.txt"}));
    const std::string text = ReadBytes(dir / "study.toml");
    for (const char* line : {"\r\nname = \"study\"\r\n", "\r\nSeparator = \",\"\r\n", "\r\nflow = \"study.flow.mfg\"\r\n",
                             "\r\ncapacity = \"study.capacity.txt\"\r\n", "\r\nName = \"\xC3\x89ponge rouge\"\r\n",
                             "\r\nColor = \"#123456\"\r\n", "\r\n[states.R0]\r\nR0 = { min = 0.3, max = 0.9 }\r\n",
                             "\r\nUD = { min = 0.1, max = 0.2, consider = false }\r\n", "\r\nBearing = 45.0\r\n",
                             "\r\nSeverity = 0.5\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    const std::vector<std::string> capacity = ReadLines(dir / "study.capacity.txt");
    ASSERT_EQ(capacity.size(), 10u);
    EXPECT_EQ(capacity[0], "# MAROVI landscape: capacity of every cell, 12 columns (x = 0..11) in 9 rows, the top row (y = 8) first");
    std::string bottom; // y = 0, unpainted
    for (int x = 0; x < 12; ++x) bottom += (x ? " " : "") + std::to_string(edited.Cell(x, 0).Capacity);
    EXPECT_EQ(capacity[9], bottom);
    const std::string painted = // y = 1, painted from x = 2 to 5
        std::to_string(edited.Cell(0, 1).Capacity) + " " + std::to_string(edited.Cell(1, 1).Capacity) + " 17 17 17 17 ";
    EXPECT_EQ(capacity[8].substr(0, painted.size()), painted);

    for (const int seed : {3, 1234567}) {
        const std::string s = std::to_string(seed);
        ASSERT_EQ(Run("new --scenario study.toml --seed " + s + " --steps 5 --out a.mgf").Code, 0);
        ASSERT_EQ(Run("new edited.mgf --seed " + s + " --steps 5 --out b.mgf").Code, 0);
        EXPECT_EQ(ReadBytes(dir / "a.mgf"), ReadBytes(dir / "b.mgf")) << seed;
    }
    // Without a seed both take the one stored.
    ASSERT_EQ(Run("new --scenario study.toml --steps 2 --out a.mgf").Code, 0);
    ASSERT_EQ(Run("new edited.mgf --steps 2 --out b.mgf").Code, 0);
    EXPECT_EQ(ReadBytes(dir / "a.mgf"), ReadBytes(dir / "b.mgf"));
}

TEST_F(Scenario, EachFileOptionTakesItsFileAndRefusesADamagedOne)
{
    Model parts;
    InitStartupModel(parts, 5, 8, 6);
    CreateSpeciesPool(parts, 3);
    SetSpeciesField(parts, 1, TSpeciesField::DispersalDistance, "7.5");
    SaveSpeciesPool(parts, (dir / "pool.msd").string());
    AddStandardDisturbance(parts);
    parts.Disturbances[0].Severity = 0.25;
    SaveDisturbances(parts, (dir / "regime.mdf").string());
    NewFlowGrid(parts.FlowGrid, 2, 3, 1.0, 0.5, 2.0);
    SaveFlowGrid(parts.FlowGrid, (dir / "flow.mfg").string());
    ExportFlowGridText(parts, (dir / "flow.txt").string());
    parts.StateDefs.Criteria[1][0] = {true, 0.25, 0.75};
    SaveStateDefs(parts.StateDefs, (dir / "states.mtd").string());
    const TRgbImage image{4, 3, {0x000000, 0x404040, 0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF,
                                 0x202020, 0x606060, 0xA0A0A0, 0xE0E0E0}};
    WriteBmp((dir / "map.bmp").string(), image);

    TCliResult r = Run("new --grid 8x6 --seed 2 --steps 0 --pool pool.msd --disturbances regime.mdf --flow flow.txt "
                       "--states states.mtd --landscape map.bmp --out o.mgf");
    ASSERT_EQ(r.Code, 0) << r.Err;
    const Model o = Load("o.mgf");
    EXPECT_EQ(SpeciesPoolBytes(o), SpeciesPoolBytes(parts));
    ASSERT_EQ(o.Disturbances.size(), 1u);
    EXPECT_EQ(o.Disturbances[0].Severity, 0.25);
    EXPECT_EQ(FlowGridText(o), FlowGridText(parts)); // the text holds rounded values
    EXPECT_EQ(o.StateDefs.Criteria[1][0].max, 0.75);
    Model expected;
    CreateGrid(expected, 8, 6);
    LandscapeFromImage(expected, TGreyImage{image.Width, image.Height, image.Pixels});
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 6; ++y) EXPECT_EQ(o.Cell(x, y).Capacity, expected.Cell(x, y).Capacity) << x << "," << y;
    const std::string provenance = ReadBytes(dir / "o.mgf.provenance.txt");
    EXPECT_NE(provenance.find("\r\n\"map.bmp\" = \"" + Sha256Hex(ReadBytes(dir / "map.bmp")) + "\"\r\n"), std::string::npos);
    EXPECT_NE(provenance.find("\r\n[[disturbance]]\r\nX1 = 0\r\n"), std::string::npos) << provenance;

    ASSERT_EQ(Run("new --grid 8x6 --seed 2 --steps 0 --flow flow.mfg --out o.mgf").Code, 0);
    EXPECT_EQ(Load("o.mgf").FlowGrid.Cells[5].Speed, 2.0);

    Put("bad.msd", "V 1.2");
    std::string record = BytesOf([&](TByteWriter& w) {
        TDisturbanceDef d = parts.Disturbances[0];
        d.Probability.fill(1e9);
        WriteDisturbanceRecord(w, d);
    });
    Put("bad.mdf", record);
    Put("bad.txt", "# flow\n2\nzz\n");
    Put("bad.mtd", "xx");
    Put("bad.bmp", "BM" + std::string(30, 'x'));
    const std::pair<const char*, const char*> bad[] = {
        {"--pool bad.msd", "bad.msd: the file ends before the end of the version"},
        {"--disturbances bad.mdf", "bad.mdf: disturbance definition 1 has an impossible probability (1000000000)"},
        {"--flow bad.txt", "bad.txt: line 3: \"zz\" is not a number of flow cells in y"},
        {"--states bad.mtd", "bad.mtd: the file ends before the end of the state definitions"},
        {"--landscape bad.bmp", "bad.bmp: the bitmap header is damaged"},
        {"--landscape fractal --high-prob 1.5", "--high-prob: HighCapacityProb must be 0..1"},
    };
    fs::remove(dir / "o.mgf");
    for (const auto& [option, message] : bad) {
        r = Run(std::string("new --grid 8x6 --seed 2 --steps 3 --out o.mgf ") + option);
        EXPECT_EQ(r.Code, 1) << option;
        EXPECT_EQ(r.Err, "marovi-cli: " + std::string(message) + "\n") << option;
        EXPECT_FALSE(fs::exists(dir / "o.mgf")) << option;
    }
}

TEST_F(Scenario, ScenarioKeysAreCheckedNamingTheLine)
{
    Put("rows.txt", "5 5\n5\n");
    Put("cells.txt", "5 5\n5 5\n");
    const std::pair<std::string, std::string> cases[] = {
        {"Torus = true\nMinsize = 0.3\n", "s.toml:2: unknown key \"Minsize\""},
        {"HighCapacity = 20\n", "s.toml:1: unknown key \"HighCapacity\" (it belongs in [landscape])"},
        {"[[species]]\nName = \"a\"\n[[species]]\nFecundity = [1.0, 2.0]\n", "s.toml:4: Fecundity takes a number, or one per season: a list of 1"},
        {"[[species]]\nNormalLifespan = 0\n", "s.toml:2: NormalLifespan must be 1..100000 (not 0)"},
        {"[[species]]\nColor = \"red\"\n", "s.toml:2: Color must be \"#RRGGBB\" (hex digits)"},
        {"[[disturbance]]\nProbability = 1.0\nRecurrence = 50\n", "s.toml:1: give either Probability or Recurrence, not both"},
        {"[[disturbance]]\nDirection = 90\n", "s.toml:2: Direction must be -6.2832..6.2832 (not 90)"},
        {"[states.R3]\nR0 = { min = 0.5, max = 1.0 }\n", "s.toml:1: states are R0, R1, R2 and UD, not \"R3\""},
        {"[landscape]\ngenerator = \"random\"\ncapacity = \"cells.txt\"\n", "s.toml:3: give one of generator, image and capacity, not generator and capacity"},
        {"[landscape]\ncapacity = \"rows.txt\"\n", "s.toml:2: rows.txt:2: 1 numbers, the first row has 2"},
        {"species = \"none.msd\"\n", "s.toml:1: file none.msd not found"},
        // Checked against the grid at the start, and still named by its place.
        {"[[disturbance]]\n[[disturbance]]\nRecurrence = 0.0001\n",
         "s.toml:2: disturbance 2: a probability of 1000000 events per time step is not possible (at most 10000)!"},
    };
    for (const auto& [scenario, message] : cases) {
        Put("s.toml", scenario);
        TCliResult r = Run("new --scenario s.toml --seed 1 --steps 1 --out o.mgf");
        EXPECT_EQ(r.Code, 1) << scenario;
        EXPECT_EQ(r.Err, "marovi-cli: " + message + "\n") << scenario;
        EXPECT_FALSE(fs::exists(dir / "o.mgf")) << scenario;
    }
}
