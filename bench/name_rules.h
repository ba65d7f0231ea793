#pragma once

#include <array>
#include <string_view>

namespace dustrel::bench {

// The built-in patterns in category order, which is the order of the rows a scan lists.
inline constexpr std::array<std::string_view, 14> kPatterns = {
    "*.tmp", "*._tmp", "*.dmp",       "mscreate.dir", "thumbs.db", "*.gid", "*.fts",
    "*.ftg", "*.log",  "modemst.txt", "suhdlog.dat",  "*log.txt",  "*.bak", "*.old"};

// The plain rules on a long name: letter case ignored, '*' any run, '?' one character. The
// patterns are ASCII, so folding ASCII case is enough.
inline bool wildMatch(std::string_view pattern, std::string_view name) {
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
            ++p, ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace dustrel::bench
