#include <gtest/gtest.h>

#include <cmath>

#include "model/model.h"
#include "model/season_values.h"
#include "model/species_editor.h"
#include "model/species_pool.h"
#include "test_support.h"

namespace {

using namespace marovi;
using test::ErrorText;

TEST(SpeciesEditor, ListRowOfADefaultSpecies)
{
    Model m;
    CreateSpeciesPool(m, 3);
    m.SpeciesPool[1].GlobalDrift = true;
    m.SpeciesPool[1].ReproAsync = 0.25;
    m.SpeciesPool[1].KFactor = 0.5;
    m.GlobalKFactor = 2;
    const std::array<std::string, SpeciesListColumnCount> expected = {
        "Species 02", " 6.67", "0", "1", "1", "2", "2", "drift", "30", "150", "0.154", "75.00", "2.000"};
    EXPECT_EQ(SpeciesRowTexts(m, 1), expected);
    EXPECT_EQ(SpeciesRowTexts(m, 0)[7], " --- ");
    m.SpeciesKFactor = true;
    EXPECT_EQ(SpeciesRowTexts(m, 1)[12], "0.500");
    EXPECT_EQ(SpeciesFieldsOf(m, 1).KFactor, "0.500");
    EXPECT_EQ(GuildName(4), "UD");
    EXPECT_EQ(GuildName(9), "9");
}

TEST(SpeciesEditor, FieldRules)
{
    Model m;
    CreateSpeciesPool(m, 1);
    TSpecies& s = m.SpeciesPool[0];
    EXPECT_TRUE(SetSpeciesField(m, 0, TSpeciesField::Name, "a name of twenty-five chars"));
    EXPECT_EQ(s.Name, "a name of twenty-fiv");
    EXPECT_FALSE(SetSpeciesField(m, 0, TSpeciesField::FirstReproduction, "2.5"));
    EXPECT_FALSE(SetSpeciesField(m, 0, TSpeciesField::DispersalDistance, "inf"));
    EXPECT_EQ(s.DispersalDistance, 1.0);
    EXPECT_TRUE(SetSpeciesField(m, 0, TSpeciesField::ReproSync, "150"));
    EXPECT_EQ(s.ReproAsync, 0.0);
    EXPECT_TRUE(SetSpeciesField(m, 0, TSpeciesField::ReproSync, "-5"));
    EXPECT_EQ(s.ReproAsync, 1.0);
    EXPECT_EQ(ErrorText([&] { SetSpeciesField(m, 0, TSpeciesField::ReproInterval, "0"); }),
              "\"Reproduction interval\" must be 1..100000 (1 kept)!");
    EXPECT_EQ(ErrorText([&] { SetSpeciesField(m, 0, TSpeciesField::KFactor, "100"); }),
              "\"kfactor\" must lie strictly between -100 and 100 (0 kept)!");
    EXPECT_EQ(s.ReproInterval, 1);
    EXPECT_TRUE(SetSpeciesField(m, 0, TSpeciesField::MaxSize, "2.5"));
    EXPECT_EQ(s.MaxSize, 2.5);
    EXPECT_EQ(NormalLifespanChange(m, 0, "30"), std::nullopt);
    EXPECT_EQ(NormalLifespanChange(m, 0, "x"), std::nullopt);
    EXPECT_EQ(NormalLifespanChange(m, 0, "60"), 60);
    EXPECT_EQ(ErrorText([&] { NormalLifespanChange(m, 0, "0"); }), "\"normal live span\" must be 1..100000 (30 kept)!");
    EXPECT_EQ(ErrorText([&] { SetSeasonValues(m, 0, false, {1e4}); }), "\"fecundity\" must be 0..1000 (6.66666666666667 kept)!");
    SetSeasonValues(m, 0, true, {0.5});
    EXPECT_EQ(s.DeathProb[0], 0.5);
    StepGuild(m, 0, -1);
    EXPECT_EQ(s.Guild, 0);
    for (int i = 0; i < 6; ++i) StepGuild(m, 0, +1);
    EXPECT_EQ(s.Guild, 4);
    EXPECT_EQ(SetPovShape(m, 0, 51), 50);
    s.NormalLifespan = 0; // as a file may hold it
    EXPECT_EQ(ErrorText([&] { StandardSpeciesValues(m, 0); }), "\"normal live span\" must be 1..100000!");
    EXPECT_TRUE(std::isfinite(s.Fecundity[0]));
}

TEST(SpeciesEditor, PoolWideFields)
{
    Model m;
    CreateSpeciesPool(m, 2);
    m.ExternalDriftProb = 0.125; // printf rounds the binary value: ties go to even
    EXPECT_EQ(PoolFieldsOf(m).ExternalDriftProb, "0.12");
    TakeShownPoolFields(m, PoolFieldsOf(m));
    EXPECT_EQ(m.ExternalDriftProb, 0.12);
    EXPECT_EQ(ErrorText([&] { SetExternalDriftProb(m, "1.5"); }),
              "\"probabillity for external larvae drift\" must be 0..1 (0.12 kept)!");
    EXPECT_EQ(PoolFieldsOf(m).SpeciesCount, "2");
    EXPECT_EQ(ErrorText([&] { SetMaxDriftLarvae(m, "many"); }), "'many' is not a valid integer value");
    EXPECT_EQ(NewPoolSize("51"), 51);
    EXPECT_EQ(ErrorText([] { NewPoolSize("52"); }), "Can not create more then 50 different species!");
    EXPECT_EQ(ErrorText([] { NewPoolSize("0"); }), "a pool needs at least 1 species (0 asked)!");
    EXPECT_EQ(SisterName(m, 0), "Species 01 2");
    EXPECT_EQ(VariationFactor("x"), 0.0);
    EXPECT_EQ(VariationFactor("-10"), -10.0);
    EXPECT_EQ(ErrorText([] { VariationFactor("1e3"); }), "a variation factor of 1000 is too large (at most 10)!");
    SetSpeciesColour(m, 1, 0x123456, true);
    EXPECT_EQ(m.SpeciesColor[1], 0x123456u);
    EXPECT_EQ(m.SpeciesPool[1].Color, 0x563412);
}

TEST(SeasonValues, TextsAndSurvivalTool)
{
    EXPECT_EQ(SeasonLine(0, 200.0 / 30), "month 01 :   6.6667");
    EXPECT_EQ(SeasonLabel(0), "month 01");
    EXPECT_EQ(SeasonConversionMessage("1,5"), "Error converting \"1,5\" into a number!\r\rKeeping old value!");
    EXPECT_EQ(SurvivalRateText(30, std::log(100.0) / 30), "0.0100");
    EXPECT_EQ(DeathProbFromSurvivalText("0.5", 10), -std::log(0.5) / 10);
    EXPECT_EQ(DeathProbFromSurvivalText("half", 10), -std::log(0.1) / 10);
    EXPECT_NE(ErrorText([] { DeathProbFromSurvivalText("0", 10); }), "(no error)");
}

} // namespace
