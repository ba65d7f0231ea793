// The tips in real windows: Delete's in the form's tooltip, following the ticks, and the list
// rows' info tips, with the system's own sizes and dates.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win32_real_window.h"
#include "support/win32_temp_tree.h"

namespace dustrel::testing {
namespace {

struct TipSearch {
    HWND form;
    HWND found = nullptr;
};

BOOL CALLBACK findTooltip(HWND w, LPARAM p) {
    auto& search = *reinterpret_cast<TipSearch*>(p);
    wchar_t name[32] = {};
    GetClassNameW(w, name, 32);
    if (std::wstring(name) == TOOLTIPS_CLASSW && GetWindow(w, GW_OWNER) == search.form) {
        search.found = w;
    }
    return search.found == nullptr;
}

// The form's own tooltip window, among those the list views make for themselves.
HWND tooltipOf(HWND form) {
    TipSearch search{form};
    EnumThreadWindows(GetCurrentThreadId(), findTooltip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring toolText(HWND tips, HWND form, HWND control) {
    wchar_t text[512] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

// What the list hands its parent when the pointer rests on `row`: the row's text when `folded`.
std::wstring infoTip(HWND list, int row, bool folded, const std::wstring& shown) {
    wchar_t text[INFOTIPSIZE] = {};
    if (folded) {
        shown.copy(text, shown.size());
    }
    NMLVGETINFOTIPW request{};
    request.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), LVN_GETINFOTIPW};
    request.dwFlags = folded ? 0 : LVGIT_UNFOLDED;
    request.pszText = text;
    request.cchTextMax = INFOTIPSIZE;
    request.iItem = row;
    SendMessageW(GetParent(list), WM_NOTIFY, request.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&request));
    return text;
}

TEST(TipsViewTest, DeleteAndTheRowsTipWhatTheFilesWeigh) {
    ASSERT_EQ(GetDriveTypeW(L"S:\\"), static_cast<UINT>(DRIVE_FIXED))
        << "S: is not mapped: run the Wine tests through scripts/test.sh";
    ASSERT_TRUE(runUnix("cd '" + unixPath(L"S:\\") +
                        "' && find . -mindepth 1 -maxdepth 1 ! -name Link -exec rm -rf {} +\n"
                        "mkdir Tips && head -c 1340 /dev/zero > Tips/a.tmp && "
                        "head -c 2400016 /dev/zero > Tips/b.log && "
                        "touch -d '2021-03-04 05:06:07Z' Tips/a.tmp"));
    RealMainWindow window(nullptr, nullptr, true);
    platform::win32::Win32Locale& locale = window.real.locale;
    auto& c = window.ui();
    auto& host = window.host;
    for (std::size_t row = 0; row < c.ListDrive.rowCount(); ++row) {
        c.ListDrive.setChecked(row, c.ListDrive.row(row).text == L"S:\\");
    }
    c.cmdCheckAll.click();
    c.cmdNext1.click();
    ASSERT_EQ(c.ListFiles.rowCount(), 2u);

    const HWND form = host.windowOf(window.form), del = host.windowOf(c.cmdDelete);
    const HWND tips = tooltipOf(form);
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(toolText(tips, form, del), L"No files ticked");
    c.ListFiles.userToggle(1);
    EXPECT_EQ(toolText(tips, form, del), L"1 file ticked, " + locale.byteSize(2400016));
    EXPECT_NE(locale.byteSize(2400016).find(L"MB"), std::wstring::npos);
    c.cmdCheck.click();
    EXPECT_EQ(toolText(tips, form, del), L"2 files ticked, " + locale.byteSize(2401356));

    const HWND list = host.windowOf(c.ListFiles);
    EXPECT_NE(ListView_GetExtendedListViewStyle(list) & LVS_EX_INFOTIP, 0u);
    const platform::DateTime written =
        *locale.localTime((std::uint64_t{1614834367} + 11644473600) * 10'000'000);
    const std::wstring tip = L"Size: " + locale.byteSize(1340) + L"\r\nDate modified: " +
                             locale.shortDate(written) + L" " + locale.longTime(written);
    EXPECT_EQ(infoTip(list, 0, false, {}), tip);
    EXPECT_EQ(infoTip(list, 0, true, c.ListFiles.row(0).text),
              c.ListFiles.row(0).text + L"\r\n" + tip);
    EXPECT_EQ(infoTip(list, 5, false, {}), L"");
    const std::wstring drive = infoTip(host.windowOf(c.ListDrive), 0, false, {});
    EXPECT_EQ(drive.substr(0, 12), L"Total size: ");
}

}  // namespace
}  // namespace dustrel::testing
