// Scans through the real window on real drives: on S: (which scripts/test.sh maps), and on the
// first drive by keys alone, with what a screen reader hears.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win32_file_system.h"
#include "scan/listing_ahead.h"
#include "scan/search_folder.h"
#include "support/win32_real_window.h"
#include "support/win32_temp_tree.h"

namespace dustrel::testing {
namespace {

// What this process tells accessibility clients of its windows' contents, a word an event:
// "tick<row>" (a row's state), "all" (the whole list's) or "name" (the text). The events come
// through the thread's message queue.
std::map<HWND, std::string> g_heard;

void CALLBACK onEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                      DWORD) {
    static const std::map<DWORD, std::string> words{{EVENT_OBJECT_STATECHANGE, "tick"},
                                                    {EVENT_OBJECT_REORDER, "all"},
                                                    {EVENT_OBJECT_NAMECHANGE, "name"}};
    if (const auto word = words.find(event); word != words.end() && object == OBJID_CLIENT) {
        g_heard[hwnd] += word->second + (child != CHILDID_SELF ? std::to_string(child) : "") + " ";
    }
}

// Starts hearing afresh.
void listen() {
    [[maybe_unused]] static const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_NAMECHANGE, nullptr, onEvent,
                        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    g_heard.clear();
}

// What was heard of a window since the last look.
std::string heard(HWND hwnd) {
    return std::exchange(g_heard[hwnd], {});
}

// The real clock, which at a given look posts a click on a window. The scan looks at it once a
// folder, so the click arrives in the middle of a walk, as a user's would.
class ClickingClock final : public platform::Clock {
public:
    platform::DateTime now() override { return real_.now(); }
    std::uint32_t milliseconds() override {
        if (button != nullptr && --looksLeft == 0) {
            PostMessageW(button, BM_CLICK, 0, 0);
            skipped_ += 1000;  // the next folder looks at the queue however fast the walk goes
        }
        return real_.milliseconds() + skipped_;
    }

    int looksLeft = 0;
    HWND button = nullptr;

private:
    platform::win32::Win32Clock real_;
    std::uint32_t skipped_ = 0;
};

// Through the real window, whose repaints and looks at the queue are spaced out in time.
// From a fresh start, keys alone lead to a ticked found file on the first drive, and every tick is
// heard: row by row, or as one change of the whole list when Check All ticks more rows than the
// list shows. Each list and field has its label just before it in the window order, where a
// screen reader looks for its name.
// On S:, the list view shows the model's rows once a scan is over, and a click on Stop Scan that
// arrives in the middle of a walk stops it, which is heard, and leaves the user in the list. The
// drive's link (to a folder outside that holds beyond.tmp) is not followed, nor are the Recycle
// Bins at its root; folders of their names deeper down are.
TEST(ScanDriveTest, KeysAloneFindAndTickAFileAndTheRealWindowAnswersStopScanMidWalk) {
    ASSERT_EQ(GetDriveTypeW(L"S:\\"), static_cast<UINT>(DRIVE_FIXED))
        << "S: is not mapped: run the Wine tests through scripts/test.sh";
    ASSERT_TRUE(runUnix("cd '" + unixPath(L"S:\\") +
                        "' && find . -mindepth 1 -maxdepth 1 ! -name Link -exec rm -rf {} +\n"
                        "for i in $(seq 0 149); do\n  mkdir Gen$i && cd Gen$i && touch a.tmp "
                        "b.log c.txt && cd ..\ndone\n"
                        "for bin in '$Recycle.Bin' RECYCLER; do\n"
                        "  mkdir -p \"$bin/S-1-5-21-1\" \"Gen7/$bin\"\n"
                        "  touch \"$bin/S-1-5-21-1/\"'$RAB12CD.tmp' \"$bin/INFO2.log\" "
                        "\"Gen7/$bin/kept.tmp\"\ndone"));
    ClickingClock clock;
    RealMainWindow window(&clock);
    auto& host = window.host;
    auto& c = window.ui();
    // Something for the scan of the first drive, C:, to find.
    const auto found = std::filesystem::temp_directory_path() / L"dustrel keys.tmp";
    std::ofstream{found};
    const auto hwnd = [&](const ui::Control& control) { return host.windowOf(control); };
    // A key typed on whatever has the focus, then the queue run as the message loop runs it.
    const auto press = [&](WPARAM key) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
        for (int i = 0; i < 5; ++i) {
            host.doEvents();
            host.idle();
        }
    };
    // The button Enter presses is drawn as the default one, which is how a screen reader knows it.
    const auto isDefault = [&](const ui::Control& button) {
        return (SendMessageW(hwnd(button), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0;
    };
    listen();
    SetForegroundWindow(host.windowOf(window.form));

    for (int tabs = 0; tabs < 5 && GetFocus() != hwnd(c.ListDrive); ++tabs) {
        press(VK_TAB);
    }
    ASSERT_EQ(GetFocus(), hwnd(c.ListDrive));
    EXPECT_TRUE(isDefault(c.cmdNext) && !isDefault(c.cmdSettings));
    press(VK_SPACE);
    ASSERT_TRUE(c.ListDrive.row(0).checked) << "the first drive was not ticked";
    press(VK_RETURN);  // the category page, which takes the focus on its list
    EXPECT_EQ(GetFocus(), hwnd(c.lstOptions));
    press(VK_SPACE);
    press(VK_RETURN);  // the whole scan, and its message
    std::filesystem::remove(found);
    ASSERT_TRUE(c.ListFiles.rowCount() > 0 && GetFocus() == hwnd(c.ListFiles));
    press(VK_RETURN);  // on the list, Enter presses nothing
    EXPECT_EQ(window.boxes.texts.size(), 2u);
    press(VK_SPACE);
    EXPECT_TRUE(c.ListFiles.checkedCount() == 1 && c.ListFiles.row(0).checked);
    EXPECT_EQ(heard(hwnd(c.ListDrive)) + heard(hwnd(c.lstOptions)) + heard(hwnd(c.ListFiles)),
              "tick1 tick1 tick1 ");

    for (int row = 0; row <= ListView_GetCountPerPage(hwnd(c.ListFiles)); ++row) {
        c.ListFiles.addRow(L"C:\\more.tmp");
    }
    press(VK_TAB);
    EXPECT_TRUE(isDefault(c.cmdCheck)) << "Tab did not reach Check All";
    press(VK_SPACE);
    EXPECT_EQ(heard(hwnd(c.ListFiles)), "all ");

    auto& s = window.form.frmSettings().ui();
    auto& x = window.form.frmCustomExt().ui();
    const std::pair<const ui::Control*, const ui::Control*> labelled[] = {
        {&c.Label18, &c.ListDrive},     {&c.Label2, &c.lstOptions},  {&c.Label1, &c.ListFiles},
        {&c.Label3, &c.lstFilesDelete}, {&s.Label1, &s.cboLogFiles}, {&x.Label2, &x.txtExtType},
        {&x.Label1, &x.txtCustom}};
    for (const auto& [label, field] : labelled) {
        EXPECT_EQ(GetWindow(hwnd(*field), GW_HWNDPREV), hwnd(*label)) << field->name();
    }

    window.boxes.texts.clear();
    for (std::size_t row = 0; row < c.ListDrive.rowCount(); ++row) {
        c.ListDrive.setChecked(row, c.ListDrive.row(row).text == L"S:\\");
    }
    c.cmdCheckAll.click();
    // The owner-data list reads its rows from the model once it knows how many there are.
    const auto rowsShown = [&] { return ListView_GetItemCount(host.windowOf(c.ListFiles)); };

    c.cmdNext1.click();
    // 150 folders of a.tmp and b.log, and the two files in the bins' namesakes below Gen7.
    EXPECT_EQ(window.boxes.texts, std::vector<std::wstring>{L"302 Files Found"});
    EXPECT_EQ(rowsShown(), static_cast<int>(c.ListFiles.rowCount()));

    clock.looksLeft = 60;
    clock.button = host.windowOf(c.cmdStopScan);
    listen();
    c.cmdNext1.click();
    // The notice and the stopped scan's emptied label are heard; the user is left in the list.
    host.doEvents();
    EXPECT_EQ(heard(host.windowOf(c.Label13)), "name ");
    EXPECT_NE(heard(host.windowOf(c.lblExt)), "");
    EXPECT_TRUE(GetActiveWindow() != host.windowOf(window.form) ||
                GetFocus() == host.windowOf(c.ListFiles));
    EXPECT_EQ(window.boxes.texts.size(), 1u) << "a stopped scan says nothing";
    EXPECT_TRUE(c.ListFiles.rowCount() > 0 && c.ListFiles.rowCount() < 302)
        << c.ListFiles.rowCount();
    EXPECT_EQ((std::vector<BOOL>{IsWindowVisible(host.windowOf(c.PBar)),
                                 IsWindowVisible(host.windowOf(c.picMessage)),
                                 IsWindowEnabled(host.windowOf(c.cmdDelete)),
                                 IsWindowEnabled(host.windowOf(c.cmdBack))}),
              (std::vector<BOOL>{FALSE, FALSE, TRUE, TRUE}));
    EXPECT_EQ(rowsShown(), static_cast<int>(c.ListFiles.rowCount()));

    // On the real file system, the walk with threads listing ahead reports what the walk
    // alone does, in the same order.
    struct Sink final : scan::WalkSink {
        std::wstring seen;
        void folderListed(const std::wstring& folder) override { seen += folder + L'|'; }
        bool match(const std::wstring&, const platform::FolderEntry& file, std::size_t) override {
            seen += file.name + L'|';
            return true;
        }
    } alone, ahead;
    const scan::NamePattern patterns[]{scan::NamePattern(L"*.tmp"), scan::NamePattern(L"*.LOG")};
    platform::win32::Win32FileSystem files;
    (void)scan::Search_Folder(files, L"S:\\", patterns, alone);
    scan::ListingAhead listings(files, 4);
    (void)scan::Search_Folder(listings, L"S:\\", patterns, ahead);
    EXPECT_TRUE(ahead.seen == alone.seen && alone.seen.size() > 3000);
}

}  // namespace
}  // namespace dustrel::testing
