// Replays the fuzz seed corpora and every input the fuzzers ever found a fault with
// (fuzz/regression/<target>/) through the same checks the fuzz targets make.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "../../fuzz/checks.h"
#include "files_test_util.h"

namespace {

namespace fs = std::filesystem;
using TCheck = std::string (*)(std::string_view);

const std::map<std::string, TCheck>& Checks()
{
    static const std::map<std::string, TCheck> checks = {
        {"grid_file", fuzz_checks::CheckGridFile},     {"status_list", fuzz_checks::CheckStatusList},
        {"species_pool", fuzz_checks::CheckSpeciesPool}, {"disturbances", fuzz_checks::CheckDisturbances},
        {"flow_grid", fuzz_checks::CheckFlowGrid},     {"flow_text", fuzz_checks::CheckFlowText},
        {"state_defs", fuzz_checks::CheckStateDefs},   {"grey_image", fuzz_checks::CheckGreyImage},
        {"bmp", fuzz_checks::CheckBmp},                {"cell_matrix", fuzz_checks::CheckCellMatrix},
    };
    return checks;
}

const fs::path FuzzDir = MAROVI_FUZZ_DIR;

// Runs every file under fuzz/<set>/<target>/ through its target's check; returns how many.
int Replay(const std::string& set)
{
    int files = 0;
    for (const auto& [target, check] : Checks()) {
        const fs::path dir = FuzzDir / set / target;
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (!entry.is_regular_file()) continue;
            ++files;
            EXPECT_EQ(check(files_test::ReadAll(entry.path().string())), "") << entry.path();
        }
    }
    return files;
}

} // namespace

TEST(FuzzRegression, SeedCorporaPassEveryCheck)
{
    EXPECT_GE(Replay("corpus"), 20);
}

TEST(FuzzRegression, FoundInputsStayMended)
{
    EXPECT_GE(Replay("regression"), 1);
}

TEST(FuzzRegression, ChecksNoticeABrokenReader)
{
    // The invariants the checks rely on must notice a damaged model.
    marovi::Model m = fuzz_checks::Current();
    EXPECT_EQ(fuzz_checks::CellInvariants(m), "");
    m.Cells[0].IndividualCount += 1;
    EXPECT_EQ(fuzz_checks::CellInvariants(m), "individual count");
    m = fuzz_checks::Current();
    m.StepAbundance[0] += 1;
    EXPECT_EQ(fuzz_checks::CellInvariants(m), "step abundance");
    EXPECT_EQ(fuzz_checks::CheckStateDefs(std::string(480, '\x02')), "");
    EXPECT_EQ(fuzz_checks::CheckStateDefs(std::string(479, '\x02')), "");
}
