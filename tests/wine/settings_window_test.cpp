// The settings window's "Keep Log Files For" under real windows: the keys and the mouse as the
// user works them, the logs on the fakes.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "support/fake_platform.h"
#include "ui/win32/win32_host.h"

namespace dustrel::testing {
namespace {

using Names = std::vector<std::wstring>;

// The arrow keys on the closed list pass over entries ("Last 1 Day" first): nothing is purged
// until the user settles, by Enter, by moving on, by a pick from the open list or by closing.
TEST(SettingsWindowTest, LogsArePurgedForTheAgeSettledOnNotThosePassedOver) {
    ui::win32::Win32Host host;
    FakePlatform fakes;
    fakes.clock.current = {2026, 12, 5, 10, 0, 0};
    app::AppContext context{fakes.platform(), {}};
    app::FrmMain main(host, context);  // not loaded: only its settings window is shown
    settings::FrmSettings& window = main.frmSettings();
    window.show();
    const HWND box = host.windowOf(window.ui().cboLogFiles);
    const auto key = [&](UINT key) {
        SetFocus(box);
        PostMessageW(box, WM_KEYDOWN, key, 1);
        PostMessageW(box, WM_KEYUP, key, 0xC0000001);
    };
    const auto pickFirst = [&] {
        SetFocus(box);
        SendMessageW(box, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(GetComboBoxInfo(box, &info));
        RECT item{};
        SendMessageW(info.hwndList, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
        PostMessageW(info.hwndList, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(info.hwndList, WM_LBUTTONUP, 0, at);
    };
    const std::wstring folder = L"C:\\Program Files\\Dustrel\\log files\\";
    const Names logs{folder + L"Dustrel-11152026-1.log", folder + L"Dustrel-11252026-1.log",
                     folder + L"Dustrel-12022026-1.log"};
    // What the user does (v and ^ the arrow keys, E Enter, T Tab, P a pick of the first entry
    // from the open list, X the close box), the entry then shown, and how many logs are left
    // of those 20, 10 and 3 days old.
    const struct {
        const char* does;
        int entry;
        std::size_t left;
    } steps[] = {{"v", 0, 3}, {"v", 1, 3}, {"v", 2, 3}, {"E", 2, 2},
                 {"^", 1, 3}, {"T", 1, 1}, {"P", 0, 0}, {"vX", 1, 1}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.does);
        for (const std::wstring& log : logs) {
            fakes.files.addFile(log, "log");
        }
        for (const char* c = step.does; *c != '\0'; ++c) {
            switch (*c) {
                case 'P':
                    pickFirst();
                    break;
                case 'X':
                    SendMessageW(host.windowOf(window), WM_CLOSE, 0, 0);
                    break;
                default:
                    key(*c == 'v' ? VK_DOWN : *c == '^' ? VK_UP : *c == 'E' ? VK_RETURN : VK_TAB);
            }
            for (int i = 0; i < 3; ++i) {
                host.doEvents();
            }
        }
        EXPECT_EQ(fakes.files.allFiles(), Names(logs.end() - step.left, logs.end()));
        if (window.loaded()) {
            EXPECT_EQ(window.ui().cboLogFiles.listIndex(), step.entry);
            EXPECT_EQ(SendMessageW(box, CB_GETCURSEL, 0, 0), step.entry);
        }
    }
    EXPECT_FALSE(window.loaded());
}

}  // namespace
}  // namespace dustrel::testing
