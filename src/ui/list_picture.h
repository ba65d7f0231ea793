#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>

#include "ui/list_view.h"

namespace dustrel::ui {

// What a list's window last showed: which row was drawn at each position in view, and the order
// of the list at that paint. The window is told of a new order a moment after it happens and
// paints later still, so a click or key names a position on the picture the user saw; this maps
// it to that row wherever it stands now, never to a row that moved into its place unseen.
class ListPicture {
public:
    // Nothing drawn yet, over a list in the order `orderGeneration`.
    explicit ListPicture(std::uint64_t orderGeneration = 0) : order_(orderGeneration) {}

    // A paint of the window begins, with positions `first` to `last` in view: what was drawn
    // elsewhere has scrolled out of sight.
    void beginPaint(const ListView& list, std::size_t first, std::size_t last);
    void endPaint() { painting_ = false; }
    // The list's row at `position` (or none, past its end) has been drawn there. Rows asked for
    // outside a paint (by a screen reader, say) are not on the screen and change nothing.
    void drawn(const ListView& list, std::size_t position);

    // The row, as an index of the list now, that the user meant by `position`: the row drawn
    // there; at a position not drawn since, the row there now, if the order has not changed since
    // the last paint. Nothing when that row is gone, or when the list may have moved under it.
    std::optional<std::size_t> rowAt(const ListView& list, std::size_t position) const;

private:
    std::uint64_t order_;
    bool painting_ = false;
    std::map<std::size_t, std::uint64_t> drawn_;  // position -> row id
};

}  // namespace dustrel::ui
