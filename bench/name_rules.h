#pragma once

#include <array>
#include <initializer_list>
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

// Whether `path` ("T:\\...") lies in a Recycle Bin folder directly under the drive root, which a
// scan passes over whatever the folder's letter case. The classic design passes over only
// "RECYCLED", in capitals.
inline bool inRecycleBinAtRoot(std::string_view path) {
    const std::size_t end = path.find('\\', 3);
    if (path.size() < 4 || path.substr(1, 2) != ":\\" || end == std::string_view::npos) {
        return false;
    }
    const std::string_view folder = path.substr(3, end - 3);
    for (std::string_view bin : {"$Recycle.Bin", "RECYCLER", "RECYCLED"}) {
        if (folder.size() == bin.size() && wildMatch(bin, folder)) {
            return true;
        }
    }
    return false;
}

}  // namespace dustrel::bench
