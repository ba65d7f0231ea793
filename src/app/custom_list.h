#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace dustrel::app {

// The custom-extension list split into its parts. The list is a run of entries, each a display
// name, "?", an extension and a closing "#"; text after the last "#" is no entry.
struct CustomList {
    // Per entry, in stored order, plus one empty slot at the end.
    std::vector<std::wstring> entries;
    std::vector<std::wstring> names;
    std::vector<std::wstring> extensions;
    // The entry behind each category row the list adds, in row order. An entry without "?",
    // or one the custom-extension window would refuse, adds no row (and is never searched), so
    // rows and entries need not line up by position.
    std::vector<std::size_t> rowEntries;
};

CustomList parseCustomList(const std::wstring& value);

}  // namespace dustrel::app
