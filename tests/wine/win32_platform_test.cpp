#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/command_line.h"
#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_platform.h"
#include "support/win32_temp_tree.h"

namespace dustrel::platform::win32 {
namespace {

// What the real implementations do beyond the contract in tests/contract, which
// they also keep.

// Strings go in as REG_SZ with their NUL, as other programs read them (the Run
// entry is read by Windows itself), and come out however they were stored. A
// failure carries the code the system gave (what a message naming the error
// shows), or, where the implementation refuses by itself, the code the system
// has for that reason. While a file is open for deletion it cannot be renamed
// away and replaced before the deletion acts. (Windows also refuses to rename
// the folders on its way, which are held the same way; Wine does not enforce
// share modes on folders, so that part cannot be shown here.)
TEST(Win32PlatformTest, RegistryStringsErrorCodesAndFilesHeldForDeletion) {
    const std::wstring root = testing::makeTempFolder(L"DustrelCodes.");
    const std::wstring key = L"Software\\DustrelTest\\" + testing::uniqueName();
    const std::wstring quoted = L"\"C:\\Program Files\\Dustrel\\Dustrel.exe\" /STARTUP";
    Win32FileSystem files;
    Win32Registry registry;
    ASSERT_EQ(registry.writeString(key, L"Run", quoted), Status::Ok);
    wchar_t raw[256] = {};
    DWORD type = 0, size = sizeof(raw);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Run", RRF_RT_ANY | RRF_NOEXPAND, &type,
                           raw, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(raw + std::to_wstring(type) + L"," + std::to_wstring(size),
              quoted + std::to_wstring(REG_SZ) + L"," + std::to_wstring((quoted.size() + 1) * 2));
    const DWORD number = 7;
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"NoNul", REG_SZ, L"abcd", 8);
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Expand", REG_EXPAND_SZ, L"%TEMP%", 12);
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Number", REG_DWORD, &number, 4);
    std::wstring text, value;
    for (const wchar_t* name : {L"NoNul", L"Expand"}) {
        text += registry.readString(key, name, value) == Status::Ok ? value + L"," : L"-,";
    }
    EXPECT_EQ(text, L"abcd,%TEMP%,");
    EXPECT_EQ(registry.queryValue(key, L"Number"), Status::Ok);

    ASSERT_EQ(files.writeFile(root + L"\\f.txt", "x", WriteMode::CreateNew), Status::Ok);
    std::string bytes;
    std::unique_ptr<OpenedFile> opened;
    const std::vector<std::pair<Status, DWORD>> answers{
        {files.writeFile(root + L"\\f.txt", "x", WriteMode::CreateNew), ERROR_FILE_EXISTS},
        {files.createFolder(root), ERROR_ALREADY_EXISTS},
        {files.readFile(root + L"\\none.txt", bytes), ERROR_FILE_NOT_FOUND},
        {files.deleteFile(root + L"\\none\\f.txt"), ERROR_PATH_NOT_FOUND},
        {files.openForDeletion(root + L"\\st*r.tmp", opened), ERROR_INVALID_NAME},
        {registry.readString(key, L"Missing", text), ERROR_FILE_NOT_FOUND},
        {registry.readString(key, L"Number", text), ERROR_UNSUPPORTED_TYPE},
    };
    for (std::size_t i = 0; i < answers.size(); ++i) {
        EXPECT_EQ(answers[i].first.code(), answers[i].second) << "answer " << i;
    }
    ASSERT_EQ(files.openForDeletion(root + L"\\f.txt", opened), Status::Ok);
    EXPECT_FALSE(MoveFileW((root + L"\\f.txt").c_str(), (root + L".f.txt").c_str()));
    EXPECT_EQ(opened->deleteNow(), Status::Ok);
    opened.reset();
    EXPECT_TRUE(RemoveDirectoryW(root.c_str())) << "the file is gone";
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\DustrelTest");
}

TEST(Win32SystemTest, HandsOnItsArgumentsGuardsAgainstOtherCopiesAndRestartsGently) {
    Win32System system;
    EXPECT_EQ(system.commandArguments(), argumentsOf(GetCommandLineW()));
    // The guard is the system's: another holder of the name is refused too.
    const std::wstring name = L"Test." + testing::uniqueName();
    EXPECT_TRUE(system.claimSingleInstance(name));
    EXPECT_FALSE(Win32System().claimSingleInstance(name));
    // Restarting Windows forces no other program closed.
    EXPECT_EQ(Win32System::restartFlags() & (EWX_REBOOT | EWX_FORCE | EWX_SHUTDOWN | EWX_POWEROFF),
              static_cast<unsigned>(EWX_REBOOT));
    // A seek penalty is the disk's: a folder is no drive; where the disk does not tell (Wine
    // does not), the failure carries the system's code and no penalty.
    bool penalty = true;
    EXPECT_EQ(system.seekPenalty(L"C:\\Windows", penalty).code(),
              static_cast<std::uint32_t>(ERROR_INVALID_NAME));
    EXPECT_FALSE(penalty);
    for (const wchar_t* root : {L"C:\\", L"C:"}) {
        penalty = true;
        const Status status = system.seekPenalty(root, penalty);
        EXPECT_TRUE(ok(status) ? status.code() == 0 : status.code() != 0 && !penalty) << root;
    }
}

// Made-up handles whose closing is written down, so that a handle closed twice
// or never shows.
struct RecordedHandleTraits {
    static inline std::vector<int> closed;
    static int empty() { return 0; }
    static bool valid(int handle) { return handle != 0; }
    static bool close(int handle) { return closed.push_back(handle), true; }
};

TEST(UniqueHandleTest, MovesHandOverOwnershipAndEveryHandleClosesOnce) {
    {
        UniqueHandle<int, RecordedHandleTraits> first(1), third(3), given(4);
        auto second(std::move(first));
        third = std::move(second);
        EXPECT_EQ(RecordedHandleTraits::closed, std::vector<int>{3});
        EXPECT_EQ(std::pair(third.get(), given.release()), std::pair(1, 4));
        EXPECT_FALSE(given.valid());
    }
    EXPECT_EQ(RecordedHandleTraits::closed, (std::vector<int>{3, 1}));
}

}  // namespace
}  // namespace dustrel::platform::win32
