#include <gtest/gtest.h>

#include "model/life_history.h"
#include "model/model.h"
#include "model/parameter_table.h"
#include "model/species_pool.h"

using namespace marovi;

TEST(ParameterTable, RangesFollowTheDialogsAndRefuseWhatBreaksAStep)
{
    const TParameter& k = *FindParameter("GlobalKFactor", false);
    EXPECT_EQ(ParameterValueError(k, 99.9), "");
    EXPECT_EQ(ParameterValueError(k, -100), "GlobalKFactor must lie strictly between -100 and 100");
    const TParameter& n = *FindParameter("NeighbourhoodSize", false);
    EXPECT_EQ(ParameterValueError(n, 24), "");
    EXPECT_EQ(ParameterValueError(n, 25), "NeighbourhoodSize must be 1..24");
    EXPECT_EQ(ParameterValueError(n, 2.5), "NeighbourhoodSize must be a whole number");
    EXPECT_EQ(ParameterValueError(*FindParameter("ReproInterval", true), 0), "ReproInterval must be 1..100000");
    EXPECT_EQ(ParameterValueError(*FindParameter("DeathProb", true), 1.5), "DeathProb must be 0..1");
    EXPECT_EQ(ParameterValueError(*FindParameter("Torus", false), 2), "Torus must be true or false");
    // Global names and species fields are looked up apart.
    EXPECT_EQ(FindParameter("DispersalDistance", false), nullptr);
    EXPECT_EQ(FindParameter("MinSize", true), nullptr);
}

TEST(ParameterTable, SettersReachTheFieldsAndTextsReadBack)
{
    Model m;
    CreateSpeciesPool(m, 3);
    double code = 0;
    ASSERT_TRUE(ParseKernelName("uniform", code));
    EXPECT_FALSE(ParseKernelName("Uniform", code));
    const TParameter& kernel = *FindParameter("PatchKernel", false);
    kernel.Set(m, -1, code);
    EXPECT_EQ(m.PatchKernel, TKernel::Uniform);
    EXPECT_EQ(ParameterValueText(kernel, kernel.Get(m, -1)), "uniform");
    EXPECT_EQ(ParameterValueError(kernel, 3), "PatchKernel must be \"exponential\", \"diffusion\" or \"uniform\"");

    FindParameter("Fecundity", true)->Set(m, 2, 0.25);
    EXPECT_EQ(m.SpeciesPool[2].Fecundity[0], 0.25);
    EXPECT_EQ(m.SpeciesPool[1].Fecundity[0], 200.0 / 30);
    // The growth model also switches the growth function, as the species editor does.
    FindParameter("GrowthModel", true)->Set(m, 1, 1);
    EXPECT_EQ(m.GrowthFunc[1], 1);
    EXPECT_EQ(m.SpeciesPool[1].GrowthK, DefaultGrowthK);
    EXPECT_EQ(ParameterValueText(*FindParameter("BiasedLottery", false), 1), "true");
    // The step's external drift looks at the pool's drift flag, which follows the field.
    const TParameter& drift = *FindParameter("GlobalDrift", true);
    drift.Set(m, 2, 1);
    EXPECT_TRUE(m.AnyGlobalDrift);
    drift.Set(m, 2, 0);
    EXPECT_FALSE(m.AnyGlobalDrift);
}
