#pragma once
#include <string_view>
#include <vector>

namespace marovi {

// The lines of a text file that carry data, trimmed: comment lines ("#...") and blank lines
// skipped, CR LF or LF line ends.
struct TDataLine {
    int Number; // 1-based line number in the file
    std::string_view Text;
};
std::vector<TDataLine> DataLines(std::string_view text);

} // namespace marovi
