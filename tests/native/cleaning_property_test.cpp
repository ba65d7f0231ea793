#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "native/app_fixture.h"

namespace dustrel::testing {
namespace {

using Paths = std::vector<std::wstring>;

constexpr const wchar_t* kOwnExecutable = L"C:\\Program Files\\Dustrel\\Dustrel.exe";
constexpr const wchar_t* kLogFolder = L"C:\\Program Files\\Dustrel\\log files";
constexpr const wchar_t* kElsewhere = L"C:\\Elsewhere";

// Names a hostile disk holds: twins by letter case, trailing dots and blanks, devices' names,
// names the Win32 functions refuse beside names they would match as wildcards.
const std::vector<std::wstring> kFolderNames{
    L"Temp", L"temp", L"dot", L"dot.", L"dot ", L"con", std::wstring(236, L'L')};
const std::vector<std::wstring> kFileNames{L"a.tmp",     L"A.tmp",    L"x.tmp",      L"x.tmp.",
                                           L"con.tmp",   L"nul.log",  L"aux .bak",   L"what?.tmp",
                                           L"whatX.tmp", L"st*r.tmp", L"stoner.tmp", L"e.tmp "};

bool usableName(const std::wstring& name) {
    return name.find_first_of(L"<>:\"/|?*") == std::wstring::npos;
}

std::map<std::wstring, std::string> snapshot(FakeFileSystem& files) {
    std::map<std::wstring, std::string> all;
    for (const std::wstring& path : files.allFiles()) {
        all[path] = *files.contents(path);
    }
    return all;
}

// Random trees of such names in folders that are case-sensitive or not, rows of every file
// (some twice), random ticks, files held open or deleted by someone else after the scan, folders
// turned into links to a folder of namesakes, and a shell that stops, fails or claims success
// for files it left. Whatever happens, Delete removes exactly the ticked files that were there,
// reachable without a link and under names the system accepts, and every row, page line, log
// line and message follows from that.
TEST(CleaningPropertyTest, DeletesExactlyTheTickedFilesItCanReachAndSaysSo) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto chance = [&random](double p) { return std::bernoulli_distribution(p)(random); };
        const auto pick = [&random](const std::vector<std::wstring>& from) {
            return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
        };

        TestHost host;
        FakePlatform fakes;
        app::AppContext context{fakes.platform(), {}};
        app::FrmMain form{host, context};
        auto& files = fakes.files;
        files.addFile(kOwnExecutable, "MZ");
        for (const wchar_t* name : {L"a.tmp", L"x.tmp", L"con.tmp"}) {
            files.addFile(std::wstring(kElsewhere) + L"\\" + name, "elsewhere");
        }

        // Two levels of folders; in a case-sensitive one both twins of a name may live.
        Paths folders{L"C:\\Data"};
        files.addFolder(folders[0]);
        for (int i = 0; i < 4; ++i) {
            const std::wstring parent = pick(folders);
            if (chance(0.5)) {
                files.makeCaseSensitive(parent);
            }
            const std::wstring folder = parent + L"\\" + pick(kFolderNames);
            if (!files.exists(folder)) {
                files.addFolder(folder);
                folders.push_back(folder);
            }
        }
        for (const std::wstring& folder : folders) {
            for (const std::wstring& name : kFileNames) {
                if (chance(0.35) && !files.exists(folder + L"\\" + name)) {
                    files.addFile(folder + L"\\" + name, "data");
                }
            }
        }
        std::vector<std::pair<std::wstring, bool>> rows;  // as a scan would list them, ticked
        for (const std::wstring& path : files.allFiles()) {
            if (path.starts_with(kElsewhere)) {
                continue;
            }
            rows.emplace_back(path, chance(0.6));
            if (chance(0.15)) {
                rows.emplace_back(path, chance(0.5));
            }
        }
        std::shuffle(rows.begin(), rows.end(), random);

        form.load();
        auto& c = form.ui();
        for (const auto& [path, ticked] : rows) {
            c.ListFiles.setChecked(c.ListFiles.addRow(path), ticked);
        }
        form.showPage(c.Frame3);
        c.cmdDelete.setEnabled(true);

        // What changed after the scan.
        std::set<std::wstring> locked;
        std::set<std::wstring> underLink;
        for (const auto& [path, ticked] : rows) {
            if (chance(0.08) && files.exists(path)) {
                files.lock(path);
                locked.insert(path);
            } else if (chance(0.05)) {
                (void)files.remove(path);  // gone before the delete
            }
        }
        if (chance(0.25)) {
            const std::wstring folder = pick(folders);
            if (folder != folders[0] && files.exists(folder)) {
                files.replaceByLink(folder, kElsewhere);
                underLink.insert(folder + L"\\");
            }
        }
        if (chance(0.15)) {
            fakes.shell.stopAfter(random() % 3);
        } else if (chance(0.1)) {
            fakes.shell.failEverything();
        } else if (chance(0.15)) {
            fakes.shell.leaveInPlace(rows.empty() ? L"" : rows.front().first);
        }

        // The independent expectation.
        const auto before = snapshot(files);
        const auto reachable = [&](const std::wstring& path) {
            return std::none_of(underLink.begin(), underLink.end(),
                                [&](const std::wstring& link) { return path.starts_with(link); });
        };
        std::set<std::wstring> ticked;
        Paths tickedInOrder;
        bool ownExecutableTicked = false;
        for (const auto& [path, tick] : rows) {
            if (tick && path == kOwnExecutable) {
                ownExecutableTicked = true;
            } else if (tick && ticked.insert(path).second) {
                tickedInOrder.push_back(path);
            }
        }
        Paths expectedDeleted;
        std::set<std::wstring> gone;  // rows of these leave
        std::size_t remaining = 0;
        for (const std::wstring& path : tickedInOrder) {
            const bool there = reachable(path) && before.count(path) != 0;
            const std::wstring name = path.substr(path.rfind(L'\\') + 1);
            if (!there) {
                // Gone before Delete, or under a link now: a look-up never reaches it.
                if (reachable(path)) {
                    gone.insert(path);
                } else {
                    ++remaining;
                }
            } else if (locked.count(path) == 0 && usableName(name)) {
                expectedDeleted.push_back(path);
                gone.insert(path);
            } else {
                ++remaining;
            }
        }

        c.cmdDelete.click();

        // Exactly the expected files went; everything else kept its bytes.
        auto after = snapshot(files);
        std::erase_if(after, [](const auto& file) { return file.first.starts_with(kLogFolder); });
        auto expectedAfter = before;
        for (const std::wstring& path : expectedDeleted) {
            expectedAfter.erase(path);
        }
        EXPECT_EQ(after, expectedAfter);
        // The shell was handed only ticked paths that it reads as themselves.
        for (const std::wstring& removed : fakes.shell.removed()) {
            EXPECT_EQ(ticked.count(removed), 1u) << ::testing::PrintToString(removed);
        }
        for (const auto& call : fakes.shell.deleteCalls()) {
            for (const std::wstring& path : call.paths) {
                EXPECT_EQ(ticked.count(path), 1u) << ::testing::PrintToString(path);
            }
        }

        std::vector<std::pair<std::wstring, bool>> expectedRows;
        for (const auto& row : rows) {
            if (gone.count(row.first) == 0) {
                expectedRows.push_back(row);
            }
        }
        std::vector<std::pair<std::wstring, bool>> actualRows;
        for (std::size_t i = 0; i < c.ListFiles.rowCount(); ++i) {
            actualRows.emplace_back(c.ListFiles.row(i).text, c.ListFiles.row(i).checked);
        }
        EXPECT_EQ(actualRows, expectedRows);

        Paths page;
        for (std::size_t i = 0; i < c.lstFilesDelete.rowCount(); ++i) {
            page.push_back(c.lstFilesDelete.row(i).text);
        }
        EXPECT_EQ(page, expectedDeleted);
        std::vector<platform::FolderEntry> logs;
        (void)files.listFolder(kLogFolder, logs);
        ASSERT_EQ(logs.size(), expectedDeleted.empty() ? 0u : 1u);
        if (!logs.empty()) {
            std::string lines;
            for (const std::wstring& path : expectedDeleted) {
                lines += std::string(path.begin(), path.end()) + "\r\n";
            }
            EXPECT_TRUE(files.contents(std::wstring(kLogFolder) + L"\\" + logs[0].name)
                            ->ends_with("Files Deleted are:\r\n\r\n" + lines));
        }

        Paths messages;
        if (ticked.empty() && !ownExecutableTicked) {
            messages.push_back(L"Please Select At Least One File To Delete");
        }
        if (remaining > 0) {
            messages.push_back(std::to_wstring(remaining) + L" Files Could Not Be Deleted");
        }
        if (ownExecutableTicked) {
            messages.push_back(L"Dustrel.exe Cannot Be Removed");
        }
        EXPECT_EQ(host.messageTexts(), messages);
    }
}

}  // namespace
}  // namespace dustrel::testing
