// Keyboard and screen-reader users, through the real main window: keys alone lead from a fresh
// start to a ticked found file, each field has its label just before it in the window order
// (where a screen reader looks for its name), and the program's changes are heard.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win32_real_window.h"
#include "support/win32_win_events.h"

namespace dustrel::testing {
namespace {

using Event = WinEvents::Event;

std::wstring textOf(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

// What a screen reader names a field by: the first label before it in the window order, unless
// it meets a control that starts a group and takes the focus first.
std::wstring labelBefore(HWND field) {
    for (HWND w = GetWindow(field, GW_HWNDPREV); w != nullptr; w = GetWindow(w, GW_HWNDPREV)) {
        wchar_t windowClass[32] = {};
        GetClassNameW(w, windowClass, 32);
        if (_wcsicmp(windowClass, WC_STATICW) == 0) {
            return textOf(w);
        }
        if ((GetWindowLongW(w, GWL_STYLE) & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP)) {
            return L"(stopped at a tab stop)";
        }
    }
    return L"(none)";
}

class KeyboardTest : public ::testing::Test {
protected:
    // As the message loop does: what is queued, then what was held back.
    void pump() {
        for (int i = 0; i < 5; ++i) {
            window.host.doEvents();
            window.host.idle();
        }
    }
    // A key pressed on whatever has the focus, through the queue as a typed one comes.
    void press(WPARAM key) {
        const HWND focus = GetFocus();
        ASSERT_NE(focus, nullptr);
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
        pump();
    }
    HWND hwnd(const ui::Control& control) { return window.host.windowOf(control); }
    bool drawnAsDefault(const ui::Control& button) {
        return (GetWindowLongW(hwnd(button), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    }
    std::vector<Event> ticks(const ui::Control& list, LONG first, LONG last) {
        std::vector<Event> events;
        for (LONG child = first; child <= last; ++child) {
            events.push_back({EVENT_OBJECT_STATECHANGE, hwnd(list), OBJID_CLIENT, child});
        }
        return events;
    }

    RealMainWindow window;
    app::FrmMainControls& c = window.ui();
};

TEST_F(KeyboardTest, KeysAloneGoFromAFreshStartToATickedFoundFileAndEveryTickIsHeard) {
    // Something for the scan of the first drive, C:, to find.
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring found = std::wstring(temp) + L"dustrel keys.tmp";
    CloseHandle(CreateFileW(found.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    WinEvents events;
    SetForegroundWindow(window.host.windowOf(window.form));
    pump();

    for (int tabs = 0; tabs < 5 && GetFocus() != hwnd(c.ListDrive); ++tabs) {
        press(VK_TAB);
    }
    ASSERT_EQ(GetFocus(), hwnd(c.ListDrive));
    EXPECT_TRUE(drawnAsDefault(c.cmdNext) && !drawnAsDefault(c.cmdSettings));
    press(VK_SPACE);
    ASSERT_TRUE(c.ListDrive.row(0).checked) << "the first drive was not ticked";
    EXPECT_EQ(ListView_GetNextItem(hwnd(c.ListDrive), -1, LVNI_FOCUSED | LVNI_SELECTED), 0);
    press(VK_RETURN);
    ASSERT_TRUE(window.form.isPageShown(c.Frame4));
    EXPECT_EQ(GetFocus(), hwnd(c.lstOptions));
    press(VK_SPACE);
    press(VK_RETURN);  // the whole scan, and its message
    ASSERT_TRUE(window.form.isPageShown(c.Frame3));
    DeleteFileW(found.c_str());
    ASSERT_GT(c.ListFiles.rowCount(), 0u);
    EXPECT_EQ(GetFocus(), hwnd(c.ListFiles));
    EXPECT_FALSE(drawnAsDefault(c.cmdDelete));
    press(VK_RETURN);  // Enter on the list presses nothing
    EXPECT_EQ(window.boxes.texts.size(), 2u);
    press(VK_SPACE);
    EXPECT_EQ(c.ListFiles.checkedCount(), 1u);
    EXPECT_TRUE(c.ListFiles.row(0).checked);
    EXPECT_EQ(events.ofClient(hwnd(c.ListDrive)), ticks(c.ListDrive, 1, 1));
    EXPECT_EQ(events.ofClient(hwnd(c.lstOptions)), ticks(c.lstOptions, 1, 1));
    EXPECT_EQ(events.ofClient(hwnd(c.ListFiles)), ticks(c.ListFiles, 1, 1));

    // Check All is heard row by row while the rows it ticks fit in the list, else as one change.
    const auto rows = static_cast<LONG>(c.ListFiles.rowCount());
    const LONG shown = ListView_GetCountPerPage(hwnd(c.ListFiles));
    events.seen.clear();
    press(VK_TAB);
    ASSERT_EQ(GetFocus(), hwnd(c.cmdCheck));
    EXPECT_TRUE(drawnAsDefault(c.cmdCheck));
    press(VK_SPACE);
    const std::vector<Event> reordered{
        {EVENT_OBJECT_REORDER, hwnd(c.ListFiles), OBJID_CLIENT, CHILDID_SELF}};
    EXPECT_EQ(events.ofClient(hwnd(c.ListFiles)),
              rows - 1 <= shown ? ticks(c.ListFiles, 2, rows) : reordered);
    for (LONG i = 0; i < shown; ++i) {
        c.ListFiles.addRow(L"C:\\more" + std::to_wstring(i) + L".tmp");
    }
    events.seen.clear();
    c.cmdClear.click();
    pump();
    EXPECT_EQ(events.ofClient(hwnd(c.ListFiles)),
              rows <= shown ? ticks(c.ListFiles, 1, rows) : reordered);
    events.seen.clear();
    c.cmdCheck.click();
    pump();
    EXPECT_EQ(events.ofClient(hwnd(c.ListFiles)), reordered);
}

TEST_F(KeyboardTest, ThePageInFrontTakesTheFocusOnItsFirstControl) {
    SetForegroundWindow(window.host.windowOf(window.form));
    pump();
    SetFocus(hwnd(c.cmdSettings));
    c.mnuAbout.click();
    pump();
    EXPECT_EQ(GetFocus(), hwnd(c.cmdOK));
    press(VK_RETURN);
    EXPECT_TRUE(window.form.isPageShown(c.Frame2));
    EXPECT_EQ(GetFocus(), hwnd(c.ListDrive));
}

TEST_F(KeyboardTest, EachFieldHasItsLabelJustBeforeIt) {
    auto& s = window.form.frmSettings().ui();
    auto& x = window.form.frmCustomExt().ui();
    const std::pair<const ui::Control*, std::wstring> names[] = {
        {&c.ListDrive, c.Label18.caption()},
        {&c.lstOptions, c.Label2.caption()},
        {&c.ListFiles, L"Select the files you would like to delete from the below list"},
        {&c.lstFilesDelete, L"The following junk files were deleted successfully."},
        {&s.cboLogFiles, L"Keep Log Files For"},
        {&x.txtExtType, L"Extension Type"},
        {&x.txtCustom, L"Extension"},
    };
    for (const auto& [field, name] : names) {
        EXPECT_EQ(labelBefore(hwnd(*field)), name) << field->name();
    }
    // The labels moved, the focusable controls did not.
    std::vector<HWND> stops;
    for (HWND w = GetWindow(hwnd(x.Frame1), GW_CHILD); w != nullptr;
         w = GetWindow(w, GW_HWNDNEXT)) {
        if ((GetWindowLongW(w, GWL_STYLE) & WS_TABSTOP) != 0) {
            stops.push_back(w);
        }
    }
    EXPECT_EQ(stops, (std::vector<HWND>{hwnd(x.txtExtType), hwnd(x.cmdAdd), hwnd(x.txtCustom)}));
}

}  // namespace
}  // namespace dustrel::testing
