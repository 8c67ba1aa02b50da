#include <gtest/gtest.h>

#include <cmath>

#include "analysis/indices.h"
#include "test_support.h"

namespace {

using namespace marovi;

class Indices : public ::testing::Test {
protected:
    Model m = test::MakeModel(2, 2, 6, 10);
};

TEST_F(Indices, TwoEqualSpecies)
{
    const TSpeciesCounts c{10, 10};
    EXPECT_DOUBLE_EQ(ShannonIndex(m, c), std::log(2.0));
    EXPECT_DOUBLE_EQ(SimpsonIndex(m, c), 0.5);
    EXPECT_DOUBLE_EQ(ReciprocalSimpson(m, c), 2.0);
    EXPECT_EQ(SpeciesCount(m, c), 2.0);
    EXPECT_NEAR(BrillouinIndex(m, c), (std::lgamma(21.0) - 2 * std::lgamma(11.0)) / 20, 1e-13);
    EXPECT_NEAR(BrillouinIndex(m, c), 0.6063, 5e-5);
}

TEST_F(Indices, OneSpeciesAndEmpty)
{
    const TSpeciesCounts one{5};
    EXPECT_EQ(ShannonIndex(m, one), 0.0);
    EXPECT_EQ(SimpsonIndex(m, one), 0.0);
    EXPECT_EQ(ReciprocalSimpson(m, one), 1.0);
    EXPECT_EQ(SpeciesCount(m, one), 1.0);
    const TSpeciesCounts none{};
    EXPECT_EQ(ShannonIndex(m, none), 0.0);
    EXPECT_EQ(SimpsonIndex(m, none), 1.0);
    EXPECT_EQ(ReciprocalSimpson(m, none), 0.0);
    EXPECT_EQ(BrillouinIndex(m, none), 0.0);
    EXPECT_EQ(MIndex(m, none), 0.0);
    EXPECT_EQ(MIndex0(m, none), 0.0);
    EXPECT_EQ(JaccardIndex(m, none, none), 0.0);
    EXPECT_EQ(SorensenIndex(m, none, none), 0.0);
    EXPECT_EQ(MarczewskiSteinhausDistance(m, none, none), 1.0);
    EXPECT_EQ(BrayCurtisDistance(m, none, none), 1.0);
}

TEST_F(Indices, HillNumbersOfOtherOrders)
{
    m.HillOrder = 3;
    EXPECT_NEAR(UserHillNumber(m, TSpeciesCounts{1, 1, 2}), std::pow(0.15625, -0.5), 1e-12);
    EXPECT_NEAR(UserHillNumber(m, TSpeciesCounts{1, 1, 2}), 2.5298, 1e-4);
    m.HillOrder = 0.5;
    EXPECT_NEAR(UserHillNumber(m, TSpeciesCounts{1, 3}), 1.8660, 1e-4);
    // A negative order: absent species contribute nothing instead of infinity.
    m.HillOrder = -1;
    const double v = UserHillNumber(m, TSpeciesCounts{1, 3});
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_NEAR(v, std::pow(4.0 + 4.0 / 3.0, 0.5), 1e-12);
}

TEST_F(Indices, Similarities)
{
    const TSpeciesCounts a{1, 1, 0}, b{0, 1, 1};
    TSharedCounts s = SharedSpeciesCounts(m, a, b);
    EXPECT_EQ(s.shared, 1);
    EXPECT_EQ(s.onlyA, 1);
    EXPECT_EQ(s.onlyB, 1);
    EXPECT_DOUBLE_EQ(JaccardIndex(m, a, b), 1.0 / 3);
    EXPECT_DOUBLE_EQ(SorensenIndex(m, a, b), 0.5);
    EXPECT_DOUBLE_EQ(MarczewskiSteinhausDistance(m, a, b), 2.0 / 3);
    EXPECT_DOUBLE_EQ(BrayCurtisDistance(m, a, b), 0.5);
    EXPECT_EQ(JaccardIndex(m, TSpeciesCounts{3}, TSpeciesCounts{0, 4}), 0.0);
}

TEST_F(Indices, MaturityIndices)
{
    for (int s = 0; s < 6; ++s) m.SpeciesPool[static_cast<size_t>(s)].Guild = static_cast<int8_t>(s % 5);
    EXPECT_DOUBLE_EQ(MIndex(m, TSpeciesCounts{0, 0, 0, 0, 7}), 1.0);  // only UD
    EXPECT_DOUBLE_EQ(MIndex(m, TSpeciesCounts{0, 7}), -1.0);          // only R0
    EXPECT_NEAR(MIndex(m, TSpeciesCounts{0, 4, 0, 0, 4}), 0.0, 1e-15); // equal R0 and UD
    EXPECT_NEAR(MIndex(m, TSpeciesCounts{9, 4, 0, 0, 4, 0}), 0.0, 1e-15); // guild 0 changes nothing
    EXPECT_EQ(MIndex(m, TSpeciesCounts{9}), 0.0);
    // Without the logarithm: (-1 x 6 + 1/3 x 3) / 9.
    EXPECT_NEAR(MIndex0(m, TSpeciesCounts{0, 6, 0, 3}), (-6.0 + 3.0 * (4.0 / 3 - 1)) / 9, 1e-15);
    const double l1 = std::log(7.0), l3 = std::log(4.0);
    EXPECT_NEAR(MIndex(m, TSpeciesCounts{0, 6, 0, 3}), (-l1 + (4.0 / 3 - 1) * l3) / (l1 + l3), 1e-15);
}

TEST_F(Indices, CataloguesAndSelection)
{
    const char* diversity[] = {"Shannon Index", "Simpson Index", "reciprocal Simpson", "Brillouin Index",
                               "M-Index(0)", "M-Index", "Hill(0)", "Hill-Number"};
    ASSERT_EQ(DiversityCatalogue().size(), 8u);
    for (size_t i = 0; i < 8; ++i) EXPECT_STREQ(DiversityCatalogue()[i].Name, diversity[i]);
    EXPECT_EQ(DiversityCatalogue()[6].Func, &SpeciesCount);
    const char* similarity[] = {"Jaccard Index", "Sorensen Index", "Bray-Curtis Distance", "Marczewski-Steinhaus Distance"};
    ASSERT_EQ(SimilarityCatalogue().size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_STREQ(SimilarityCatalogue()[i].Name, similarity[i]);

    EXPECT_EQ(SimilarityName(m), "Sorensen Index");
    m.SimilarityFunc = &BrayCurtisDistance;
    EXPECT_EQ(SimilarityName(m), "Bray-Curtis Distance");
    m.SimilarityFunc = nullptr;
    EXPECT_EQ(SimilarityName(m), "unknown");

    EXPECT_EQ(m.DiversityName, "Shannon Index");
    EXPECT_EQ(SelectHillOrder(m, 2.0), THillButton::Hill2);
    EXPECT_EQ(m.DiversityFunc, &ReciprocalSimpson);
    EXPECT_EQ(m.DiversityName, "rec. Simpson Index (Hill 2)");
    EXPECT_EQ(SelectHillOrder(m, 0.0), THillButton::Hill0);
    EXPECT_EQ(m.DiversityName, "species count (Hill 0)");
    EXPECT_EQ(SelectHillOrder(m, 1.0), THillButton::Hill1);
    EXPECT_EQ(m.DiversityName, "Shannon Index (Hill 1)");
    EXPECT_EQ(SelectHillOrder(m, 1.25), THillButton::HillUser);
    EXPECT_EQ(m.DiversityName, "Hill 1.2"); // printf rounding of the binary value
    EXPECT_EQ(m.DiversityFunc, &UserHillNumber);
    EXPECT_EQ(m.HillOrder, 1.25);
    SelectDiversityButton(m, THillButton::MIndex0);
    EXPECT_EQ(m.DiversityName, "M-Index0");
    EXPECT_EQ(m.HillOrder, 1.25); // unchanged
    SelectDiversityButton(m, THillButton::MIndex);
    EXPECT_EQ(m.DiversityName, "M-Index");
    EXPECT_EQ(m.DiversityFunc, &MIndex);
}

TEST_F(Indices, CellDiversityFiltersBySize)
{
    test::Place(m, 1, 0, 0, 30);
    test::Place(m, 1, 0, 1, 6); // 0.2
    EXPECT_DOUBLE_EQ(CellDiversity(m, 1, 0, 0.2), std::log(2.0)); // at least minSize
    EXPECT_EQ(CellDiversity(m, 1, 0, 0.3), 0.0);
    EXPECT_EQ(CellDiversity(m, 1, 0, 5.0), 0.0);
    SelectHillOrder(m, 0.0);
    EXPECT_EQ(CellDiversity(m, 1, 0, 0.0), 2.0);
}

} // namespace
