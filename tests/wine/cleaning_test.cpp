// Deleting and purging on a real temporary tree, through the real file system and the real
// shell. The executable is placed in the tree, so that its log folder is there too.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_platform.h"
#include "support/test_host.h"
#include "support/win32_temp_tree.h"

namespace dustrel::testing {
namespace {

using Rows = std::vector<std::wstring>;

// The real shell deletes; the pages the program opens on its way out stay unopened.
class DeletingShell final : public platform::Shell {
public:
    platform::Status deleteFiles(const std::vector<std::wstring>& paths,
                                 bool toRecycleBin) override {
        return real_.deleteFiles(paths, toRecycleBin);
    }
    platform::Status open(const std::wstring& /*target*/) override { return platform::Status::Ok; }

private:
    platform::win32::Win32Shell real_;
};

class CleaningOnDiskTest : public TempTreeTest {
protected:
    void SetUp() override {
        TempTreeTest::SetUp();
        fakes.system.executable = at(L"Dustrel.exe");
        makeFile(fakes.system.executable, "MZ");
        host.yesNoDefault = ui::kIdNo;
        form.load();
        form.showPage(c().Frame3);
    }
    void TearDown() override {
        form.unload();
        TempTreeTest::TearDown();
    }

    app::FrmMainControls& c() { return form.ui(); }

    // Makes each file, its content its own row number, and lists it.
    void list(const Rows& relative) {
        for (const std::wstring& name : relative) {
            const std::wstring path = at(name);
            for (std::size_t slash = path.find(L'\\', root_.size() + 1);
                 slash != std::wstring::npos; slash = path.find(L'\\', slash + 1)) {
                CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
            }
            if (!present(path)) {
                makeFile(path, "file " + std::to_string(c().ListFiles.rowCount()));
            }
            c().ListFiles.addRow(path);
        }
    }
    void tick(const std::vector<std::size_t>& rows) {
        for (const std::size_t row : rows) {
            c().ListFiles.setChecked(row, true);
        }
    }
    Rows rows() {
        Rows texts;
        for (std::size_t i = 0; i < c().ListFiles.rowCount(); ++i) {
            texts.push_back(c().ListFiles.row(i).text);
        }
        return texts;
    }
    std::string utf8(const std::wstring& text) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            size, nullptr, nullptr);
        return bytes;
    }
    std::string expectedLog(const Rows& deleted) {
        std::string text =
            "\xEF\xBB\xBF"
            "Dustrel\r\n15/06/2024\r\n12:00:00\r\n\r\nFiles Deleted are:\r\n\r\n";
        for (const std::wstring& name : deleted) {
            text += utf8(at(name)) + "\r\n";
        }
        return text;
    }
    std::wstring logPath() { return at(L"log files\\Dustrel-06152024-1200.log"); }

    platform::win32::Win32FileSystem files;
    DeletingShell shell;
    FakePlatform fakes;
    TestHost host;
    app::AppContext context{
        platform::Platform{files, shell, fakes.registry, fakes.system, fakes.clock, fakes.locale},
        {}};
    app::FrmMain form{host, context};
};

TEST_F(CleaningOnDiskTest, DeletesExactlyTheTickedFilesAndLogsThem) {
    const Rows names{
        L"Temp\\a.tmp",      L"Temp\\b.tmp", L"Temp\\Deeper\\c.tmp",
        L"\u65e5\u672c.tmp",  // outside every ANSI code page
        L"\U0001F600.tmp",    // outside the first 65,536 characters
        L"keep.log",         L"Dustrel.exe",
    };
    list(names);
    tick({0, 2, 3, 4, 6});

    form.cmdDelete_Click();

    EXPECT_FALSE(present(at(L"Temp\\a.tmp")));
    EXPECT_FALSE(present(at(L"Temp\\Deeper\\c.tmp")));
    EXPECT_FALSE(present(at(L"\u65e5\u672c.tmp")));
    EXPECT_FALSE(present(at(L"\U0001F600.tmp")));
    EXPECT_TRUE(present(at(L"Temp\\Deeper")));
    EXPECT_EQ(bytesOf(at(L"Temp\\b.tmp")), "file 1");
    EXPECT_EQ(bytesOf(at(L"keep.log")), "file 5");
    EXPECT_EQ(bytesOf(at(L"Dustrel.exe")), "MZ");
    EXPECT_EQ(bytesOf(logPath()), expectedLog({L"Temp\\a.tmp", L"Temp\\Deeper\\c.tmp",
                                               L"\u65e5\u672c.tmp", L"\U0001F600.tmp"}));
    EXPECT_EQ(rows(), (Rows{at(L"Temp\\b.tmp"), at(L"keep.log"), at(L"Dustrel.exe")}));
    EXPECT_EQ(host.messageTexts(), Rows{L"Dustrel.exe Cannot Be Removed"});
    EXPECT_TRUE(form.isPageShown(c().Frame1));
}

TEST_F(CleaningOnDiskTest, LeavesAFileHeldOpenWithItsRowTicked) {
    list({L"a.tmp", L"b.tmp", L"held.tmp"});
    tick({0, 1, 2});
    const HANDLE held = CreateFileW(at(L"held.tmp").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    form.cmdDelete_Click();
    CloseHandle(held);

    EXPECT_TRUE(present(at(L"held.tmp")));
    EXPECT_FALSE(present(at(L"a.tmp")));
    EXPECT_FALSE(present(at(L"b.tmp")));
    EXPECT_EQ(rows(), Rows{at(L"held.tmp")});
    EXPECT_TRUE(c().ListFiles.row(0).checked);
    EXPECT_EQ(bytesOf(logPath()), expectedLog({L"a.tmp", L"b.tmp"}));
    EXPECT_EQ(host.messageTexts(), Rows{L"1 Files Could Not Be Deleted"});
}

TEST_F(CleaningOnDiskTest, PurgesOnlyOldLogsThatCanGo) {
    fakes.clock.current = {2026, 12, 5, 10, 0, 0};
    ASSERT_TRUE(CreateDirectoryW(at(L"log files").c_str(), nullptr));
    const Rows names{
        L"Dustrel-12012026-1030.log",  // 4 days old: goes
        L"Dustrel-12042026-1.log",     // yesterday
        L"Dustrel-12252026-1.log",     // 20 days ahead: goes
        L"Dustrel-01012026-1.log",     // read-only
        L"notes.txt",
        L"Report-01012026-1.log",
    };
    for (const std::wstring& name : names) {
        makeFile(at(L"log files\\" + name), "log");
    }
    SetFileAttributesW(at(L"log files\\Dustrel-01012026-1.log").c_str(), FILE_ATTRIBUTE_READONLY);

    form.frmSettings().ui().cboLogFiles.setListIndex(0);

    EXPECT_FALSE(present(at(L"log files\\Dustrel-12012026-1030.log")));
    EXPECT_FALSE(present(at(L"log files\\Dustrel-12252026-1.log")));
    for (const wchar_t* kept : {L"Dustrel-12042026-1.log", L"Dustrel-01012026-1.log", L"notes.txt",
                                L"Report-01012026-1.log"}) {
        EXPECT_TRUE(present(at(L"log files\\") + kept)) << ::testing::PrintToString(kept);
    }
    EXPECT_TRUE(host.messageBoxes.empty());
}

}  // namespace
}  // namespace dustrel::testing
