#include <gtest/gtest.h>

#include "test_support.h"
#include "util/format.h"

namespace {

using namespace marovi;

TEST(Format, IntegerFlagsWidthAndPrecision)
{
    EXPECT_EQ(Format("%.3d", {7}), "007");
    EXPECT_EQ(Format("%.3d", {1234}), "1234");
    EXPECT_EQ(Format("%-8d|", {42}), "42      |");
    EXPECT_EQ(Format("%8d|", {-42}), "     -42|");
    EXPECT_EQ(Format("%6.6d", {12}), "000012");
    EXPECT_EQ(Format("%2.2d.)", {3}), "03.)");
    EXPECT_EQ(Format("%5.5d", {117}), "00117");
    EXPECT_EQ(Format("%.3d", {-5}), "-005");
    EXPECT_EQ(Format("%d%%", {50}), "50%");
    EXPECT_EQ(Format("Species %.2d", {10}), "Species 10");
}

TEST(Format, Reals)
{
    EXPECT_EQ(Format("%f", {3.14159}), "3.14"); // no precision: two decimals
    EXPECT_EQ(Format("%f", {2}), "2.00");      // an integer argument prints as a real
    EXPECT_EQ(Format("%3.1f", {1.25}), "1.2"); // the binary value of 1.25 is a true tie: to even
    EXPECT_EQ(Format("%3.1f", {1.35}), "1.4"); // 1.35 is stored slightly above
    EXPECT_EQ(Format("%5.2f", {3.14159}), " 3.14");
    EXPECT_EQ(Format("%5.2f", {-0.001}), " 0.00"); // negative zero prints as zero
    EXPECT_EQ(Format("%f", {-0.0}), "0.00");
    EXPECT_EQ(Format("%8.2f;", {-12.345}), "  -12.35;");
    EXPECT_EQ(Format("Hill %3.1f", {2.5}), "Hill 2.5");
    EXPECT_EQ(Format("%5.2f", {123456.789}), "123456.79"); // wider than the field: in full
}

TEST(Format, TextsAndErrors)
{
    EXPECT_EQ(Format("%-15.15s:", {"a name that is too long"}), "a name that is :");
    EXPECT_EQ(Format("%-15.15s:", {"short"}), "short          :");
    EXPECT_EQ(Format("file %s", {std::string("x.mgf")}), "file x.mgf");
    EXPECT_NE(test::ErrorText([] { Format("%d"); }), "(no error)");
    EXPECT_NE(test::ErrorText([] { Format("%d", {"text"}); }), "(no error)");
    EXPECT_NE(test::ErrorText([] { Format("%s", {3}); }), "(no error)");
    EXPECT_NE(test::ErrorText([] { Format("%q", {3}); }), "(no error)");
    EXPECT_NE(test::ErrorText([] { Format("%5", {3}); }), "(no error)");
}

TEST(Format, ShortestText)
{
    EXPECT_EQ(ShortestText(0.5), "0.5");
    EXPECT_EQ(ShortestText(10.0), "10");
    EXPECT_EQ(ShortestText(-0.0), "0");
    EXPECT_EQ(ShortestText(0.1 + 0.2), "0.3"); // 15 significant digits
    EXPECT_EQ(ShortestText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(ShortestText(0.0001), "0.0001");
    EXPECT_EQ(ShortestText(1e-6), "1E-6");
    EXPECT_EQ(ShortestText(1.5e20), "1.5E20");
    EXPECT_EQ(ShortestText(-2.25), "-2.25");
}

TEST(Format, Parsing)
{
    double v = 0;
    EXPECT_TRUE(ParseReal("  -1.5e3 ", v));
    EXPECT_EQ(v, -1500.0);
    EXPECT_TRUE(ParseReal("+4", v));
    EXPECT_EQ(v, 4.0);
    EXPECT_FALSE(ParseReal("1,5", v));
    EXPECT_FALSE(ParseReal("", v));
    EXPECT_FALSE(ParseReal("2x", v));
    int i = 0;
    EXPECT_TRUE(ParseInt(" 17\r", i));
    EXPECT_EQ(i, 17);
    EXPECT_FALSE(ParseInt("1.0", i));
    EXPECT_FALSE(ParseInt("99999999999", i));
    EXPECT_EQ(i, 17); // unchanged on failure
    EXPECT_EQ(Trim("\t a b \n"), "a b");
}

} // namespace
