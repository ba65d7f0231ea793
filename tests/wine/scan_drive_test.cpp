#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/frm_main.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_platform.h"
#include "support/test_host.h"
#include "ui/win32/win32_host.h"

namespace dustrel::testing {
namespace {

// scripts/test.sh maps this letter to a folder of the build's and puts in it "Link", a
// symbolic link to a folder outside the drive that holds beyond.tmp.
constexpr const wchar_t* kDrive = L"S:\\";

bool isReparsePoint(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Empties the drive, all but its link, which is the script's to make.
void clearDrive(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = data.cFileName;
        const std::wstring path = folder + name;
        if (name == L"." || name == L".." ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            continue;
        }
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            clearDrive(path + L"\\");
            RemoveDirectoryW(path.c_str());
        } else {
            DeleteFileW(path.c_str());
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

void makeFile(const std::wstring& relative) {
    std::wstring path = kDrive;
    for (std::size_t i = 0; i < relative.size(); ++i) {
        if (relative[i] == L'\\') {
            CreateDirectoryW(path.c_str(), nullptr);
        }
        path += relative[i];
    }
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot make " << ::testing::PrintToString(path);
    CloseHandle(file);
}

// The whole scan on a real drive, through the real file system; the window model stands in
// for the windows, and the settings and the shell are fakes so that nothing leaves the test.
TEST(ScanDriveTest, ScansARealDriveWithEveryCategory) {
    ASSERT_EQ(GetDriveTypeW(kDrive), static_cast<UINT>(DRIVE_FIXED))
        << "S: is not mapped: run the Wine tests through scripts/test.sh";
    ASSERT_TRUE(isReparsePoint(L"S:\\Link")) << "the drive's link is missing";
    clearDrive(kDrive);
    // Each pattern's matches lie on one line of folders, so that their order does not
    // depend on the order in which the file system lists siblings.
    for (const wchar_t* file : {
             L"Temp\\a.tmp",
             L"Temp\\Deeper\\B.TMP",
             L"Temp\\report.tmpl",
             L"Temp\\a.older",                 // decoys, also through 8.3 names
             L"\u03a9mega\\\u65e5\u672c.dmp",  // no ANSI code page holds this name
             L"Docs\\Thumbs.db",
             L"Docs\\setuplog.txt",
             L"Docs\\log.txt.bak",
             L"Docs\\old.bak\\inner.bak",
             L"Windows\\System32\\x.log",
             L"RECYCLED\\r.tmp",  // the Recycle Bin at the root is not entered
             L"Data\\RECYCLED\\help.gid",
             L"Data\\notes.txt",
         }) {
        makeFile(file);
    }

    platform::win32::Win32Platform real;
    FakePlatform fakes;
    TestHost host;
    host.yesNoDefault = ui::MessageBoxAnswer::No;
    app::AppContext context{platform::Platform{real.files, fakes.shell, fakes.registry, real.system,
                                               fakes.clock, fakes.locale},
                            {}};
    app::FrmMain form(host, context);
    form.load();
    auto& c = form.ui();
    bool ticked = false;
    for (std::size_t row = 0; row < c.ListDrive.rowCount(); ++row) {
        if (c.ListDrive.row(row).text == kDrive) {
            c.ListDrive.setChecked(row, true);
            ticked = true;
        }
    }
    ASSERT_TRUE(ticked) << "S:\\ is not in the drive list";
    c.cmdCheckAll.click();

    form.cmdNext1_Click();

    std::vector<std::wstring> rows;
    for (std::size_t i = 0; i < c.ListFiles.rowCount(); ++i) {
        rows.push_back(c.ListFiles.row(i).text);
    }
    EXPECT_EQ(rows, (std::vector<std::wstring>{
                        L"S:\\Temp\\a.tmp",
                        L"S:\\Temp\\Deeper\\B.TMP",
                        L"S:\\\u03a9mega\\\u65e5\u672c.dmp",
                        L"S:\\Docs\\Thumbs.db",
                        L"S:\\Data\\RECYCLED\\help.gid",
                        L"S:\\Windows\\System32\\x.log",
                        L"S:\\Docs\\setuplog.txt",
                        L"S:\\Docs\\log.txt.bak",
                        L"S:\\Docs\\old.bak\\inner.bak",
                    }));
    ASSERT_FALSE(host.messageBoxes.empty());
    EXPECT_EQ(host.messageBoxes.back().text, L"9 Files Found");
    // A listed file is there under the name the row gives.
    EXPECT_NE(GetFileAttributesW(L"S:\\\u03a9mega\\\u65e5\u672c.dmp"), INVALID_FILE_ATTRIBUTES);
    form.unload();
}

// The message boxes of a scan through the real window are answered as they show.
std::vector<std::wstring> boxesShown;
LRESULT CALLBACK answerBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {};
        GetClassNameW(box, name, 16);
        if (std::wstring(name) == L"#32770") {
            wchar_t text[256] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 256);
            boxesShown.push_back(text);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The real file system, which after a given number of folders posts a click on a window, as a
// user's click arrives in the middle of a walk.
class ClickingFiles final : public platform::FileSystem {
public:
    explicit ClickingFiles(platform::FileSystem& real) : real_(real) {}
    void clickAfter(int folders, HWND button) {
        left_ = folders;
        button_ = button;
    }
    platform::Status listFolder(const std::wstring& folder,
                                std::vector<platform::FolderEntry>& entries) override {
        if (button_ != nullptr && --left_ == 0) {
            PostMessageW(button_, BM_CLICK, 0, 0);
        }
        return real_.listFolder(folder, entries);
    }
    bool exists(const std::wstring& path) override { return real_.exists(path); }
    bool isDirectory(const std::wstring& path) override { return real_.isDirectory(path); }
    platform::Status createFolder(const std::wstring& path) override {
        return real_.createFolder(path);
    }
    platform::Status writeFile(const std::wstring& path, std::string_view bytes,
                               platform::WriteMode mode) override {
        return real_.writeFile(path, bytes, mode);
    }
    platform::Status readFile(const std::wstring& path, std::string& bytes) override {
        return real_.readFile(path, bytes);
    }
    platform::Status deleteFile(const std::wstring& path) override {
        return real_.deleteFile(path);
    }

private:
    platform::FileSystem& real_;
    int left_ = 0;
    HWND button_ = nullptr;
};

std::vector<std::wstring> listViewRows(HWND list) {
    std::vector<std::wstring> rows;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        ListView_GetItemText(list, i, 0, text, MAX_PATH);
        rows.push_back(text);
    }
    return rows;
}

// Through the real window, whose repaints and looks at the queue are spaced out in time: the
// list view shows the model's rows once a scan is over, and a click on Stop Scan that arrives
// in the middle of a walk stops it.
TEST(ScanDriveTest, RealWindowShowsTheModelsRowsAndAnswersStopScanMidWalk) {
    ASSERT_EQ(GetDriveTypeW(kDrive), static_cast<UINT>(DRIVE_FIXED));
    clearDrive(kDrive);
    for (int folder = 0; folder < 150; ++folder) {
        for (const wchar_t* name : {L"\\a.tmp", L"\\b.log", L"\\c.txt"}) {
            makeFile(L"Gen" + std::to_wstring(folder) + name);
        }
    }
    platform::win32::Win32Platform real;
    ClickingFiles files(real.files);
    FakePlatform fakes;
    ui::win32::Win32Host host;
    app::AppContext context{platform::Platform{files, fakes.shell, fakes.registry, real.system,
                                               real.clock, fakes.locale},
                            {}};
    app::FrmMain form(host, context);
    const HHOOK hook = SetWindowsHookExW(WH_CBT, answerBoxes, nullptr, GetCurrentThreadId());
    host.raise(form, [&form] { form.load(); });
    form.show();
    auto& c = form.ui();
    for (std::size_t row = 0; row < c.ListDrive.rowCount(); ++row) {
        c.ListDrive.setChecked(row, c.ListDrive.row(row).text == kDrive);
    }
    c.cmdCheckAll.click();
    boxesShown.clear();

    c.cmdNext1.click();
    EXPECT_EQ(boxesShown, std::vector<std::wstring>{L"300 Files Found"});
    std::vector<std::wstring> model;
    for (std::size_t i = 0; i < c.ListFiles.rowCount(); ++i) {
        model.push_back(c.ListFiles.row(i).text);
    }
    EXPECT_EQ(listViewRows(host.windowOf(c.ListFiles)), model);

    files.clickAfter(60, host.windowOf(c.cmdStopScan));
    c.cmdNext1.click();
    EXPECT_EQ(boxesShown.size(), 1u) << "a stopped scan says nothing";
    EXPECT_GT(c.ListFiles.rowCount(), 0u);
    EXPECT_LT(c.ListFiles.rowCount(), 300u);
    EXPECT_FALSE(c.PBar.visible());
    EXPECT_FALSE(IsWindowVisible(host.windowOf(c.PBar)));
    EXPECT_FALSE(c.picMessage.visible());
    EXPECT_TRUE(IsWindowEnabled(host.windowOf(c.cmdDelete)));
    EXPECT_TRUE(IsWindowEnabled(host.windowOf(c.cmdBack)));
    model.clear();
    for (std::size_t i = 0; i < c.ListFiles.rowCount(); ++i) {
        model.push_back(c.ListFiles.row(i).text);
    }
    EXPECT_EQ(listViewRows(host.windowOf(c.ListFiles)), model);
    UnhookWindowsHookEx(hook);
    form.unload();
    clearDrive(kDrive);
}

}  // namespace
}  // namespace dustrel::testing
