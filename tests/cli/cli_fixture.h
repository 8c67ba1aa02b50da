#pragma once
// The fixture of the end-to-end tests of marovi-cli: the built binary runs in a scratch directory.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../core/text_test_util.h"
#include "files/grid_file.h"
#include "model/model.h"

namespace cli_test {

namespace fs = std::filesystem;

struct TCliResult {
    int Code = -1;
    std::string Out, Err;
};

inline std::string ReadBytes(const fs::path& p) { return files_test::ReadAll(p.string()); }
inline std::vector<std::string> ReadLines(const fs::path& p) { return text_test::CrlfLines(p.string()); }

// The lines of a status file without their date and time (the text before the first ';').
inline std::vector<std::string> WithoutDates(const std::vector<std::string>& lines)
{
    std::vector<std::string> rest;
    for (const std::string& l : lines) rest.push_back(l[0] == '#' ? l : l.substr(l.find(';')));
    return rest;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("marovi_cli_" + std::string(test->test_suite_name()) + "_" + test->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs marovi-cli with the arguments (shell words) in the scratch directory.
    TCliResult Run(const std::string& arguments, const std::string& environment = "") const
    {
        const fs::path out = dir / ".stdout", err = dir / ".stderr";
        const std::string command = "cd '" + dir.string() + "' && " + environment + " '" MAROVI_CLI "' " + arguments +
                                    " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
        const int status = std::system(command.c_str());
        TCliResult r;
        r.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.Out = ReadBytes(out);
        r.Err = ReadBytes(err);
        fs::remove(out);
        fs::remove(err);
        return r;
    }

    // The files a command left, scratch files of the test excluded.
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    marovi::Model Load(const std::string& name) const
    {
        marovi::Model m;
        marovi::LoadGridFile(m, (dir / name).string());
        return m;
    }

    fs::path dir;
};

using Names = std::vector<std::string>;

} // namespace cli_test
