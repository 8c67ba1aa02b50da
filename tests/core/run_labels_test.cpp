#include <gtest/gtest.h>

#include "model/run_labels.h"
#include "util/process_priority.h"

namespace marovi {
namespace {

TEST(SpeedText, ShortFormWithoutMaximalRunTime)
{
    EXPECT_EQ(SpeedText(10, 0.5, 0, 40), "(20.00 tpm)");
    EXPECT_EQ(SpeedText(1, 0.75, 0, 3), "( 1.33 tpm)");
}

TEST(SpeedText, RemainingTimeInMinutesAndSeconds)
{
    EXPECT_EQ(SpeedText(10, 0.5, 100, 40), "(20.00 tpm, -0003:00 min)");
    EXPECT_EQ(SpeedText(10, 0.5, 100, 50), "(20.00 tpm, -0002:30 min)");
    EXPECT_EQ(SpeedText(10, 0.5, 100, 99), "(20.00 tpm, -0000:03 min)"); // 0.05 min is 3 s
    EXPECT_EQ(SpeedText(1, 6000, 2000000, 0), "( 0.00 tpm, -2147483647:00 min)"); // clamped
}

TEST(SpeedText, NothingRemainsPastTheMaximalRunTime)
{
    EXPECT_EQ(SpeedText(10, 0.5, 100, 130), "(20.00 tpm, -0000:00 min)");
}

TEST(MemoryText, KilobytesWithTwoDecimals)
{
    EXPECT_EQ(MemoryText({2048, 1536}), " 2.00  1.50 used kB");
    EXPECT_EQ(MemoryText({1048576, 1000}), "1024.00  0.98 used kB");
    const THeapFigures heap = CurrentHeapFigures();
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__) // the sanitizers' allocators keep none
    EXPECT_GT(heap.Reserved, 0);
#endif
    EXPECT_GE(heap.Reserved, heap.Allocated);
}

TEST(ProcessPriority, SixClassesMapToNiceValuesBothWays)
{
    const TPriorityClass classes[] = {TPriorityClass::Idle, TPriorityClass::BelowNormal, TPriorityClass::Normal,
                                      TPriorityClass::AboveNormal, TPriorityClass::High, TPriorityClass::Realtime};
    int previous = 20;
    for (TPriorityClass c : classes) {
        const int nice = NiceOfClass(c);
        EXPECT_LT(nice, previous) << "classes are ordered from idle to realtime";
        previous = nice;
        ASSERT_TRUE(ClassOfNice(nice).has_value());
        EXPECT_EQ(*ClassOfNice(nice), c);
    }
    EXPECT_EQ(NiceOfClass(TPriorityClass::Normal), 0);
    EXPECT_EQ(NiceOfClass(TPriorityClass::Idle), 19);
    EXPECT_FALSE(ClassOfNice(3).has_value());
    EXPECT_FALSE(ClassOfNice(-1).has_value());
}

} // namespace
} // namespace marovi
