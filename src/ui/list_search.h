#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include "ui/list_view.h"

namespace dustrel::ui {

// What the user typed into a list, and where the list looks for it.
struct RowSearch {
    std::wstring_view text;
    // The first row to look at; before the first row means the first.
    long long start = 0;
    // The typed text may be the start of a row's text rather than all of it.
    bool partial = false;
    // Past the last row, the search goes on from the first up to where it started.
    bool wrap = false;
};

// Whether two texts are equal as the user reads them (the view uses the system's comparison,
// letter case ignored).
using SameText = std::function<bool(std::wstring_view, std::wstring_view)>;

// Type-ahead: the first row, from the start on, whose text (the first column) is the typed
// text; nothing when no row is.
std::optional<std::size_t> findRow(const ListView& list, const RowSearch& search,
                                   const SameText& sameText);

}  // namespace dustrel::ui
