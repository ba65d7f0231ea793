#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "ui/win32/owner_data_list.h"

namespace dustrel::ui::win32 {

// The list asks when the pointer rests on a row. When the row's text does not show whole, the
// buffer holds it already, and the tip goes below it, so the user sees the whole path too.
void OwnerDataList::fillTip(NMLVGETINFOTIPW& request) const {
    if (request.pszText == nullptr || request.cchTextMax <= 0) {
        return;
    }
    const auto capacity = static_cast<std::size_t>(request.cchTextMax);
    std::size_t length = 0;
    while ((request.dwFlags & LVGIT_UNFOLDED) == 0 && length + 1 < capacity &&
           request.pszText[length] != L'\0') {
        ++length;
    }
    const bool present =
        request.iItem >= 0 && static_cast<std::size_t>(request.iItem) < list_.rowCount();
    const std::wstring tip = present && list_.rowTip
                                 ? list_.rowTip(list_.row(static_cast<std::size_t>(request.iItem)))
                                 : std::wstring();
    if (!tip.empty()) {
        const std::wstring text = length > 0 ? L"\r\n" + tip : tip;
        const std::size_t copied = std::min(text.size(), capacity - 1 - length);
        std::wmemcpy(request.pszText + length, text.data(), copied);
        length += copied;
    }
    request.pszText[length] = L'\0';
}

}  // namespace dustrel::ui::win32
