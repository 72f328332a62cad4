// Line splitting for the line-oriented formats (BRE, PBN): lines end with CR LF or with LF alone.
#pragma once

#include <string_view>
#include <vector>

namespace orvenix {

// The lines of a text without their line ends. A final line end does not start another line; a file
// without any byte has no line.
inline std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = next;
    }
    return lines;
}

} // namespace orvenix
