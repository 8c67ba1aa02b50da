#include "files/data_lines.h"

#include "util/format.h"

namespace marovi {

std::vector<TDataLine> DataLines(std::string_view text)
{
    std::vector<TDataLine> lines;
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (Trim(line).empty() || line.front() == '#') continue;
        lines.push_back({number, Trim(line)});
    }
    return lines;
}

} // namespace marovi
