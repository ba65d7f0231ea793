#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace dustrel::scan {

// A kind of junk: the name shown in the category list and the file-name patterns that find it,
// in the order they are searched.
struct JunkCategory {
    std::wstring_view name;
    std::span<const std::wstring_view> patterns;
};

// The built-in categories, in the order of the first rows of the category list.
extern const std::array<JunkCategory, 6> kJunkCategories;

// The pattern of a custom item: every file with that extension.
inline std::wstring customPattern(std::wstring_view extension) {
    return L"*." + std::wstring(extension);
}

}  // namespace dustrel::scan
