#include <gtest/gtest.h>

#include <cmath>

#include "files/byte_io.h"
#include "files/species_pool_file.h"
#include "files/species_values.h"
#include "files_test_util.h"
#include "model/life_history.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "model/species_pool.h"
#include "util/error.h"

using namespace marovi;
using files_test::Bytes;
using files_test::F64At;
using files_test::I32At;

namespace {

void ReadPool(Model& m, const std::string& bytes)
{
    TByteReader r(bytes, "pool.msd");
    ReadSpeciesPool(m, r);
}

std::string PoolError(Model& m, const std::string& bytes)
{
    return files_test::ErrorOf([&] { ReadPool(m, bytes); });
}

} // namespace

TEST(SpeciesPoolFile, RecordFieldsLieAtTheirOffsets)
{
    Model m;
    CreateSpeciesPool(m, 2);
    TSpecies& s = m.SpeciesPool[1];
    s.Name = "a name longer than twenty characters";
    s.GlobalDrift = true;
    s.Guild = 4;
    s.GrowsOn = 0x81;
    s.ChangesSubstrate = 0x42;
    s.ReproAsync = 0.25;
    s.Color = 0x00FF8040; // Windows order: red 0x40 in the lowest byte
    s.GrowthK = 0.5;
    s.KFactor = -1.5;
    s.Reserved[0] = 1;
    s.Reserved[367] = 0xFF;
    const std::string b = SpeciesPoolBytes(m);
    ASSERT_EQ(b.size(), 6u + 2 * 496);
    EXPECT_EQ(b.substr(0, 6), "V 1.20");
    const size_t r = 6 + 496;
    EXPECT_EQ(b[r], 20);
    EXPECT_EQ(b.substr(r + 1, 20), "a name longer than t");
    EXPECT_EQ(b.substr(r + 21, 3), std::string(3, '\0'));
    EXPECT_EQ(F64At(b, r + 24), 2.0);
    EXPECT_EQ(F64At(b, r + 32), 2.0);
    EXPECT_EQ(F64At(b, r + 40), 1.0);
    EXPECT_EQ(F64At(b, r + 48), std::log(100.0) / 30);
    EXPECT_EQ(F64At(b, r + 56), 200.0 / 30);
    EXPECT_EQ(I32At(b, r + 64), 150);
    EXPECT_EQ(I32At(b, r + 68), 30);
    EXPECT_EQ(I32At(b, r + 76), 1);
    EXPECT_EQ(b[r + 80], 1);
    EXPECT_EQ(b[r + 81], 4);
    EXPECT_EQ(I32At(b, r + 84), 0x81);
    EXPECT_EQ(I32At(b, r + 88), 0x42);
    EXPECT_EQ(F64At(b, r + 96), 0.25);
    EXPECT_EQ(static_cast<uint8_t>(b[r + 104]), 0x40);
    EXPECT_EQ(I32At(b, r + 104), 0x00FF8040);
    EXPECT_EQ(F64At(b, r + 112), 0.5);
    EXPECT_EQ(F64At(b, r + 120), -1.5);
    EXPECT_EQ(b[r + 128], 1);
    EXPECT_EQ(static_cast<uint8_t>(b[r + 495]), 0xFF);
    // The first record: name "Species 01" of 10 characters, zero after it.
    EXPECT_EQ(b[6], 10);
    EXPECT_EQ(b.substr(7, 20), std::string("Species 01") + std::string(10, '\0'));
}

TEST(SpeciesPoolFile, FiftyOneSpeciesRoundTripAndFiftyTwoAreRefused)
{
    files_test::TempDir dir;
    Model m;
    CreateSpeciesPool(m, 51);
    SetGrowthModel(m, 50, 1);
    m.SpeciesPool[7].Reserved[100] = 9;
    SaveSpeciesPool(m, dir.File("p.msd"));
    const std::string bytes = files_test::ReadAll(dir.File("p.msd"));
    EXPECT_EQ(bytes.size(), 25302u);
    Model back;
    LoadSpeciesPool(back, dir.File("p.msd"));
    EXPECT_EQ(back.SpeciesMax, 50);
    EXPECT_EQ(back.GrowthFunc[50], 1);
    EXPECT_EQ(back.SpeciesPool[7].Reserved[100], 9);
    EXPECT_EQ(SpeciesPoolBytes(back), bytes);

    Bytes big;
    big.Append(bytes).Append(std::string(496, '\0'));
    EXPECT_EQ(PoolError(back, big.Str()), "Can not create more then 50 different species!");
    EXPECT_EQ(back.SpeciesMax, 50);
}

TEST(SpeciesPoolFile, VersionIsNotCheckedAndTrailingBytesAreIgnored)
{
    Bytes b(6 + 496);
    b.Text(0, "xxxxxx").U8(6, 3).Text(7, "abc").I32(6 + 108, 1).I32(6 + 68, 12).Append("123");
    Model m;
    m.SpeciesPool.resize(4);
    m.SpeciesMax = 3;
    m.SpeciesPool[0].GlobalDrift = true;
    m.AnyGlobalDrift = true;
    ReadPool(m, b.Str());
    ASSERT_EQ(m.SpeciesMax, 0);
    EXPECT_EQ(m.SpeciesPool[0].Name, "abc");
    EXPECT_EQ(m.SpeciesPool[0].NormalLifespan, 12);
    EXPECT_EQ(m.GrowthFunc[0], 1);
    EXPECT_FALSE(m.AnyGlobalDrift);
    // Only the version: an empty pool.
    ReadPool(m, "V 1.20");
    EXPECT_EQ(m.SpeciesMax, -1);
}

TEST(SpeciesPoolFile, DamagedFilesLeaveThePoolAsItWas)
{
    Model m;
    CreateSpeciesPool(m, 3);
    m.SpeciesPool[1].Name = "kept";
    const std::string good = SpeciesPoolBytes(m);
    EXPECT_EQ(PoolError(m, "V 1."), "pool.msd: the file ends before the end of the version");
    EXPECT_EQ(PoolError(m, Bytes().Append(good).I32(6 + 496 + 108, 7).Str()), "unknown growth model!");
    EXPECT_EQ(PoolError(m, Bytes().Append(good).U8(6 + 2 * 496, 200).Str()),
              "pool.msd: species 3 has a name of 200 characters (at most 20)");
    EXPECT_EQ(SpeciesPoolBytes(m), good);

    files_test::TempDir dir;
    EXPECT_EQ(files_test::ErrorOf([&] { LoadSpeciesPool(m, dir.File("missing.msd")); }),
              "file " + dir.File("missing.msd") + " not found");
    EXPECT_EQ(SpeciesPoolBytes(m), good);
}

TEST(StandardPool, FiftyOneSpeciesWithoutVariation)
{
    Model m;
    CreateSpeciesPool(m, 51);
    m.SpeciesPool[0].MaxSize = 3.5; // not touched
    m.Random.SeedRandom(3);
    StandardPool(m, 0.0);
    std::vector<std::string> names;
    for (const TSpecies& s : m.SpeciesPool) names.push_back(s.Name);
    EXPECT_EQ(names[0], "R0 1");
    EXPECT_EQ(names[12], "R0 13");
    EXPECT_EQ(names[13], "R1 1");
    EXPECT_EQ(names[25], "R1 13");
    EXPECT_EQ(names[26], "R2 2");
    EXPECT_EQ(names[38], "R2 14");
    EXPECT_EQ(names[39], "UD 2");
    EXPECT_EQ(names[50], "UD 13");
    const TSpecies& r0 = m.SpeciesPool[0];
    EXPECT_EQ(r0.NormalLifespan, 5);
    EXPECT_EQ(r0.MaxLifespan, 50);
    EXPECT_EQ(r0.DeathProb[0], std::log(2.0) / 5);
    EXPECT_EQ(r0.DispersalDistance, 15.0);
    EXPECT_EQ(r0.PatchSize, 5.0);
    EXPECT_EQ(r0.Fecundity[0], 20.0);
    EXPECT_EQ(r0.FirstReproduction, 1);
    EXPECT_EQ(r0.Guild, 1);
    EXPECT_EQ(r0.MaxSize, 3.5);
    const TSpecies& r1 = m.SpeciesPool[13];
    EXPECT_EQ(r1.NormalLifespan, 30);
    EXPECT_EQ(r1.MaxLifespan, 100);
    EXPECT_EQ(r1.FirstReproduction, 3);
    EXPECT_EQ(r1.Guild, 2);
    const TSpecies& r2 = m.SpeciesPool[26];
    EXPECT_EQ(r2.Fecundity[0], 4.5);
    EXPECT_EQ(r2.PatchSize, 1.0);
    EXPECT_EQ(r2.MaxLifespan, 500);
    const TSpecies& ud = m.SpeciesPool[50];
    EXPECT_EQ(ud.DispersalDistance, 0.0);
    EXPECT_EQ(ud.NormalLifespan, 100);
    EXPECT_EQ(ud.MaxLifespan, 1000);
    EXPECT_EQ(ud.FirstReproduction, 40);
    EXPECT_EQ(ud.Guild, 4);
    EXPECT_EQ(ud.ReproInterval, 1);
}

TEST(StandardPool, DrawsFiveNormalsPerSpeciesInColumnOrder)
{
    Model m;
    CreateSpeciesPool(m, 4);
    m.Random.SeedRandom(11);
    TRandom r = m.Random;
    StandardPool(m, 0.5);
    for (int i = 0; i < 4; ++i) {
        const TSpecies& s = m.SpeciesPool[static_cast<size_t>(i)];
        const double dd = r.Gauss(), ps = r.Gauss(), nl = r.Gauss(), ml = r.Gauss(), fec = r.Gauss();
        (void)ml;
        const double spreads[4][4] = {{15, 5, 5, 20}, {10, 5, 30, 5}, {5, 1, 50, 4.5}, {0, 2, 200, 3}};
        const double means[4][4] = {{15, 5, 5, 20}, {10, 5, 30, 5}, {5, 1, 50, 4.5}, {0, 2, 100, 2}};
        EXPECT_EQ(s.DispersalDistance, means[i][0] + dd * 0.5 * spreads[i][0]) << i;
        EXPECT_EQ(s.PatchSize, means[i][1] + ps * 0.5 * spreads[i][1]) << i;
        EXPECT_EQ(s.NormalLifespan, std::max(1, static_cast<int>(std::nearbyint(means[i][2] + nl * 0.5 * spreads[i][2])))) << i;
        EXPECT_EQ(s.Fecundity[0], means[i][3] + fec * 0.5 * spreads[i][3]) << i;
    }
    EXPECT_EQ(m.Random.Uniform(), r.Uniform());
}

TEST(StandardPool, ValuesStayInTheirFieldsRangesUnderLargeVariationWithTheSameDraws)
{
    Model m;
    CreateSpeciesPool(m, 40);
    m.Random.SeedRandom(2);
    TRandom r = m.Random;
    StandardPool(m, 5.0);
    for (int i = 0; i < 5 * 40; ++i) r.Gauss();
    EXPECT_EQ(m.Random.Uniform(), r.Uniform());
    for (int s = 0; s < 40; ++s)
        for (const char* field : {"DispersalDistance", "PatchSize", "Fecundity", "NormalLifespan", "MaxLifespan"}) {
            const TParameter& p = *FindParameter(field, true);
            EXPECT_EQ(ParameterValueError(p, p.Get(m, s)), "") << s;
        }
    for (const TSpecies& s : m.SpeciesPool) EXPECT_TRUE(std::isfinite(s.DeathProb[0]) && s.DeathProb[0] > 0);
}

TEST(SpeciesValues, LifespanRescalingKeepsTheSurvivalRate)
{
    TSpecies s;
    s.NormalLifespan = 30;
    s.DeathProb[0] = 0.2;
    SetNormalLifespan(s, 60, true);
    EXPECT_EQ(s.NormalLifespan, 60);
    EXPECT_NEAR(s.DeathProb[0], 0.1, 1e-15);
    EXPECT_EQ(s.DeathProb[0], -std::log(std::exp(-30 * 0.2)) / 60);
    SetNormalLifespan(s, 20, false);
    EXPECT_EQ(s.NormalLifespan, 20);
    EXPECT_NEAR(s.DeathProb[0], 0.1, 1e-15);
    // Without a positive lifespan the survival rate is undefined: the probability stays.
    SetNormalLifespan(s, 0, true);
    EXPECT_EQ(s.NormalLifespan, 0);
    EXPECT_NEAR(s.DeathProb[0], 0.1, 1e-15);
    SetNormalLifespan(s, 10, true);
    EXPECT_NEAR(s.DeathProb[0], 0.1, 1e-15);
}

TEST(SpeciesValues, SurvivalRateAndItsDeathProbability)
{
    TSpecies s;
    s.NormalLifespan = 30;
    s.DeathProb[0] = std::log(100.0) / 30;
    EXPECT_NEAR(SurvivalRate(s), 0.01, 1e-15);
    EXPECT_EQ(DeathProbForSurvival(0.1, 30), -std::log(0.1) / 30);
    EXPECT_EQ(DeathProbForSurvival(1.0, 5), 0.0);
    EXPECT_THROW(DeathProbForSurvival(0.0, 30), Error);
    EXPECT_THROW(DeathProbForSurvival(1.5, 30), Error);
    EXPECT_THROW(DeathProbForSurvival(std::nan(""), 30), Error);
    EXPECT_THROW(DeathProbForSurvival(0.5, 0), Error);
}
