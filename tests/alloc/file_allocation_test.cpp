// A small hostile file cannot make a reader allocate for the counts it claims: every count
// is checked against the bytes the file holds first. This executable replaces the global
// allocation functions to add up what a refused load allocates.
#include <gtest/gtest.h>

#include "../core/files_test_util.h"
#include "counting_new.h"
#include "files/flow_grid_file.h"
#include "files/grid_file.h"
#include "util/error.h"
#include "util/large_block.h"

namespace {

using files_test::Bytes;

// Bytes allocated while the load of the file is refused.
template <class Load>
long long RefusedLoadAllocates(const std::string& bytes, Load load)
{
    files_test::TempDir dir;
    const std::string path = dir.File("hostile");
    files_test::WriteAll(path, bytes);
    marovi::Model m;
    // The grid's large arrays are mapped on their own, past operator new.
    auto allocated = [] { return alloc_count::bytes.load() + static_cast<long long>(marovi::TLargeBlock::MappedTotal()); };
    const long long before = allocated();
    EXPECT_THROW(load(m, path), marovi::Error);
    return allocated() - before;
}

Bytes GridHeader(int xdim, int ydim)
{
    Bytes b(1024);
    b.Text(0, "MAROVI GRID FILE").Text(16, "V 1.20").I32(24, 1).I32(28, xdim).I32(32, ydim).U8(528, 'J');
    b.I32(608 + 480, 1).I32(608 + 484, 1);
    return b;
}

TEST(FileAllocation, CounterSeesAllocations)
{
    const long long before = alloc_count::bytes.load();
    ::operator delete(::operator new(1000));
    EXPECT_EQ(alloc_count::bytes.load(), before + 1000);
    const unsigned long long mapped = marovi::TLargeBlock::MappedTotal();
    marovi::TLargeBlock(size_t{8} << 20, marovi::TLargeBlock::OnFirstUse);
    EXPECT_EQ(marovi::TLargeBlock::MappedTotal(), mapped + (8u << 20));
}

TEST(FileAllocation, OneKibGridFileClaimingAMillionCells)
{
    auto load = [](marovi::Model& m, const std::string& p) { marovi::LoadGridFile(m, p); };
    // A 1000 x 1000 grid would take hundreds of MiB; a 2 x 2 one loads for comparison.
    EXPECT_LT(RefusedLoadAllocates(GridHeader(1000, 1000).Str(), load), 16 * 1024);
    EXPECT_LT(RefusedLoadAllocates(GridHeader(1, 1).I32(24, 100000000).Str(), load), 16 * 1024);
    EXPECT_LT(RefusedLoadAllocates(GridHeader(1, 1).I32(36, 100000000).Str(), load), 16 * 1024);
    // The flow grid block claims a billion cells.
    EXPECT_LT(RefusedLoadAllocates(GridHeader(1, 1).I32(608 + 480, 40000).I32(608 + 484, 25000).Str(), load), 16 * 1024);
}

TEST(FileAllocation, FlowGridFilesClaimingABillionCells)
{
    auto binary = [](marovi::Model& m, const std::string& p) { marovi::LoadFlowGrid(m.FlowGrid, p); };
    EXPECT_LT(RefusedLoadAllocates(Bytes(1024).I32(0, 40000).I32(4, 25000).Str(), binary), 16 * 1024);
    auto text = [](marovi::Model& m, const std::string& p) { marovi::ImportFlowGridText(m, p); };
    std::string lines = "40000\r\n25000\r\n";
    while (lines.size() < 1000) lines += "   0;   0;  0.0; 36.0; 1.00\r\n";
    EXPECT_LT(RefusedLoadAllocates(lines, text), 16 * 1024);
}

} // namespace
