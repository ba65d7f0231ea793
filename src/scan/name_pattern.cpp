#include "scan/name_pattern.h"

#include "platform/path_text.h"

namespace dustrel::scan {

namespace {

// Greedy match with one backtrack point: the last "*" seen takes one more character whenever
// what follows it fails. Linear for the usual patterns, O(n * m) at worst.
bool globMatch(std::wstring_view pattern, std::wstring_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = std::wstring_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starAt = p++;
            starName = n;
        } else if (starAt != std::wstring_view::npos) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace

NamePattern::NamePattern(std::wstring_view pattern)
    : text_(pattern), upper_(platform::upperCase(pattern)) {
    const std::wstring_view upper(upper_);
    const std::size_t wild = upper.find_first_of(L"*?");
    if (wild == std::wstring_view::npos) {
        kind_ = Kind::Exact;
    } else if (wild == 0 && upper[0] == L'*' && upper.size() > 1 &&
               upper.substr(1).find_first_of(L"*?") == std::wstring_view::npos) {
        kind_ = Kind::Suffix;
    } else {
        kind_ = Kind::General;
    }
}

bool NamePattern::matches(std::wstring_view name) const {
    return matchesUpper(platform::upperCase(name));
}

bool NamePattern::matchesUpper(std::wstring_view upperName) const {
    switch (kind_) {
        case Kind::Exact:
            return upperName == std::wstring_view(upper_);
        case Kind::Suffix: {
            const std::wstring_view tail = std::wstring_view(upper_).substr(1);
            return upperName.size() >= tail.size() &&
                   upperName.substr(upperName.size() - tail.size()) == tail;
        }
        case Kind::General:
            break;
    }
    return globMatch(upper_, upperName);
}

}  // namespace dustrel::scan
