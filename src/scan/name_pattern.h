#pragma once

#include <string>
#include <string_view>

namespace dustrel::scan {

// A file-name pattern matched against long names in-process: letter case is ignored, "*" stands
// for any run of characters and "?" for exactly one. Names are never matched through their 8.3
// short forms, which the file system's own search would do ("*.tmp" would list a.tmpl).
class NamePattern {
public:
    explicit NamePattern(std::wstring_view pattern);

    const std::wstring& text() const { return text_; }
    bool matches(std::wstring_view name) const;
    // For a caller that tries many patterns on one name: `upperName` is the name upper-cased
    // with platform::upperCase.
    bool matchesUpper(std::wstring_view upperName) const;

private:
    enum class Kind { Exact, Suffix, General };

    std::wstring text_;
    std::wstring upper_;
    Kind kind_ = Kind::General;
};

}  // namespace dustrel::scan
