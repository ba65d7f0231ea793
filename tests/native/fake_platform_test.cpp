#include "support/fake_platform.h"

#include <gtest/gtest.h>

namespace dustrel::testing {
namespace {

using platform::FolderEntry;
using platform::Status;
using platform::WriteMode;

std::vector<std::wstring> namesOf(const std::vector<FolderEntry>& entries) {
    std::vector<std::wstring> names;
    for (const FolderEntry& entry : entries) {
        names.push_back(entry.name);
    }
    return names;
}

TEST(FakeFileSystem, FindsNamesInAnyCaseAndKeepsTheirOwn) {
    FakeFileSystem files;
    files.addFile(L"C:\\Temp\\ReadMe.TXT", "x");
    files.addFile(L"c:\\TEMP\\\u0394\u03B5\u03BB\u03C4\u03AF\u03BF.tmp");

    EXPECT_TRUE(files.exists(L"c:\\temp\\readme.txt"));
    EXPECT_TRUE(files.exists(L"C:\\Temp\\\u0394\u0395\u039B\u03A4\u038A\u039F.TMP"));
    EXPECT_TRUE(files.isDirectory(L"C:\\TEMP\\"));
    EXPECT_EQ(files.contents(L"C:\\TEMP\\README.txt"), "x");
    EXPECT_EQ(files.allFiles(),
              (std::vector<std::wstring>{L"C:\\Temp\\ReadMe.TXT",
                                         L"C:\\Temp\\\u0394\u03B5\u03BB\u03C4\u03AF\u03BF.tmp"}));
}

TEST(FakeFileSystem, ListsInTheOrderEntriesWereAdded) {
    FakeFileSystem files;
    files.addFile(L"C:\\d\\z.tmp");
    files.addLink(L"C:\\d\\Link");
    files.addFolder(L"C:\\d\\a");
    files.addFile(L"C:\\d\\m.tmp");

    std::vector<FolderEntry> entries{FolderEntry{L"stale"}};
    ASSERT_EQ(files.listFolder(L"C:\\D", entries), Status::Ok);
    EXPECT_EQ(namesOf(entries), (std::vector<std::wstring>{L"z.tmp", L"Link", L"a", L"m.tmp"}));
    EXPECT_TRUE(entries[1].directory && entries[1].reparsePoint);
    EXPECT_TRUE(entries[2].directory && !entries[2].reparsePoint);
    EXPECT_FALSE(entries[3].directory);

    EXPECT_EQ(files.listFolder(L"C:\\missing", entries), Status::NotFound);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(files.listFolder(L"C:\\d\\m.tmp", entries), Status::NotFound);
}

TEST(FakeFileSystem, WritesAsWindowsDoes) {
    FakeFileSystem files;
    files.addFolder(L"C:\\Logs");
    EXPECT_EQ(files.writeFile(L"C:\\Logs\\a.log", "one", WriteMode::CreateNew), Status::Ok);
    EXPECT_EQ(files.writeFile(L"C:\\LOGS\\A.LOG", "two", WriteMode::CreateNew),
              Status::AlreadyExists);
    EXPECT_EQ(files.writeFile(L"C:\\Logs\\a.log", "+", WriteMode::Append), Status::Ok);
    EXPECT_EQ(files.contents(L"C:\\Logs\\a.log"), "one+");
    EXPECT_EQ(files.writeFile(L"C:\\Logs\\a.log", "new", WriteMode::Replace), Status::Ok);
    EXPECT_EQ(files.contents(L"C:\\Logs\\a.log"), "new");
    EXPECT_EQ(files.writeFile(L"C:\\Nowhere\\a.log", "x", WriteMode::Append), Status::NotFound);
    EXPECT_EQ(files.createFolder(L"C:\\Logs"), Status::AlreadyExists);
    EXPECT_EQ(files.createFolder(L"C:\\Nowhere\\Deeper"), Status::NotFound);
    EXPECT_EQ(files.deleteFile(L"C:\\Logs"), Status::AccessDenied);
}

TEST(FakeFileSystem, FaultsApplyWhereTheyWereSet) {
    FakeFileSystem files;
    files.addFile(L"C:\\Locked\\in.use");
    files.addFile(L"C:\\Windows\\a.tmp");
    files.addFile(L"C:\\Temp\\b.tmp");
    files.failListing(L"c:\\windows");
    files.refuseWritesUnder(L"C:\\Windows");
    files.lock(L"C:\\Locked\\IN.USE");

    std::vector<FolderEntry> entries;
    EXPECT_EQ(files.listFolder(L"C:\\Windows\\", entries), Status::AccessDenied);
    EXPECT_EQ(files.deleteFile(L"C:\\Windows\\a.tmp"), Status::AccessDenied);
    EXPECT_EQ(files.createFolder(L"C:\\Windows\\New"), Status::AccessDenied);
    EXPECT_EQ(files.writeFile(L"C:\\WindowsOld.log", "x", WriteMode::Append), Status::Ok);

    std::string bytes;
    EXPECT_EQ(files.readFile(L"C:\\Locked\\in.use", bytes), Status::Ok);
    EXPECT_EQ(files.writeFile(L"C:\\Locked\\in.use", "x", WriteMode::Append), Status::Failed);
    EXPECT_EQ(files.deleteFile(L"C:\\Locked\\in.use"), Status::Failed);
    EXPECT_EQ(files.remove(L"C:\\Locked"), Status::Failed);
    EXPECT_TRUE(files.exists(L"C:\\Locked\\in.use"));

    files.refuseWrites();
    EXPECT_EQ(files.deleteFile(L"C:\\Temp\\b.tmp"), Status::AccessDenied);
    EXPECT_TRUE(files.exists(L"C:\\Temp\\b.tmp"));
}

class FakeShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const std::wstring& path : kPaths) {
            files.addFile(path);
        }
    }

    const std::vector<std::wstring> kPaths{L"C:\\a.tmp", L"C:\\b.tmp", L"C:\\c.tmp"};
    FakeFileSystem files;
    FakeShell shell{files};
};

TEST_F(FakeShellTest, StopsWhereTheRealShellWould) {
    shell.stopAfter(1);
    EXPECT_EQ(shell.deleteFiles(kPaths, false), Status::Failed);
    EXPECT_EQ(files.allFiles(), (std::vector<std::wstring>{L"C:\\b.tmp", L"C:\\c.tmp"}));

    shell.stopAfter(3);
    files.lock(L"C:\\b.tmp");
    EXPECT_NE(shell.deleteFiles({L"C:\\b.tmp", L"C:\\c.tmp"}, false), Status::Ok);
    EXPECT_EQ(files.allFiles(), (std::vector<std::wstring>{L"C:\\b.tmp", L"C:\\c.tmp"}));
}

TEST_F(FakeShellTest, CanClaimSuccessWithoutDeleting) {
    shell.leaveInPlace(L"C:\\b.tmp");
    EXPECT_EQ(shell.deleteFiles(kPaths, false), Status::Ok);
    EXPECT_EQ(files.allFiles(), std::vector<std::wstring>{L"C:\\b.tmp"});

    shell.failEverything();
    EXPECT_EQ(shell.deleteFiles({L"C:\\b.tmp"}, false), Status::Failed);
    EXPECT_TRUE(files.exists(L"C:\\b.tmp"));
}

// The shell reads paths the plain way, and so must the fake, or tests of what reaches the shell
// prove nothing.
TEST_F(FakeShellTest, ReadsPathsThePlainWayAsWindowsDoes) {
    files.makeCaseSensitive(L"C:\\cs");
    for (const wchar_t* path : {L"C:\\dot\\x.tmp", L"C:\\dot.\\x.tmp", L"C:\\d\\con.tmp",
                                L"C:\\cs\\A.tmp", L"C:\\cs\\a.tmp"}) {
        files.addFile(path);
    }
    files.addLink(L"C:\\link", L"C:\\dot");

    EXPECT_EQ(files.plainTarget(L"C:\\dot.\\x.tmp"), L"C:\\dot\\x.tmp");
    EXPECT_EQ(files.plainTarget(L"C:\\dot \\x.tmp. "), L"C:\\dot\\x.tmp");
    EXPECT_EQ(files.plainTarget(L"C:\\d\\con.tmp"), std::nullopt);  // the console
    EXPECT_EQ(files.plainTarget(L"C:\\cs\\a.tmp"), L"C:\\cs\\a.tmp");
    EXPECT_EQ(files.plainTarget(L"C:\\link\\x.tmp"), L"C:\\dot\\x.tmp");
    EXPECT_TRUE(files.exists(L"C:\\d\\con.tmp"));
    EXPECT_TRUE(files.exists(L"C:\\dot.\\x.tmp"));
    EXPECT_FALSE(files.exists(L"C:\\dot \\x.tmp"));

    EXPECT_EQ(shell.deleteFiles({L"C:\\cs\\a.tmp", L"C:\\cs\\a.tmp"}, false), Status::Ok);
    // The second a.tmp found its twin, as a name in another case is found when none matches.
    EXPECT_EQ(shell.removed(), (std::vector<std::wstring>{L"C:\\cs\\a.tmp", L"C:\\cs\\A.tmp"}));
    EXPECT_EQ(shell.deleteFiles({L"C:\\dot.\\x.tmp"}, false), Status::Ok);
    EXPECT_TRUE(files.exists(L"C:\\dot.\\x.tmp"));
    EXPECT_FALSE(files.exists(L"C:\\dot\\x.tmp"));
}

TEST(FakeLocale, UsesCodePage1252BothWays) {
    FakeLocale locale;
    EXPECT_EQ(locale.toAnsi(L'A'), 'A');
    EXPECT_EQ(locale.toAnsi(L'\u20AC'), 0x80);
    EXPECT_EQ(locale.toAnsi(L'\u00E9'), 0xE9);
    EXPECT_FALSE(locale.toAnsi(L'\u0080'));
    EXPECT_FALSE(locale.toAnsi(L'\u0394'));
    EXPECT_FALSE(locale.toAnsi(L'\u65E5'));
    for (int code = 0; code < 256; ++code) {
        const auto byte = static_cast<unsigned char>(code);
        EXPECT_EQ(locale.toAnsi(locale.fromAnsi(byte)), byte) << code;
    }
}

}  // namespace
}  // namespace dustrel::testing
