// Junk deeper than MAX_PATH on a real drive (S:, which scripts/test.sh maps), through the real
// window: found, ticked, passed over by the Recycle Bin's shell call, deleted and logged.

#include <windows.h>

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

// A path of exactly `length` characters below S:\Deep, ending in `name`.
std::wstring pathOfLength(std::size_t length, const std::wstring& name) {
    std::wstring folder = L"S:\\Deep";
    while (folder.size() + 2 + name.size() + 101 < length) {
        folder += L"\\" + std::wstring(100, L'd');
    }
    folder += L"\\" + std::wstring(length - folder.size() - 2 - name.size(), L'e');
    return folder + L"\\" + name;
}

bool present(const std::wstring& path) {
    return GetFileAttributesW((L"\\\\?\\" + path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string logsBeside(const std::wstring& executable) {
    std::string all;
    const auto folder = std::filesystem::path(executable).parent_path() / L"log files";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        all += bytesOf(entry.path().wstring());
    }
    return all;
}

TEST(DeepPathTest, JunkPastMaxPathIsFoundDeletedAndLogged) {
    ASSERT_EQ(GetDriveTypeW(L"S:\\"), static_cast<UINT>(DRIVE_FIXED))
        << "S: is not mapped: run the Wine tests through scripts/test.sh";
    const std::vector<std::wstring> deep{pathOfLength(300, L"junk300.tmp"),
                                         pathOfLength(600, L"junk600.log")};
    std::string script = "cd '" + unixPath(L"S:\\") +
                         "' && find . -mindepth 1 -maxdepth 1 ! -name Link -exec rm -rf {} +\n";
    for (const std::wstring& path : deep) {
        std::string unix(path.begin() + 3, path.end());
        std::replace(unix.begin(), unix.end(), '\\', '/');
        script += "mkdir -p \"$(dirname " + unix + ")\" && printf junk > " + unix + "\n";
    }
    ASSERT_TRUE(runUnix(script));
    ASSERT_TRUE(present(deep[0]) && present(deep[1]));

    RealMainWindow window;
    auto& c = window.ui();
    for (std::size_t row = 0; row < c.ListDrive.rowCount(); ++row) {
        c.ListDrive.setChecked(row, c.ListDrive.row(row).text == L"S:\\");
    }
    c.cmdCheckAll.click();
    c.cmdNext1.click();
    EXPECT_EQ(window.boxes.texts, std::vector<std::wstring>{L"2 Files Found"});
    ASSERT_EQ(window.form.ui().ListFiles.rowCount(), 2u);
    EXPECT_EQ((std::vector<std::wstring>{c.ListFiles.row(0).text, c.ListFiles.row(1).text}), deep);

    // The shell's Recycle Bin takes no path past MAX_PATH: such rows are not handed to it and
    // stay, as their files do.
    c.cmdCheck.click();
    window.form.cmdRecycle_Click();
    EXPECT_TRUE(window.fakes.shell.deleteCalls().empty());
    EXPECT_EQ(c.ListFiles.rowCount(), 2u);

    c.cmdDelete.click();
    EXPECT_FALSE(present(deep[0]) || present(deep[1]));
    EXPECT_EQ(c.ListFiles.rowCount(), 0u);
    ASSERT_EQ(c.lstFilesDelete.rowCount(), 2u);
    EXPECT_EQ(
        (std::vector<std::wstring>{c.lstFilesDelete.row(0).text, c.lstFilesDelete.row(1).text}),
        deep);
    EXPECT_EQ(window.boxes.texts.size(), 1u) << "every file went";
    const std::string logs = logsBeside(window.real.system.executablePath());
    for (const std::wstring& path : deep) {
        EXPECT_NE(logs.find(platform::toUtf8(path) + "\r\n"), std::string::npos);
    }
}

}  // namespace
}  // namespace dustrel::testing
