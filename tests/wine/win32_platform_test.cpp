#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_platform.h"
#include "support/win32_temp_tree.h"

namespace dustrel::platform::win32 {
namespace {

class Win32PlatformTest : public testing::TempTreeTest {
protected:
    Win32FileSystem files_;
};

using Win32FileSystemTest = Win32PlatformTest;

TEST_F(Win32FileSystemTest, ListsEachNameOnceWithItsKind) {
    const std::wstring japanese = L"\u65E5\u672C.tmp";
    const std::wstring greek = L"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1.log";
    makeFile(at(L"a.txt"));
    makeFile(at(japanese));
    makeFile(at(greek));
    ASSERT_TRUE(CreateDirectoryW(at(L"Sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(at(L"Empty").c_str(), nullptr));

    std::vector<FolderEntry> entries{FolderEntry{L"stale"}};
    ASSERT_EQ(files_.listFolder(root_, entries), Status::Ok);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    std::vector<std::wstring> names;
    for (const FolderEntry& entry : entries) {
        names.push_back(entry.name);
        EXPECT_EQ(entry.directory, entry.name == L"Sub" || entry.name == L"Empty") << entry.name;
        EXPECT_FALSE(entry.reparsePoint);
    }
    std::vector<std::wstring> expected{L"Empty", L"Sub", L"a.txt", greek, japanese};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);

    std::vector<FolderEntry> again;
    ASSERT_EQ(files_.listFolder(root_ + L"\\", again), Status::Ok);
    EXPECT_EQ(again.size(), entries.size());

    EXPECT_EQ(files_.listFolder(at(L"Empty"), entries), Status::Ok);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(files_.listFolder(at(L"Missing"), entries), Status::NotFound);
    EXPECT_EQ(files_.listFolder(at(L"Missing\\Deeper"), entries), Status::NotFound);
}

TEST_F(Win32FileSystemTest, TellsFilesFromFoldersAndCreatesFoldersOnce) {
    makeFile(at(L"f.txt"));
    EXPECT_TRUE(files_.exists(at(L"f.txt")));
    EXPECT_FALSE(files_.isDirectory(at(L"f.txt")));
    EXPECT_TRUE(files_.isDirectory(root_));
    EXPECT_FALSE(files_.exists(at(L"none")));
    EXPECT_FALSE(files_.isDirectory(at(L"none")));

    EXPECT_EQ(files_.createFolder(at(L"New")), Status::Ok);
    EXPECT_TRUE(files_.isDirectory(at(L"new")));
    EXPECT_EQ(files_.createFolder(at(L"New")), Status::AlreadyExists);
    EXPECT_EQ(files_.createFolder(at(L"Missing\\New")), Status::NotFound);
}

TEST_F(Win32FileSystemTest, WritesExactBytesInEachMode) {
    const std::wstring path = at(L"log.txt");
    const std::string first("ab\0\xff\r\n", 6);
    std::string bytes;

    EXPECT_EQ(files_.writeFile(path, first, WriteMode::CreateNew), Status::Ok);
    EXPECT_EQ(files_.writeFile(path, "other", WriteMode::CreateNew), Status::AlreadyExists);
    ASSERT_EQ(files_.readFile(path, bytes), Status::Ok);
    EXPECT_EQ(bytes, first);

    EXPECT_EQ(files_.writeFile(path, "cd", WriteMode::Append), Status::Ok);
    ASSERT_EQ(files_.readFile(path, bytes), Status::Ok);
    EXPECT_EQ(bytes, first + "cd");

    EXPECT_EQ(files_.writeFile(path, "x", WriteMode::Replace), Status::Ok);
    ASSERT_EQ(files_.readFile(path, bytes), Status::Ok);
    EXPECT_EQ(bytes, "x");

    // Larger than one read so the pieces have to join up in order.
    std::string big(200000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>(i * 7 % 251);
    }
    EXPECT_EQ(files_.writeFile(at(L"new.bin"), big, WriteMode::Append), Status::Ok);
    ASSERT_EQ(files_.readFile(at(L"new.bin"), bytes), Status::Ok);
    EXPECT_EQ(bytes, big);

    EXPECT_EQ(files_.readFile(at(L"none"), bytes), Status::NotFound);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(files_.writeFile(at(L"Missing\\a.txt"), "x", WriteMode::Append), Status::NotFound);
}

TEST_F(Win32FileSystemTest, DeletesFilesOnly) {
    makeFile(at(L"f.txt"));
    ASSERT_TRUE(CreateDirectoryW(at(L"Sub").c_str(), nullptr));
    EXPECT_EQ(files_.deleteFile(at(L"f.txt")), Status::Ok);
    EXPECT_FALSE(present(at(L"f.txt")));
    EXPECT_EQ(files_.deleteFile(at(L"f.txt")), Status::NotFound);
    EXPECT_NE(files_.deleteFile(at(L"Sub")), Status::Ok);
    EXPECT_TRUE(present(at(L"Sub")));
}

TEST_F(Win32FileSystemTest, ReachesPathsLongerThanMaxPath) {
    std::wstring folder = root_;
    while (folder.size() < MAX_PATH + 40) {
        folder += L"\\" + std::wstring(60, L'd');
        ASSERT_EQ(files_.createFolder(folder), Status::Ok) << folder.size();
    }
    const std::wstring file = folder + L"\\deep.txt";
    EXPECT_EQ(files_.writeFile(file, "deep", WriteMode::CreateNew), Status::Ok);
    EXPECT_TRUE(files_.exists(file));
    std::vector<FolderEntry> entries;
    ASSERT_EQ(files_.listFolder(folder, entries), Status::Ok);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, L"deep.txt");
    std::string bytes;
    EXPECT_EQ(files_.readFile(file, bytes), Status::Ok);
    EXPECT_EQ(bytes, "deep");
    EXPECT_EQ(files_.deleteFile(file), Status::Ok);
    EXPECT_FALSE(files_.exists(file));
}

using Win32ShellTest = Win32PlatformTest;

TEST_F(Win32ShellTest, DeletesOnlyTheListedFiles) {
    makeFile(at(L"a.tmp"));
    makeFile(at(L"\u65E5\u672C.tmp"));
    makeFile(at(L"keep.tmp"));
    Win32Shell shell;
    EXPECT_EQ(shell.deleteFiles({}, false), Status::Ok);
    EXPECT_EQ(shell.deleteFiles({at(L"a.tmp"), at(L"\u65E5\u672C.tmp")}, false), Status::Ok);
    EXPECT_FALSE(present(at(L"a.tmp")));
    EXPECT_FALSE(present(at(L"\u65E5\u672C.tmp")));
    EXPECT_TRUE(present(at(L"keep.tmp")));
}

TEST_F(Win32ShellTest, LeavesAFileThatIsHeldOpen) {
    makeFile(at(L"held.tmp"));
    const HANDLE held = CreateFileW(at(L"held.tmp").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Win32Shell shell;
    EXPECT_NE(shell.deleteFiles({at(L"held.tmp")}, false), Status::Ok);
    CloseHandle(held);
    EXPECT_TRUE(present(at(L"held.tmp")));
}

class Win32RegistryTest : public ::testing::Test {
protected:
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
        HKEY parent = nullptr;
        // The shared parent goes too once no other run is using it.
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, &parent) ==
            ERROR_SUCCESS) {
            RegDeleteKeyW(parent, L"DustrelTest");
            RegCloseKey(parent);
        }
    }

    const std::wstring key_ = L"Software\\DustrelTest\\" + testing::uniqueName();
    Win32Registry registry_;
};

TEST_F(Win32RegistryTest, WritesReadsAndDeletesStrings) {
    const std::wstring text = L"C:\\Program Files\\Dustrel\\Dustrel.exe \u65E5\u672C";
    EXPECT_EQ(registry_.writeString(key_, L"Run", text), Status::Ok);
    EXPECT_EQ(registry_.queryValue(key_, L"Run"), Status::Ok);
    std::wstring value;
    EXPECT_EQ(registry_.readString(key_, L"run", value), Status::Ok);
    EXPECT_EQ(value, text);

    EXPECT_EQ(registry_.writeString(key_, L"Run", L""), Status::Ok);
    EXPECT_EQ(registry_.readString(key_, L"Run", value), Status::Ok);
    EXPECT_EQ(value, L"");

    EXPECT_EQ(registry_.deleteValue(key_, L"Run"), Status::Ok);
    value = L"untouched";
    EXPECT_EQ(registry_.readString(key_, L"Run", value), Status::NotFound);
    EXPECT_EQ(value, L"untouched");
    EXPECT_EQ(registry_.queryValue(key_, L"Run"), Status::NotFound);
    EXPECT_EQ(registry_.deleteValue(key_, L"Run"), Status::NotFound);
    EXPECT_EQ(registry_.readString(key_ + L"\\Missing", L"Run", value), Status::NotFound);
}

TEST_F(Win32RegistryTest, ReadsOnlyStringsHoweverTheyWereStored) {
    ASSERT_EQ(registry_.writeString(key_, L"Seed", L"x"), Status::Ok);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const wchar_t unterminated[] = L"abcd";
    RegSetValueExW(key, L"NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated),
                   4 * sizeof(wchar_t));
    RegSetValueExW(key, L"Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(L"%TEMP%\\x"),
                   9 * sizeof(wchar_t));
    const DWORD number = 7;
    RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof(number));
    RegCloseKey(key);

    std::wstring value;
    EXPECT_EQ(registry_.readString(key_, L"NoNul", value), Status::Ok);
    EXPECT_EQ(value, L"abcd");
    EXPECT_EQ(registry_.readString(key_, L"Expand", value), Status::Ok);
    EXPECT_EQ(value, L"%TEMP%\\x");
    EXPECT_NE(registry_.readString(key_, L"Number", value), Status::Ok);
    EXPECT_EQ(registry_.queryValue(key_, L"Number"), Status::Ok);
}

TEST(Win32SystemTest, DescribesTheRunningProgram) {
    Win32System system;
    const std::wstring path = system.executablePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(CompareStringOrdinal(path.c_str() + path.size() - 4, 4, L".EXE", 4, TRUE),
              CSTR_EQUAL);
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);

    const std::wstring line = GetCommandLineW();
    const std::wstring arguments = system.commandArguments();
    EXPECT_EQ(arguments, argumentsOf(line));
    EXPECT_TRUE(arguments.empty() || arguments[0] != L' ');
    EXPECT_EQ(line.compare(line.size() - arguments.size(), arguments.size(), arguments), 0);
}

TEST(Win32SystemTest, GrantsTheSingleInstanceGuardOnce) {
    const std::wstring name = L"Test." + testing::uniqueName();
    Win32System system;
    EXPECT_TRUE(system.claimSingleInstance(name));
    EXPECT_FALSE(system.claimSingleInstance(name));
    Win32System other;
    EXPECT_FALSE(other.claimSingleInstance(name));
    EXPECT_TRUE(other.claimSingleInstance(name + L".other"));
}

TEST(Win32SystemTest, RestartsWithoutForcingOtherProgramsClosed) {
    const unsigned flags = Win32System::restartFlags();
    EXPECT_EQ(flags & EWX_REBOOT, static_cast<unsigned>(EWX_REBOOT));
    EXPECT_EQ(flags & (EWX_FORCE | EWX_SHUTDOWN | EWX_POWEROFF), 0u);
}

TEST(Win32SystemTest, SeesDriveCAsAFixedDisk) {
    Win32System system;
    const std::uint32_t drives = system.logicalDrives();
    EXPECT_NE(drives & (1u << 2), 0u);
    EXPECT_EQ(system.driveKind(L"C:\\"), DriveKind::Fixed);
    DiskSizes sizes;
    ASSERT_EQ(system.diskSizes(L"C:\\", sizes), Status::Ok);
    EXPECT_GT(sizes.total, 0u);
    EXPECT_LE(sizes.totalFree, sizes.total);
    EXPECT_LE(sizes.freeToCaller, sizes.totalFree);
    for (int letter = 25; letter >= 0; --letter) {
        if ((drives & (1u << letter)) == 0) {
            const std::wstring root{static_cast<wchar_t>(L'A' + letter), L':', L'\\'};
            EXPECT_EQ(system.driveKind(root), DriveKind::NoRootDir) << letter;
            EXPECT_NE(system.diskSizes(root, sizes), Status::Ok);
            break;
        }
    }
}

TEST(Win32LocaleTest, ReadsBackTheShortDatesItWrites) {
    Win32Locale locale;
    const DateTime today = Win32Clock().now();
    const std::vector<DateTime> dates{
        DateTime{today.year, today.month, today.day, 0, 0, 0}, DateTime{1999, 12, 31, 0, 0, 0},
        DateTime{2024, 2, 29, 0, 0, 0}, DateTime{2005, 1, 9, 0, 0, 0}};
    for (const DateTime& date : dates) {
        const std::wstring text = locale.shortDate(date);
        ASSERT_FALSE(text.empty());
        const std::optional<DateTime> back = locale.parseDate(text);
        ASSERT_TRUE(back.has_value()) << std::string(text.begin(), text.end());
        EXPECT_EQ(*back, date);
    }
    EXPECT_TRUE(locale.shortDate(DateTime{2023, 2, 29, 0, 0, 0}).empty());
    EXPECT_FALSE(locale.parseDate(L"not a date").has_value());
    EXPECT_FALSE(locale.longTime(DateTime{2024, 1, 1, 13, 5, 9}).empty());
}

TEST(Win32LocaleTest, ConvertsSingleCharactersToTheAnsiCodePage) {
    Win32Locale locale;
    EXPECT_EQ(locale.toAnsi(L'A'), 65);
    EXPECT_FALSE(locale.toAnsi(L'\u65E5').has_value());
    EXPECT_FALSE(locale.toAnsi(static_cast<wchar_t>(0xD800)).has_value());
    EXPECT_EQ(locale.fromAnsi('A'), L'A');
    for (int code = 0x20; code < 0x80; ++code) {
        EXPECT_EQ(locale.toAnsi(locale.fromAnsi(static_cast<unsigned char>(code))), code);
    }
}

// Made-up handles whose closing is written down, so that a handle closed twice or never shows.
struct RecordedHandleTraits {
    static inline std::vector<int> closed;
    static int empty() { return 0; }
    static bool valid(int handle) { return handle != 0; }
    static bool close(int handle) {
        closed.push_back(handle);
        return true;
    }
};
using RecordedHandle = UniqueHandle<int, RecordedHandleTraits>;

TEST(UniqueHandleTest, MovesHandOverOwnershipAndEveryHandleClosesOnce) {
    RecordedHandleTraits::closed.clear();
    {
        RecordedHandle first(1);
        RecordedHandle second(std::move(first));
        RecordedHandle third(3);
        third = std::move(second);
        EXPECT_EQ(RecordedHandleTraits::closed, std::vector<int>{3});
        EXPECT_EQ(third.get(), 1);

        RecordedHandle given(4);
        EXPECT_EQ(given.release(), 4);
        EXPECT_FALSE(given.valid());
    }
    EXPECT_EQ(RecordedHandleTraits::closed, (std::vector<int>{3, 1}));
}

}  // namespace
}  // namespace dustrel::platform::win32
