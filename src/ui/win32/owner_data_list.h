#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>

#include "ui/list_picture.h"
#include "ui/list_view.h"

namespace dustrel::ui::win32 {

// A list view window in report view that keeps no rows of its own (owner data): it asks for
// each row's text and check box from the model's list as it paints them, however many there
// are. A thin wrapper made where it is needed; the view decides when to call it.
class OwnerDataList {
public:
    OwnerDataList(HWND hwnd, ListView& list, ListPicture& picture)
        : hwnd_(hwnd), list_(list), picture_(picture) {}

    // Full-row selection, double buffering and the check boxes the model asks for.
    void applyStyles();
    void applyColors();
    void applyColumns(int dpi);
    // The model's row count. Rows above are unchanged when `appendedOnly`: only new rows that
    // come into view are painted, and the scroll position stays.
    void applyRowCount(bool appendedOnly);
    void redrawRow(std::size_t index);
    // While the list has the focus, keeps a row focused (the first selected, else the first),
    // so that the space bar ticks at once and a screen reader has a row to read.
    void focusARow();
    // Whether rows appended to the list now would come into view.
    static bool newRowsInView(HWND hwnd);

    // The list's own paint: the rows it asks for meanwhile are what the user sees.
    LRESULT paint(UINT msg, WPARAM wParam, LPARAM lParam);
    // A notification the list sent its parent.
    LRESULT onNotify(NMHDR& header);
    // The list's own mouse and keyboard input, seen before the list: handled is set when the
    // list must not see it.
    LRESULT onInput(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

private:
    // The tip of the row the pointer rests on, from the model's rowTip.
    void fillTip(NMLVGETINFOTIPW& request) const;
    // Type-ahead: the row that starts with the typed text, or -1.
    LRESULT findRow(const NMLVFINDITEMW& request) const;
    void fillItem(LVITEMW& item) const;
    // A position of the window, as the user saw it when it was last painted.
    void userToggle(int position);

    HWND hwnd_;
    ListView& list_;
    ListPicture& picture_;
};

}  // namespace dustrel::ui::win32
