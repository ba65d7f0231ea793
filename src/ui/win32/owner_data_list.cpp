#include "ui/win32/owner_data_list.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <string>
#include <string_view>

#include "ui/list_search.h"
#include "ui/win32/gdi_cache.h"
#include "ui/win32/geometry.h"

namespace dustrel::ui::win32 {

namespace {

bool sameTextIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           (a.empty() || CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                                        static_cast<int>(a.size()), b.data(),
                                        static_cast<int>(b.size())) == CSTR_EQUAL);
}

const std::wstring& cellText(const ListRow& row, int column) {
    static const std::wstring empty;
    if (column <= 0) {
        return row.text;
    }
    const auto sub = static_cast<std::size_t>(column - 1);
    return sub < row.subItems.size() ? row.subItems[sub] : empty;
}

}  // namespace

void OwnerDataList::applyStyles() {
    // Info tips: the model's row tips, asked for as the pointer comes to rest on a row.
    DWORD exStyle = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP;
    if (list_.checkBoxes()) {
        exStyle |= LVS_EX_CHECKBOXES;
    }
    ListView_SetExtendedListViewStyleEx(hwnd_, exStyle, exStyle);
    if (list_.checkBoxes()) {
        // An owner-data list keeps no check state: it asks for the state image with the text.
        ListView_SetCallbackMask(hwnd_, LVIS_STATEIMAGEMASK);
    }
}

void OwnerDataList::applyColors() {
    const auto color = list_.backColor();
    const COLORREF ref = color ? toColorRef(*color) : GetSysColor(COLOR_WINDOW);
    ListView_SetBkColor(hwnd_, ref);
    ListView_SetTextBkColor(hwnd_, ref);
}

void OwnerDataList::applyColumns(int dpi) {
    const HWND header = ListView_GetHeader(hwnd_);
    const int present = header != nullptr ? Header_GetItemCount(header) : 0;
    const auto& columns = list_.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = twipsToPixels(columns[i].width, dpi);
        column.pszText = const_cast<wchar_t*>(columns[i].header.c_str());
        column.iSubItem = static_cast<int>(i);
        if (static_cast<int>(i) < present) {
            ListView_SetColumn(hwnd_, static_cast<int>(i), &column);
        } else {
            ListView_InsertColumn(hwnd_, static_cast<int>(i), &column);
        }
    }
    for (int i = present - 1; i >= static_cast<int>(columns.size()); --i) {
        ListView_DeleteColumn(hwnd_, i);
    }
}

void OwnerDataList::applyRowCount(bool appendedOnly) {
    const int count = static_cast<int>(std::min<std::size_t>(list_.rowCount(), INT_MAX));
    if (appendedOnly) {
        ListView_SetItemCountEx(hwnd_, count, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
        return;
    }
    ListView_SetItemCountEx(hwnd_, count, LVSICF_NOSCROLL);
    // A re-sort keeps the count, so the list must be told its rows changed.
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void OwnerDataList::redrawRow(std::size_t index) {
    if (index <= INT_MAX) {
        ListView_RedrawItems(hwnd_, static_cast<int>(index), static_cast<int>(index));
    }
}

void OwnerDataList::focusARow() {
    if (GetFocus() != hwnd_ || ListView_GetItemCount(hwnd_) == 0 ||
        ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED) >= 0) {
        return;
    }
    const int selected = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED);
    const int row = std::max(selected, 0);
    ListView_SetItemState(hwnd_, row, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
}

bool OwnerDataList::newRowsInView(HWND hwnd) {
    const int shown = ListView_GetItemCount(hwnd);
    const int lastInView = ListView_GetTopIndex(hwnd) + ListView_GetCountPerPage(hwnd);
    return shown <= lastInView;
}

LRESULT OwnerDataList::paint(UINT msg, WPARAM wParam, LPARAM lParam) {
    const int top = std::max(ListView_GetTopIndex(hwnd_), 0);
    // The row cut off at the bottom is in view too.
    const int last = top + std::max(ListView_GetCountPerPage(hwnd_), 0);
    picture_.beginPaint(list_, static_cast<std::size_t>(top), static_cast<std::size_t>(last));
    const LRESULT result = DefSubclassProc(hwnd_, msg, wParam, lParam);
    picture_.endPaint();
    return result;
}

LRESULT OwnerDataList::onNotify(NMHDR& header) {
    switch (header.code) {
        case LVN_GETDISPINFOW:
            fillItem(reinterpret_cast<NMLVDISPINFOW&>(header).item);
            return 0;
        case LVN_GETINFOTIPW:
            fillTip(reinterpret_cast<NMLVGETINFOTIPW&>(header));
            return 0;
        case LVN_ODFINDITEMW:
            return findRow(reinterpret_cast<NMLVFINDITEMW&>(header));
        case LVN_COLUMNCLICK: {
            const int column = reinterpret_cast<NMLISTVIEW&>(header).iSubItem;
            if (column >= 0) {
                list_.userColumnClick(static_cast<std::size_t>(column));
            }
            return 0;
        }
        default:
            return 0;
    }
}

void OwnerDataList::fillItem(LVITEMW& item) const {
    // The list may ask for a row the model has just removed, before it hears of the count.
    const bool present = item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < list_.rowCount();
    if (item.iItem >= 0 && item.iSubItem == 0) {
        picture_.drawn(list_, static_cast<std::size_t>(item.iItem));
    }
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        const std::wstring* text =
            present ? &cellText(list_.row(static_cast<std::size_t>(item.iItem)), item.iSubItem)
                    : nullptr;
        const std::size_t length =
            text != nullptr ? std::min(text->size(), static_cast<std::size_t>(item.cchTextMax - 1))
                            : 0;
        if (length > 0) {
            std::wmemcpy(item.pszText, text->data(), length);
        }
        item.pszText[length] = L'\0';
    }
    if ((item.mask & LVIF_STATE) != 0 && list_.checkBoxes() && item.iSubItem == 0) {
        const bool checked = present && list_.row(static_cast<std::size_t>(item.iItem)).checked;
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

LRESULT OwnerDataList::findRow(const NMLVFINDITEMW& request) const {
    const LVFINDINFOW& info = request.lvfi;
    if ((info.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || info.psz == nullptr) {
        return -1;
    }
    const RowSearch search{info.psz, request.iStart, (info.flags & LVFI_PARTIAL) != 0,
                           (info.flags & LVFI_WRAP) != 0};
    const auto row = ui::findRow(list_, search, sameTextIgnoringCase);
    return row ? static_cast<LRESULT>(*row) : -1;
}

LRESULT OwnerDataList::onInput(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (!list_.checkBoxes()) {
        return 0;
    }
    // The list would toggle its own state image, which an owner-data list cannot keep: the
    // view takes the click on the box and the space bar itself and asks the model once.
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            LVHITTESTINFO hit{};
            hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const int row = ListView_SubItemHitTest(hwnd_, &hit);
            if (row >= 0 && hit.iSubItem == 0 && (hit.flags & LVHT_ONITEMSTATEICON) != 0) {
                handled = true;
                // Focused first: a list taking the focus with no focused row would mark another.
                ListView_SetItemState(hwnd_, row, LVIS_FOCUSED, LVIS_FOCUSED);
                SetFocus(hwnd_);
                userToggle(row);
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
                const int row = ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED);
                if (row >= 0) {
                    handled = true;
                    userToggle(row);
                }
            }
            return 0;
        case WM_CHAR:
            // The space that toggled a row is no search text.
            handled = wParam == L' ';
            return 0;
        default:
            return 0;
    }
}

// The model's handler may unload the form, and this list with it: nothing may follow.
void OwnerDataList::userToggle(int position) {
    if (position < 0) {
        return;
    }
    // The rows may have been re-ordered since the window was painted (a sort, the end of a
    // drive's walk): the tick goes to the row the user saw there, or nowhere.
    if (const auto row = picture_.rowAt(list_, static_cast<std::size_t>(position))) {
        list_.userToggle(*row);
    }
}

}  // namespace dustrel::ui::win32
