// Deleting on a real temporary tree, through the real file system and the real shell. The
// executable is placed in the tree, so that its log folder is there too.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "platform/utf8.h"
#include "platform/win32/win32_platform.h"
#include "scan/name_pattern.h"
#include "scan/search_folder.h"
#include "support/fake_platform.h"
#include "support/test_host.h"
#include "support/win32_temp_tree.h"

namespace dustrel::testing {
namespace {

using Rows = std::vector<std::wstring>;
using platform::toUtf8;

// The real shell deletes; the pages the program opens on its way out stay unopened.
class DeletingShell final : public platform::Shell {
public:
    platform::Status deleteFiles(const std::vector<std::wstring>& paths, bool recycle) override {
        return real_.deleteFiles(paths, recycle);
    }
    platform::Status open(const std::wstring&) override { return platform::Status::Ok; }

private:
    platform::win32::Win32Shell real_;
};

// The relative Unix path of a relative Windows one.
std::string unixName(const std::wstring& name) {
    std::string unix = toUtf8(name);
    std::replace(unix.begin(), unix.end(), '\\', '/');
    return unix;
}

class CleaningOnDiskTest : public TempTreeTest {
protected:
    void TearDown() override {
        // Names and links the Win32 functions cannot remove go from the Unix side.
        if (const std::string root = unixPath(root_); !root.empty()) {
            runUnixScript("rm -rf '" + root + "'\n");
        }
        TempTreeTest::TearDown();
    }
};

// What Delete meets on an unlucky disk: twins by a trailing dot and by letter case, names the
// Win32 functions refuse beside names their "?" and "*" would match, a path past 248 characters,
// a file held open first of ten, and a folder turned into a link to another after the scan.
TEST_F(CleaningOnDiskTest, DeletesExactlyTheTickedFilesOfAnUnluckyDisk) {
    const std::string root = unixPath(root_);
    ASSERT_FALSE(root.empty()) << "this test makes its tree from Wine's Unix side";
    // Its dotted twin has a full path of 252 characters.
    const std::wstring deep(252 - root_.size() - 8, L'd');
    Rows names{L"dot\\x.tmp",     L"dot.\\x.tmp",     L"dot.\\only.tmp",
               L"Twins\\A.tmp",   L"Twins\\a.tmp",    L"Odd\\what?.tmp",
               L"Odd\\st*r.tmp",  L"Odd\\whatX.tmp",  L"Odd\\stoner.tmp",
               deep + L"\\x.tmp", deep + L".\\x.tmp", L"\u65e5\u672c\\\u03a9.tmp",
               L"\U0001F600.tmp", L"Swap\\s.tmp",     L"Outside\\s.tmp"};
    for (int i = 0; i < 10; ++i) {
        names.push_back(L"Many\\" + (i == 0 ? std::wstring(L"0held") : std::to_wstring(i)) +
                        L".tmp");
    }
    // Each file holds its own name.
    std::string script = "set -e\ncd '" + root + "'\n";
    for (const std::wstring& name : names) {
        script += "mkdir -p \"$(dirname '" + unixName(name) + "')\"; printf %s '" + toUtf8(name) +
                  "' > '" + unixName(name) + "'\n";
    }
    ASSERT_TRUE(runUnixScript(script));
    makeFile(at(L"Dustrel.exe"), "MZ");

    // The scan lists every file once, under its own name.
    platform::win32::Win32FileSystem files;
    struct Walk final : scan::WalkSink {
        Rows found;
        void folderListed() override {}
        bool match(const std::wstring& folder, const std::wstring& name, std::size_t) override {
            found.push_back(folder + name);
            return true;
        }
    } walk;
    const scan::NamePattern pattern(L"*.tmp");
    scan::Search_Folder(files, root_, std::span(&pattern, 1), walk);
    Rows expectedRows;
    for (const std::wstring& name : names) {
        expectedRows.push_back(at(name));
    }
    Rows order = walk.found;
    std::sort(walk.found.begin(), walk.found.end());
    std::sort(expectedRows.begin(), expectedRows.end());
    ASSERT_EQ(walk.found, expectedRows);

    // The held file first of its folder's ten, after the twins, so that a shell that stops at
    // it has met them; everything ticked but the twins and the namesakes of the odd names.
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
    DeletingShell shell;
    FakePlatform fakes;
    fakes.system.executable = at(L"Dustrel.exe");
    TestHost host;
    host.yesNoDefault = ui::MessageBoxAnswer::No;
    app::AppContext context{
        platform::Platform{files, shell, fakes.registry, fakes.system, fakes.clock, fakes.locale},
        {}};
    app::FrmMain form{host, context};
    form.load();
    auto& c = form.ui();
    form.showPage(c.Frame3);
    Rows deleted;
    for (const std::wstring& row : order) {
        c.ListFiles.setChecked(c.ListFiles.addRow(row), unticked.count(row) == 0);
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
    c.cmdDelete.setEnabled(true);
    c.cmdDelete.click();
    CloseHandle(held);

    Rows page;
    for (std::size_t i = 0; i < c.lstFilesDelete.rowCount(); ++i) {
        page.push_back(c.lstFilesDelete.row(i).text);
    }
    EXPECT_EQ(page, deleted);
    EXPECT_EQ(host.messageTexts(),
              (Rows{L"4 Files Could Not Be Deleted", L"Dustrel.exe Cannot Be Removed"}));
    form.unload();

    // Everything else is there with its bytes: listed from the Unix side, odd names and all.
    const std::wstring manifest = root_ + L".manifest";
    ASSERT_TRUE(runUnixScript(
        "cd '" + root +
        "'\nfind . -path './log files' -prune -o \\( -type f -o -type l \\) -print |"
        "\nwhile read -r f; do\n  if [ -L \"$f\" ]; then printf '%s link\\n' \"$f\";\n"
        "  else printf '%s %s\\n' \"$f\" \"$(cat \"$f\")\"; fi\ndone | LC_ALL=C sort > '" +
        unixPath(manifest) + "'\n"));
    std::string expected;
    Rows kept{L"Dustrel.exe", L"Swap"};
    for (const std::wstring& name : names) {
        if (std::find(deleted.begin(), deleted.end(), at(name)) == deleted.end()) {
            kept.push_back(name);
        }
    }
    std::vector<std::string> lines;
    for (const std::wstring& name : kept) {
        const std::string unix = unixName(name);
        lines.push_back(name == L"Dustrel.exe" ? "./Dustrel.exe MZ"
                        : name == L"Swap"      ? "./Swap link"
                        : unix.starts_with("Swap/")
                            ? "./Swap.moved/" + unix.substr(5) + " " + toUtf8(name)
                            : "./" + unix + " " + toUtf8(name));
    }
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) {
        expected += line + "\n";
    }
    EXPECT_EQ(bytesOf(manifest), expected);
    DeleteFileW(manifest.c_str());
}

}  // namespace
}  // namespace dustrel::testing
