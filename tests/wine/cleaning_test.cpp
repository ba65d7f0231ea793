// Deleting and purging on a real temporary tree, through the real file system and the real
// shell. The executable is placed in the tree, so that its log folder is there too.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "platform/win32/win32_platform.h"
#include "scan/name_pattern.h"
#include "scan/search_folder.h"
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
        host.yesNoDefault = ui::MessageBoxAnswer::No;
        form.load();
        form.showPage(c().Frame3);
    }
    void TearDown() override {
        form.unload();
        // Names and links the Win32 functions cannot remove go from the Unix side.
        const std::string root = unixPath(root_);
        if (!root.empty()) {
            runUnixScript("rm -rf '" + root + "'\n");
        }
        TempTreeTest::TearDown();
    }

    Rows deletedPage() {
        Rows texts;
        for (std::size_t i = 0; i < c().lstFilesDelete.rowCount(); ++i) {
            texts.push_back(c().lstFilesDelete.row(i).text);
        }
        return texts;
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

// What Delete meets on an unlucky disk: twins by a trailing dot and by letter case, names the
// Win32 functions refuse beside names their "?" and "*" would match, a path past 248 characters,
// a file held open first of ten, and a folder turned into a link to another after the scan.
TEST_F(CleaningOnDiskTest, DeletesExactlyTheTickedFilesOfAnUnluckyDisk) {
    const std::string root = unixPath(root_);
    ASSERT_FALSE(root.empty()) << "this test makes its tree from Wine's Unix side";
    // Its dotted twin has a full path of 252 characters.
    const std::wstring deep(252 - root_.size() - 8, L'd');
    std::vector<std::wstring> names{
        L"dot\\x.tmp",      L"dot.\\x.tmp",    L"dot.\\only.tmp",  L"Twins\\A.tmp",
        L"Twins\\a.tmp",    L"Odd\\what?.tmp", L"Odd\\st*r.tmp",   L"Odd\\whatX.tmp",
        L"Odd\\stoner.tmp", deep + L"\\x.tmp", deep + L".\\x.tmp", L"\u65e5\u672c\\\u03a9.tmp",
        L"\U0001F600.tmp",  L"Swap\\s.tmp",    L"Outside\\s.tmp"};
    for (int i = 0; i < 10; ++i) {
        names.push_back(L"Many\\" + (i == 0 ? std::wstring(L"0held") : std::to_wstring(i)) +
                        L".tmp");
    }
    // Each file holds its own name.
    std::string script = "set -e\ncd '" + root + "'\n";
    for (const std::wstring& name : names) {
        std::string unix = utf8(name);
        std::replace(unix.begin(), unix.end(), '\\', '/');
        script += "mkdir -p \"$(dirname '" + unix + "')\"; printf %s '" + utf8(name) + "' > '" +
                  unix + "'\n";
    }
    ASSERT_TRUE(runUnixScript(script));

    // The scan lists every file once, under its own name.
    platform::win32::Win32FileSystem walkFiles;
    struct Walk final : scan::WalkSink {
        std::vector<std::wstring> found;
        void folderListed() override {}
        bool match(const std::wstring& folder, const std::wstring& name, std::size_t) override {
            found.push_back(folder + name);
            return true;
        }
    } walk;
    const scan::NamePattern pattern(L"*.tmp");
    scan::Search_Folder(walkFiles, root_, std::span(&pattern, 1), walk);
    std::vector<std::wstring> expectedRows;
    for (const std::wstring& name : names) {
        expectedRows.push_back(at(name));
    }
    std::vector<std::wstring> found = walk.found;
    std::sort(found.begin(), found.end());
    std::sort(expectedRows.begin(), expectedRows.end());
    ASSERT_EQ(found, expectedRows);

    // The held file first of its folder's ten, after the twins, so that a shell that stops at
    // it has met them; everything ticked but the twins and the namesakes of the odd names.
    auto order = walk.found;
    const auto many = std::stable_partition(order.begin(), order.end(), [&](const auto& row) {
        return !row.starts_with(at(L"Many\\"));
    });
    std::stable_partition(many, order.end(),
                          [&](const auto& row) { return row == at(L"Many\\0held.tmp"); });
    order.push_back(at(L"Dustrel.exe"));
    const std::set<std::wstring> unticked{at(L"dot\\x.tmp"),     at(L"Twins\\A.tmp"),
                                          at(L"Odd\\whatX.tmp"), at(L"Odd\\stoner.tmp"),
                                          at(deep + L"\\x.tmp"), at(L"Outside\\s.tmp")};
    const std::set<std::wstring> staying{at(L"Many\\0held.tmp"), at(L"Odd\\what?.tmp"),
                                         at(L"Odd\\st*r.tmp"), at(L"Swap\\s.tmp"),
                                         at(L"Dustrel.exe")};
    Rows deleted;
    for (const std::wstring& row : order) {
        c().ListFiles.setChecked(c().ListFiles.addRow(row), unticked.count(row) == 0);
        if (unticked.count(row) == 0 && staying.count(row) == 0) {
            deleted.push_back(row);
        }
    }
    ASSERT_EQ(deleted.size(), 15u);

    ASSERT_TRUE(runUnixScript("set -e\ncd '" + root +
                              "'\nmv Swap Swap.moved\nln -s \"$PWD/Outside\" Swap\n"));
    const HANDLE held = CreateFileW(at(L"Many\\0held.tmp").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    c().cmdDelete.setEnabled(true);
    c().cmdDelete.click();
    CloseHandle(held);

    EXPECT_EQ(deletedPage(), deleted);
    std::string log =
        "\xEF\xBB\xBF"
        "Dustrel\r\n15/06/2024\r\n12:00:00\r\n\r\nFiles Deleted are:\r\n\r\n";
    for (const std::wstring& path : deleted) {
        log += utf8(path) + "\r\n";
    }
    EXPECT_EQ(bytesOf(logPath()), log);
    EXPECT_EQ(host.messageTexts(),
              (Rows{L"4 Files Could Not Be Deleted", L"Dustrel.exe Cannot Be Removed"}));

    // Everything else is there with its bytes: listed from the Unix side, odd names and all.
    const std::wstring manifest = root_ + L".manifest";
    ASSERT_TRUE(
        runUnixScript("cd '" + root +
                      "'\n"
                      "find . -path './log files' -prune -o \\( -type f -o -type l \\) -print |\n"
                      "while read -r f; do\n"
                      "  if [ -L \"$f\" ]; then printf '%s link\\n' \"$f\";\n"
                      "  else printf '%s %s\\n' \"$f\" \"$(cat \"$f\")\"; fi\n"
                      "done > '" +
                      unixPath(manifest) + "'\n"));
    std::vector<std::string> expected;
    for (const std::wstring& name : names) {
        if (std::find(deleted.begin(), deleted.end(), at(name)) == deleted.end()) {
            std::string unix = utf8(name);
            std::replace(unix.begin(), unix.end(), '\\', '/');
            const std::string moved =
                unix.starts_with("Swap/") ? "Swap.moved/" + unix.substr(5) : unix;
            expected.push_back("./" + moved + " " + utf8(name));
        }
    }
    expected.push_back("./Dustrel.exe MZ");
    expected.push_back("./Swap link");
    std::sort(expected.begin(), expected.end());
    std::string listed = bytesOf(manifest);
    DeleteFileW(manifest.c_str());
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = listed.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(listed.substr(start, end - start));
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, expected);
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
