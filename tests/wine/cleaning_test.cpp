// Deleting on a real temporary tree, through the real file system and the real shell. The
// executable is placed in the tree, so that its log folder is there too.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/frm_main.h"
#include "platform/path_text.h"
#include "platform/utf8.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_platform.h"
#include "support/test_host.h"
#include "support/win32_temp_tree.h"

namespace dustrel::testing {
namespace {

using Rows = std::vector<std::wstring>;
using platform::exactPathForm;
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

class CleaningOnDiskTest : public ::testing::Test {
protected:
    // Names and links the Win32 functions cannot remove go from the Unix side.
    void TearDown() override { (void)runUnix("rm -rf '" + root + "'"); }
    std::wstring at(const std::wstring& name) const { return root_ + L"\\" + name; }

    const std::wstring root_ = makeTempFolder(L"DustrelTest.");
    const std::string root = unixPath(root_);
};

// What Delete meets on an unlucky disk: twins by a trailing dot and by letter case, names the
// Win32 functions refuse beside names their "?" and "*" would match, a path past 248 characters,
// read-only files, a file held open first of ten, and a folder turned into a link to another
// after the scan.
TEST_F(CleaningOnDiskTest, DeletesExactlyTheTickedFilesOfAnUnluckyDisk) {
    ASSERT_FALSE(root.empty()) << "this test makes its tree from Wine's Unix side";
    // Its dotted twin has a full path of 252 characters.
    const std::wstring deep(252 - root_.size() - 8, L'd');
    // Each file, in the order of the list, and whether it is left unticked, stays although
    // ticked, or goes.
    enum Fate { Unticked, Stays, Goes };
    std::vector<std::pair<std::wstring, Fate>> files{
        {L"dot\\x.tmp", Unticked},      {L"dot.\\x.tmp", Goes},
        {L"dot.\\only.tmp", Goes},      {L"Twins\\A.tmp", Unticked},
        {L"Twins\\a.tmp", Goes},        {L"Odd\\what?.tmp", Stays},
        {L"Odd\\st*r.tmp", Stays},      {L"Odd\\whatX.tmp", Unticked},
        {L"Odd\\stoner.tmp", Unticked}, {deep + L"\\x.tmp", Unticked},
        {deep + L".\\x.tmp", Goes},     {L"\u65e5\u672c\\\u03a9.tmp", Goes},
        {L"\U0001F600.tmp", Goes},      {L"Swap\\s.tmp", Stays},
        {L"Outside\\s.tmp", Unticked},  {L"Many\\0held.tmp", Stays}};
    // The held file first of its folder's ten, after the twins, so that a shell that stops at
    // it has met them.
    for (int i = 1; i < 10; ++i) {
        files.emplace_back(L"Many\\" + std::to_wstring(i) + L".tmp", Goes);
    }
    // Each file holds its own name. What is left at the end is listed by those names, and the
    // link.
    std::string script = "set -e\ncd '" + root + "'\nprintf MZ > Dustrel.exe\n";
    Rows gone;
    std::vector<std::string> kept{"./Swap", "MZ"};
    for (const auto& [name, fate] : files) {
        std::string unix = toUtf8(name);
        std::replace(unix.begin(), unix.end(), '\\', '/');
        script += "mkdir -p \"$(dirname '" + unix + "')\"; printf %s '" + toUtf8(name) + "' > '" +
                  unix + "'\n";
        if (fate == Goes) {
            gone.push_back(at(name));
        } else {
            kept.push_back(toUtf8(name));
        }
    }
    ASSERT_TRUE(runUnix(script));

    platform::win32::Win32FileSystem disk;
    DeletingShell shell;
    FakePlatform fakes;
    fakes.system.executable = at(L"Dustrel.exe");
    TestHost host;
    host.yesNoDefault = ui::MessageBoxAnswer::No;
    app::AppContext context{
        platform::Platform{disk, shell, fakes.registry, fakes.system, fakes.clock, fakes.locale},
        {}};
    app::FrmMain form{host, context};
    form.load();
    auto& c = form.ui();
    form.showPage(c.Frame3);
    for (const auto& [name, fate] : files) {
        c.ListFiles.setChecked(c.ListFiles.addRow(at(name)), fate != Unticked);
    }
    c.ListFiles.setChecked(c.ListFiles.addRow(at(L"Dustrel.exe")), true);
    ASSERT_TRUE(
        runUnix("set -e\ncd '" + root + "'\nmv Swap Swap.moved\nln -s \"$PWD/Outside\" Swap"));
    // Read-only files go too, also where only an exact path reaches them.
    for (const std::wstring& name :
         std::vector<std::wstring>{L"dot.\\only.tmp", deep + L".\\x.tmp", L"Many\\1.tmp"}) {
        ASSERT_TRUE(SetFileAttributesW(exactPathForm(at(name)).c_str(), FILE_ATTRIBUTE_READONLY))
            << GetLastError();
    }
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
    EXPECT_EQ(page, gone);
    EXPECT_EQ(host.messageTexts(),
              (Rows{L"4 Files Could Not Be Deleted", L"Dustrel.exe Cannot Be Removed"}));
    form.unload();

    // Everything else is there with its bytes, listed from the Unix side, odd names and all.
    std::sort(kept.begin(), kept.end());
    std::string expected;
    for (const std::string& line : kept) {
        expected += line + "\n";
    }
    EXPECT_EQ(runUnix("cd '" + root +
                      "' && find . -path './log files' -prune -o -type l -print -o -type f -exec "
                      "cat {} \\; -printf '\\n' | LC_ALL=C sort"),
              expected);
}

}  // namespace
}  // namespace dustrel::testing
