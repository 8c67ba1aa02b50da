// A time step allocates nothing once every cell has reached its capacity: individuals
// live in per-cell vectors that keep their room, larvae are only counts. This executable
// replaces the global allocation functions to count every heap allocation.
#include <gtest/gtest.h>

#include "counting_new.h"
#include "model/model.h"
#include "model/simulation.h"
#include "model/step.h"

using alloc_count::allocations;

namespace {

bool AllCellsFull(const marovi::Model& m)
{
    for (const marovi::TCell& c : m.Cells)
        if (c.IndividualCount < c.Capacity) return false;
    return true;
}

TEST(StepAllocation, NoHeapAllocationOnceCellsAreFull)
{
    // The counter itself must see allocations, or the test proves nothing.
    const long long probe = allocations.load();
    ::operator delete(::operator new(8));
    ASSERT_EQ(allocations.load(), probe + 1);

    // A step on several threads keeps its threads and their storage from one step to the next.
    for (int threads : {1, 3}) {
        marovi::Model m;
        m.StepThreads.SetCount(threads);
        marovi::InitStartupModel(m, 4711, 40, 40);
        m.RandomSeed = 4711;
        marovi::NewSimulationModel(m, 0);
        ASSERT_TRUE(AllCellsFull(m)); // the full start fill

        for (int i = 0; i < 3; ++i) marovi::SimulationStep(m); // lists have reached their capacity
        const long long before = allocations.load();
        for (int i = 0; i < 20; ++i) marovi::SimulationStep(m);
        EXPECT_EQ(allocations.load(), before) << threads << " threads";
        EXPECT_GT(m.TimeStep, 20);
    }
}

} // namespace
