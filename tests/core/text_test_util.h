#pragma once
// Text files of the exports and the status list: lines ended by CR LF.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "files_test_util.h"

namespace text_test {

// The lines of a text file without their line ends; every line must end with CR LF.
inline std::vector<std::string> CrlfLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::istringstream in(files_test::ReadAll(path));
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << path << ": " << line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

} // namespace text_test
