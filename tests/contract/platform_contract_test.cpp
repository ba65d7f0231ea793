// What the program relies on from each platform interface, checked against the fakes natively
// and against Windows under Wine (see subject.h).

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "contract/subject.h"
#include "platform/path_text.h"

namespace dustrel::contract {
namespace {

using platform::DateTime;
using platform::FolderEntry;
using platform::Status;
using platform::WriteMode;
using Names = std::vector<std::wstring>;

using FileSystemContract = ContractTest;
using ShellContract = ContractTest;
using RegistryContract = ContractTest;
using SystemContract = ContractTest;
using LocaleContract = ContractTest;

// Each entry's name, with "/" after a folder's and "@" after a link's, in name order (the fakes
// list in the order entries were made, Windows in its own), after the status's number when the
// listing fails.
Names listing(platform::FileSystem& files, const std::wstring& folder) {
    std::vector<FolderEntry> entries{FolderEntry{L"stale"}};
    const Status status = files.listFolder(folder, entries);
    Names names;
    if (status != Status::Ok) {
        names.push_back(L"<" + std::to_wstring(static_cast<int>(status.kind())) + L">");
    }
    for (const FolderEntry& entry : entries) {
        names.push_back(entry.name + (entry.directory ? L"/" : L"") + (entry.link ? L"@" : L""));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The bytes, or the status's number and what was left in them.
std::string read(platform::FileSystem& files, const std::wstring& path) {
    std::string bytes = "stale";
    const Status status = files.readFile(path, bytes);
    if (status == Status::Ok) {
        return bytes;
    }
    // Built by append: for "<" + std::to_string(...) the 32-bit GCC 12 warns, wrongly, of an
    // overlapping copy.
    return std::string("<").append(std::to_string(static_cast<int>(status.kind()))) + bytes + ">";
}

TEST_F(FileSystemContract, ListsEachNameOnceWithItsKind) {
    add({L"a.txt", L"\u65E5\u672C.tmp", L"\u0395\u03BB\u03AC\u03B4\u03B1.log", L"Sub\\",
         L"Sub\\in.txt", L"Empty\\"});
    const Names all{L"Empty/", L"Sub/", L"a.txt", L"\u0395\u03BB\u03AC\u03B4\u03B1.log",
                    L"\u65E5\u672C.tmp"};
    EXPECT_EQ(listing(p_.files, root_), all);
    EXPECT_EQ(listing(p_.files, root_ + L"\\"), all);
    EXPECT_EQ(listing(p_.files, at(L"Empty")), Names{});
    // A file comes with its size (it holds its name) and last write.
    std::vector<FolderEntry> entries;
    ASSERT_EQ(p_.files.listFolder(at(L"Sub"), entries), Status::Ok);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].size, std::string("Sub\\in.txt").size());
    EXPECT_NE(entries[0].lastWrite, 0u);
    // Nothing listed, and nothing left from before.
    for (const wchar_t* missing : {L"Missing", L"Missing\\Deeper", L"a.txt"}) {
        EXPECT_EQ(listing(p_.files, at(missing)), Names{L"<1>"});
    }
}

TEST_F(FileSystemContract, TellsFilesFromFoldersAndCreatesFoldersOnce) {
    add({L"f.txt", L"New\\"});
    EXPECT_TRUE(p_.files.exists(at(L"f.txt")));
    EXPECT_FALSE(p_.files.isDirectory(at(L"f.txt")));
    EXPECT_TRUE(p_.files.isDirectory(at(L"NEW")));  // found in another case
    EXPECT_FALSE(p_.files.exists(at(L"none")));
    EXPECT_FALSE(p_.files.isDirectory(at(L"none")));
    EXPECT_EQ(p_.files.createFolder(at(L"new")), Status::AlreadyExists);
    EXPECT_EQ(p_.files.createFolder(at(L"f.txt")), Status::AlreadyExists);
    EXPECT_EQ(p_.files.createFolder(at(L"Missing\\New")), Status::NotFound);
}

TEST_F(FileSystemContract, WritesExactBytesInEachMode) {
    const std::wstring path = at(L"log.txt");
    const std::string first("ab\0\xff\r\n", 6);
    EXPECT_EQ(p_.files.writeFile(path, first, WriteMode::CreateNew), Status::Ok);
    EXPECT_EQ(p_.files.writeFile(at(L"LOG.txt"), "x", WriteMode::CreateNew), Status::AlreadyExists);
    EXPECT_EQ(read(p_.files, path), first);
    EXPECT_EQ(p_.files.writeFile(path, "cd", WriteMode::Append), Status::Ok);
    EXPECT_EQ(read(p_.files, path), first + "cd");
    EXPECT_EQ(p_.files.writeFile(path, "x", WriteMode::Replace), Status::Ok);
    EXPECT_EQ(read(p_.files, path), "x");

    // Larger than one read, so that the pieces have to join up in order.
    std::string big(200000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>(i * 7 % 251);
    }
    EXPECT_EQ(p_.files.writeFile(at(L"new.bin"), big, WriteMode::Append), Status::Ok);
    EXPECT_EQ(read(p_.files, at(L"new.bin")), big);

    add({L"Dir\\"});
    EXPECT_EQ(p_.files.writeFile(at(L"Dir"), "x", WriteMode::Replace), Status::AccessDenied);
    EXPECT_EQ(read(p_.files, at(L"Dir")), "<2>");
    EXPECT_EQ(read(p_.files, at(L"none")), "<1>");
    EXPECT_EQ(p_.files.writeFile(at(L"Missing\\a.txt"), "x", WriteMode::Append), Status::NotFound);
}

TEST_F(FileSystemContract, DeletesFilesOnlyAndNotWhileAnotherProgramHoldsThem) {
    add({L"f.txt", L"Sub\\", L"held.log"});
    EXPECT_EQ(p_.files.deleteFile(at(L"F.TXT")), Status::Ok);
    EXPECT_FALSE(p_.files.exists(at(L"f.txt")));
    EXPECT_EQ(p_.files.deleteFile(at(L"f.txt")), Status::NotFound);
    EXPECT_EQ(p_.files.deleteFile(at(L"Sub")), Status::AccessDenied);
    EXPECT_TRUE(p_.files.isDirectory(at(L"Sub")));

    // Held open sharing reading only: it can be read, but not written or deleted.
    subject_->holdOpen(at(L"held.log"));
    EXPECT_EQ(read(p_.files, at(L"held.log")), "held.log");
    EXPECT_EQ(p_.files.writeFile(at(L"held.log"), "x", WriteMode::Append), Status::Failed);
    EXPECT_EQ(p_.files.deleteFile(at(L"held.log")), Status::Failed);
    EXPECT_EQ(read(p_.files, at(L"held.log")), "held.log");
}

// Names ending in a dot or a space and devices' names are files like any other, but a path the
// system has to clean up ("/", "." or ".." in it) is read the plain way.
TEST_F(FileSystemContract, TakesNamesAsWrittenWhereThePathNeedsNoCleaningUp) {
    add({L"dot.\\", L"dot.\\x.tmp.", L"dot.\\y.tmp ", L"con.tmp", L"nul", L"a.txt"});
    EXPECT_FALSE(p_.files.exists(at(L"dot")));
    EXPECT_FALSE(p_.files.exists(at(L"dot.\\x.tmp")));
    EXPECT_EQ(read(p_.files, at(L"con.tmp")), "con.tmp");
    EXPECT_EQ(read(p_.files, at(L"nul")), "nul");
    EXPECT_EQ(listing(p_.files, at(L"dot.")), (Names{L"x.tmp.", L"y.tmp "}));
    EXPECT_EQ(p_.files.deleteFile(at(L"dot.\\x.tmp.")), Status::Ok);
    EXPECT_EQ(read(p_.files, at(L"dot.\\y.tmp ")), "dot.\\y.tmp ");

    EXPECT_EQ(read(p_.files, at(L"Missing\\..\\a.txt")), "a.txt");
    EXPECT_EQ(read(p_.files, root_ + L"/a.txt"), "a.txt");
    EXPECT_TRUE(p_.files.exists(at(L".\\a.txt. ")));
    EXPECT_FALSE(p_.files.exists(at(L"a.txt. ")));
}

// Under Wine every folder may hold such twins, as may a case-sensitive folder on Windows.
TEST_F(FileSystemContract, TwinsByLetterCaseEachKeepTheirOwnName) {
    subject_->addTwin(at(L"Twins\\a.tmp"), "a");
    subject_->addTwin(at(L"Twins\\A.tmp"), "A");
    EXPECT_EQ(listing(p_.files, at(L"Twins")), (Names{L"A.tmp", L"a.tmp"}));
    EXPECT_EQ(p_.files.writeFile(at(L"Twins\\A.tmp"), "B", WriteMode::Replace), Status::Ok);
    EXPECT_EQ(read(p_.files, at(L"Twins\\a.tmp")), "a");
    EXPECT_EQ(read(p_.files, at(L"Twins\\A.tmp")), "B");
    EXPECT_EQ(p_.files.deleteFile(at(L"Twins\\a.tmp")), Status::Ok);
    EXPECT_EQ(listing(p_.files, at(L"Twins")), (Names{L"A.tmp"}));
    // With no exact match left, a name in another case is found.
    EXPECT_EQ(read(p_.files, at(L"Twins\\a.tmp")), "B");
}

TEST_F(FileSystemContract, ReportsALinkAndLeadsThroughIt) {
    add({L"Target\\", L"Target\\x.tmp"});
    subject_->addLink(at(L"Link"), at(L"Target"));
    EXPECT_EQ(listing(p_.files, root_), (Names{L"Link/@", L"Target/"}));
    EXPECT_TRUE(p_.files.isDirectory(at(L"Link")));
    EXPECT_EQ(listing(p_.files, at(L"Link")), (Names{L"x.tmp"}));
    EXPECT_EQ(p_.files.deleteFile(at(L"Link\\x.tmp")), Status::Ok);
    EXPECT_FALSE(p_.files.exists(at(L"Target\\x.tmp")));
}

// What a deletion's handle tells of what it opened ("d" a folder, "l" the link itself, "=" its
// final path is the one asked for), and that it deletes that and nothing else.
TEST_F(FileSystemContract, OpensForDeletionByTheExactNameAndDeletesWhatItOpened) {
    add({L"a.tmp", L"Dir\\", L"dot.\\", L"dot.\\x.tmp", L"Target\\", L"Target\\x.tmp",
         L"held.tmp"});
    subject_->addLink(at(L"Link"), at(L"Target"));
    subject_->holdOpen(at(L"held.tmp"));
    // The status's number, or what the handle tells.
    const auto opened = [this](const std::wstring& name) {
        std::unique_ptr<platform::OpenedFile> file;
        std::string told;
        if (const Status status = p_.files.openForDeletion(at(name), file); status != Status::Ok) {
            told += std::to_string(static_cast<int>(status.kind()));
            return told;
        }
        platform::OpenedFacts facts;
        EXPECT_EQ(file->describe(facts), Status::Ok);
        told += facts.directory ? "d" : "";
        told += facts.link ? "l" : "";
        told += facts.atOpenedPath ? "=" : "";
        return told;
    };
    const std::string notFound = std::to_string(static_cast<int>(Status::NotFound));
    EXPECT_EQ(opened(L"a.tmp"), "=");
    EXPECT_EQ(opened(L"A.TMP"), "");  // found in another case: not the file asked for
    EXPECT_EQ(opened(L"Dir"), "d=");
    // Windows opens the link itself; Wine opens a Linux link's target, which is then no longer
    // at the path asked for. Either way it is not a file to delete.
    const std::string link = opened(L"Link");
    EXPECT_TRUE(link == "dl=" || link == "d") << link;
    EXPECT_EQ(opened(L"Link\\x.tmp"), "");  // reached through the link
    EXPECT_EQ(opened(L"dot.\\x.tmp"), "=");
    for (const wchar_t* missing : {L"none.tmp", L"Missing\\x.tmp", L"a.tmp\\x.tmp"}) {
        EXPECT_EQ(opened(missing), notFound);
    }
    // A name the Win32 functions refuse is not read as another (a wildcard, a stream).
    EXPECT_EQ(opened(L"st*r.tmp"), std::to_string(static_cast<int>(Status::Failed)));
    const std::string held = opened(L"held.tmp");
    EXPECT_TRUE(held != "=" && held != notFound) << held;

    std::unique_ptr<platform::OpenedFile> file;
    ASSERT_EQ(p_.files.openForDeletion(at(L"dot.\\x.tmp"), file), Status::Ok);
    EXPECT_EQ(file->deleteNow(), Status::Ok);
    file.reset();
    EXPECT_EQ(listing(p_.files, at(L"dot.")), Names{});
    EXPECT_EQ(read(p_.files, at(L"a.tmp")), "a.tmp");
    EXPECT_EQ(read(p_.files, at(L"held.tmp")), "held.tmp");
}

TEST_F(ShellContract, DeletesTheListedFilesAndFoldersOnly) {
    add({L"a.tmp", L"\u65E5\u672C.tmp", L"keep.tmp", L"Dir\\", L"Dir\\in.tmp"});
    EXPECT_EQ(p_.shell.deleteFiles({}, false), Status::Ok);
    EXPECT_EQ(p_.shell.deleteFiles({at(L"a.tmp"), at(L"\u65E5\u672C.tmp"), at(L"Dir")}, false),
              Status::Ok);
    EXPECT_EQ(listing(p_.files, root_), (Names{L"keep.tmp"}));
}

TEST_F(ShellContract, ReadsPathsThePlainWayAndLeavesWhatItCannotDelete) {
    add({L"x.tmp", L"x.tmp.", L"con.tmp", L"held.tmp"});
    EXPECT_EQ(p_.shell.deleteFiles({at(L"x.tmp.")}, false), Status::Ok);
    EXPECT_FALSE(p_.files.exists(at(L"x.tmp")));
    EXPECT_TRUE(p_.files.exists(at(L"x.tmp.")));
    EXPECT_NE(p_.shell.deleteFiles({at(L"con.tmp")}, false), Status::Ok);  // the console
    EXPECT_TRUE(p_.files.exists(at(L"con.tmp")));

    subject_->holdOpen(at(L"held.tmp"));
    EXPECT_NE(p_.shell.deleteFiles({at(L"held.tmp")}, false), Status::Ok);
    EXPECT_TRUE(p_.files.exists(at(L"held.tmp")));
}

TEST_F(RegistryContract, WritesReadsAndDeletesStringsOfTheirOwnKey) {
    const std::wstring key = subject_->key() + L"\\Sub";
    const std::wstring text = L"C:\\Program Files\\Dustrel\\Dustrel.exe \u65E5\u672C";
    std::wstring value;
    EXPECT_EQ(p_.registry.createKey(key), Status::Ok);
    EXPECT_EQ(p_.registry.createKey(key), Status::Ok);
    EXPECT_EQ(p_.registry.writeString(key + L"\\New", L"Run", text), Status::Ok);
    EXPECT_EQ(p_.registry.readString(platform::upperCase(key) + L"\\new", L"run", value),
              Status::Ok);
    EXPECT_EQ(value, text);
    EXPECT_EQ(p_.registry.queryValue(key + L"\\New", L"Run"), Status::Ok);
    EXPECT_EQ(p_.registry.queryValue(key, L"Run"), Status::NotFound);
    EXPECT_EQ(p_.registry.writeString(key, L"Run", L""), Status::Ok);
    EXPECT_EQ(p_.registry.readString(key, L"Run", value), Status::Ok);
    EXPECT_EQ(value, L"");

    EXPECT_EQ(p_.registry.deleteValue(key, L"RUN"), Status::Ok);
    value = L"untouched";
    EXPECT_EQ(p_.registry.readString(key, L"Run", value), Status::NotFound);
    EXPECT_EQ(value, L"untouched");
    EXPECT_EQ(p_.registry.queryValue(key, L"Run"), Status::NotFound);
    EXPECT_EQ(p_.registry.deleteValue(key, L"Run"), Status::NotFound);
    EXPECT_EQ(p_.registry.readString(key + L"\\Missing", L"Run", value), Status::NotFound);
    EXPECT_EQ(p_.registry.queryValue(key + L"\\Missing", L"Run"), Status::NotFound);
    EXPECT_EQ(p_.registry.deleteValue(key + L"\\Missing", L"Run"), Status::NotFound);
}

TEST_F(SystemContract, SeesDriveCAsAFixedDiskAndNoDriveWhereNoneIs) {
    const std::uint32_t drives = p_.system.logicalDrives();
    EXPECT_NE(drives & (1u << 2), 0u);
    EXPECT_EQ(p_.system.driveKind(L"C:\\"), platform::DriveKind::Fixed);
    platform::DiskSizes sizes;
    ASSERT_EQ(p_.system.diskSizes(L"C:\\", sizes), Status::Ok);
    EXPECT_GT(sizes.total, 0u);
    EXPECT_LE(sizes.totalFree, sizes.total);
    EXPECT_LE(sizes.freeToCaller, sizes.totalFree);
    const int absent = std::countr_one(drives >> 3) + 3;  // the first letter after C: not there
    ASSERT_LT(absent, 26);
    const std::wstring root{static_cast<wchar_t>(L'A' + absent), L':', L'\\'};
    EXPECT_EQ(p_.system.driveKind(root), platform::DriveKind::NoRootDir);
    EXPECT_NE(p_.system.diskSizes(root, sizes), Status::Ok);
}

TEST_F(SystemContract, NamesItsExecutableAndGrantsTheSingleInstanceGuardOnce) {
    const std::wstring path = p_.system.executablePath();
    const std::wstring name = platform::applicationName(p_.system);
    EXPECT_FALSE(name.empty());
    EXPECT_TRUE(platform::equalsNoCase(
        path, platform::executableFolder(p_.system) + L"\\" + name + L".exe"));

    const std::wstring guard = L"DustrelContract." + root_.substr(root_.rfind(L'\\') + 1);
    EXPECT_TRUE(p_.system.claimSingleInstance(guard));
    EXPECT_FALSE(p_.system.claimSingleInstance(guard));
    // The same program started under its name in other letters.
    EXPECT_FALSE(p_.system.claimSingleInstance(platform::upperCase(guard)));
    EXPECT_TRUE(p_.system.claimSingleInstance(guard + L".other"));
}

TEST_F(LocaleContract, ReadsBackTheDatesItWritesAndWritesTimes) {
    const DateTime today = p_.clock.now();
    for (const DateTime& date :
         {DateTime{today.year, today.month, today.day}, DateTime{1999, 12, 31},
          DateTime{2024, 2, 29}, DateTime{2005, 1, 9}}) {
        EXPECT_EQ(p_.locale.parseDate(p_.locale.shortDate(date)), date) << date.year;
    }
    EXPECT_EQ(p_.locale.shortDate(DateTime{2023, 2, 29}), L"");
    EXPECT_EQ(p_.locale.parseDate(L"not a date"), std::nullopt);
    for (int hour : {0, 13, 23}) {
        const std::wstring time = p_.locale.longTime(DateTime{2024, 1, 1, hour, 58, 59});
        EXPECT_NE(time.find(L"58"), std::wstring::npos) << hour;
        EXPECT_NE(time.find(L"59"), std::wstring::npos) << hour;
    }
    EXPECT_EQ(p_.locale.longTime(DateTime{2024, 1, 1, 24, 0, 0}), L"");
}

// A file's time shows in the user's time zone, at most 14 hours from UTC; a size names its unit.
TEST_F(LocaleContract, TellsFileTimesInLocalTimeAndSizesInBytes) {
    constexpr std::uint64_t kNoonUtc15June2024 = 133'629'264'000'000'000;
    const auto local = p_.locale.localTime(kNoonUtc15June2024 + 59 * 10'000'000ull);
    ASSERT_TRUE(local.has_value());
    EXPECT_EQ((std::vector<int>{local->year, local->month, local->minute % 15, local->second}),
              (std::vector<int>{2024, 6, 0, 59}));
    EXPECT_LE(std::abs(local->day * 24 + local->hour - (15 * 24 + 12)), 14);
    EXPECT_EQ(p_.locale.localTime(~std::uint64_t{0}), std::nullopt);
    EXPECT_EQ(p_.locale.byteSize(532).substr(0, 4), L"532 ");
    EXPECT_NE(p_.locale.byteSize(2'400'016), p_.locale.byteSize(2'400));
}

TEST_F(LocaleContract, ConvertsSingleCharactersToTheAnsiCodePageAndBack) {
    EXPECT_EQ(p_.locale.toAnsi(L'A'), 'A');
    EXPECT_EQ(p_.locale.toAnsi(L'\u65E5'), std::nullopt);
    EXPECT_EQ(p_.locale.toAnsi(static_cast<wchar_t>(0xD800)), std::nullopt);
    for (int code = 0; code < 256; ++code) {
        const auto byte = static_cast<unsigned char>(code);
        EXPECT_EQ(p_.locale.toAnsi(p_.locale.fromAnsi(byte)), byte) << code;
    }
}

}  // namespace
}  // namespace dustrel::contract
