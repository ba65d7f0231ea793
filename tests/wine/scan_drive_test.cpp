// The scan on a real drive (S:, which scripts/test.sh maps), through the real window.

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
#include "support/win32_temp_tree.h"
#include "ui/win32/win32_host.h"

namespace dustrel::testing {
namespace {

// scripts/test.sh maps this letter to a folder of the build's and puts in it "Link", a
// symbolic link to a folder outside the drive that holds beyond.tmp.
constexpr const wchar_t* kDrive = L"S:\\";

// Empties the drive, all but its link, which is the script's to make.
void clearDrive() {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((std::wstring(kDrive) + L"*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L".." &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            removeTree(kDrive + name);
            DeleteFileW((kDrive + name).c_str());
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
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

// The rows the list view shows.
std::vector<std::wstring> listViewRows(HWND list) {
    std::vector<std::wstring> rows(static_cast<std::size_t>(ListView_GetItemCount(list)));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        wchar_t text[MAX_PATH] = {};
        ListView_GetItemText(list, static_cast<int>(i), 0, text, MAX_PATH);
        rows[i] = text;
    }
    return rows;
}

// Through the real window, whose repaints and looks at the queue are spaced out in time: the
// list view shows the model's rows once a scan is over, and a click on Stop Scan that arrives
// in the middle of a walk stops it. The drive's link is not followed.
TEST(ScanDriveTest, RealWindowShowsTheModelsRowsAndAnswersStopScanMidWalk) {
    ASSERT_EQ(GetDriveTypeW(kDrive), static_cast<UINT>(DRIVE_FIXED))
        << "S: is not mapped: run the Wine tests through scripts/test.sh";
    clearDrive();
    for (int folder = 0; folder < 150; ++folder) {
        const std::wstring path = kDrive + (L"Gen" + std::to_wstring(folder));
        CreateDirectoryW(path.c_str(), nullptr);
        for (const wchar_t* name : {L"\\a.tmp", L"\\b.log", L"\\c.txt"}) {
            CloseHandle(CreateFileW((path + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
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
    const auto modelRows = [&c] {
        std::vector<std::wstring> rows;
        for (std::size_t i = 0; i < c.ListFiles.rowCount(); ++i) {
            rows.push_back(c.ListFiles.row(i).text);
        }
        return rows;
    };
    boxesShown.clear();

    c.cmdNext1.click();
    EXPECT_EQ(boxesShown, std::vector<std::wstring>{L"300 Files Found"});
    EXPECT_EQ(listViewRows(host.windowOf(c.ListFiles)), modelRows());

    files.clickAfter(60, host.windowOf(c.cmdStopScan));
    c.cmdNext1.click();
    EXPECT_EQ(boxesShown.size(), 1u) << "a stopped scan says nothing";
    EXPECT_GT(c.ListFiles.rowCount(), 0u);
    EXPECT_LT(c.ListFiles.rowCount(), 300u);
    EXPECT_FALSE(IsWindowVisible(host.windowOf(c.PBar)));
    EXPECT_FALSE(c.picMessage.visible());
    EXPECT_TRUE(IsWindowEnabled(host.windowOf(c.cmdDelete)));
    EXPECT_TRUE(IsWindowEnabled(host.windowOf(c.cmdBack)));
    EXPECT_EQ(listViewRows(host.windowOf(c.ListFiles)), modelRows());
    UnhookWindowsHookEx(hook);
    form.unload();
    clearDrive();
}

}  // namespace
}  // namespace dustrel::testing
