// Junk past MAX_PATH on a real drive (S:, which scripts/test.sh maps), through the real window:
// found, its size and time in the tips, deleted and logged.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/utf8.h"
#include "support/win32_real_window.h"
#include "support/win32_temp_tree.h"

namespace dustrel::testing {
namespace {

// What the list hands its parent when the pointer rests on `row`; `shown` is the row's text when
// it does not show whole.
std::wstring infoTip(HWND list, int row, const std::wstring& shown = {}) {
    wchar_t text[INFOTIPSIZE] = {};
    shown.copy(text, shown.size());
    NMLVGETINFOTIPW request{};
    request.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), LVN_GETINFOTIPW};
    request.dwFlags = shown.empty() ? LVGIT_UNFOLDED : 0;
    request.pszText = text;
    request.cchTextMax = INFOTIPSIZE;
    request.iItem = row;
    SendMessageW(GetParent(list), WM_NOTIFY, request.hdr.idFrom,
                 reinterpret_cast<LPARAM>(&request));
    return text;
}

TEST(DeepPathTest, JunkPastMaxPathIsFoundTippedDeletedAndLogged) {
    const std::wstring d(200, L'd');  // paths of 300 and 600 characters
    const std::vector<std::wstring> deep{
        L"S:\\Deep\\" + d + L"\\" + std::wstring(79, L'e') + L"\\junk300.tmp",
        L"S:\\Deep\\" + d + L"\\" + d + L"\\" + std::wstring(178, L'e') + L"\\junk600.log"};
    std::string script = "cd '" + unixPath(L"S:\\") +
                         "' && find . -mindepth 1 -maxdepth 1 ! -name Link -exec rm -rf {} +\n";
    for (const std::wstring& path : deep) {
        std::string unix(path.begin() + 3, path.end());
        std::replace(unix.begin(), unix.end(), '\\', '/');
        script += "mkdir -p \"$(dirname " + unix + ")\" && head -c 1340 /dev/zero > " + unix +
                  " && touch -d '2021-03-04 05:06:07Z' " + unix + "\n";
    }
    ASSERT_TRUE(runUnix(script));
    RealMainWindow window;
    auto& c = window.ui();
    for (std::size_t row = 0; row < c.ListDrive.rowCount(); ++row) {
        c.ListDrive.setChecked(row, c.ListDrive.row(row).text == L"S:\\");
    }
    c.cmdCheckAll.click();
    c.cmdNext1.click();
    ASSERT_EQ(c.ListFiles.rowCount(), 2u) << "S: is mapped by scripts/test.sh";
    EXPECT_EQ((std::vector<std::wstring>{c.ListFiles.row(0).text, c.ListFiles.row(1).text}), deep);

    // Delete's tip is the form's tooltip's, which follows the ticks.
    const HWND form = window.host.windowOf(window.form);
    HWND tips = nullptr;
    do {
        tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr);
    } while (tips != nullptr && GetWindow(tips, GW_OWNER) != form);
    c.cmdCheck.click();
    wchar_t text[80] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(window.host.windowOf(c.cmdDelete));
    tool.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), L"2 files ticked, 2680 B");
    // A row's tip is the list's info tip, below the row's text when that does not show whole.
    const HWND list = window.host.windowOf(c.ListFiles);
    EXPECT_NE(ListView_GetExtendedListViewStyle(list) & LVS_EX_INFOTIP, 0u);
    const std::wstring tip = L"Size: 1340 B\r\nDate modified: 04/03/2021 06:06:07";
    EXPECT_EQ(infoTip(list, 0), tip);
    EXPECT_EQ(infoTip(list, 0, deep[0]), deep[0] + L"\r\n" + tip);
    EXPECT_EQ(infoTip(list, 5), L"");

    c.cmdDelete.click();
    std::string logs;
    for (const auto& log : std::filesystem::directory_iterator(
             std::filesystem::path(window.real.system.executablePath()).parent_path() /
             L"log files")) {
        logs += bytesOf(log.path().wstring());
    }
    for (const std::wstring& path : deep) {
        EXPECT_EQ(GetFileAttributesW((L"\\\\?\\" + path).c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_NE(logs.find(platform::toUtf8(path) + "\r\n"), std::string::npos);
    }
}

}  // namespace
}  // namespace dustrel::testing
