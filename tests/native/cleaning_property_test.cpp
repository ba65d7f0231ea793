#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/frm_main.h"
#include "platform/path_text.h"
#include "support/fake_platform.h"
#include "support/test_host.h"

namespace dustrel::testing {
namespace {

using Paths = std::vector<std::wstring>;

constexpr const wchar_t* kOwnExecutable = L"C:\\Program Files\\Dustrel\\Dustrel.exe";

std::wstring keyOf(const std::wstring& path) {
    return platform::upperCase(path);
}

// One run of the program on fakes, on the results page of a scan.
struct World {
    TestHost host;
    FakePlatform fakes;
    app::AppContext context{fakes.platform(), {}};
    app::FrmMain form{host, context};
};

struct Row {
    std::wstring text;
    bool checked = false;
};

// Random trees, rows (some files twice, in either case), ticks and shell faults: whatever the
// shell does, a file nobody ticked survives, and each row's fate follows its file.
TEST(CleaningPropertyTest, EveryRowFollowsItsFileAndUntickedFilesSurvive) {
    const Paths folders{L"C:\\Temp", L"C:\\Temp\\Sub", L"C:\\Docs", L"C:\\Windows\\Logs"};
    const Paths names{L"a.tmp", L"B.TMP", L"c.log", L"d.bak", L"~e.tmp", L"f.gid"};
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto chance = [&random](double p) { return std::bernoulli_distribution(p)(random); };

        World world;
        world.form.load();
        auto& c = world.form.ui();
        auto& files = world.fakes.files;
        files.addFile(kOwnExecutable);

        Paths tree;
        for (const auto& folder : folders) {
            for (const auto& name : names) {
                if (chance(0.4)) {
                    tree.push_back(folder + L"\\" + name);
                    files.addFile(tree.back());
                }
            }
        }
        std::vector<Row> before;
        for (const auto& path : tree) {
            before.push_back({path, chance(0.5)});
            if (chance(0.2)) {
                before.push_back({chance(0.5) ? keyOf(path) : path, chance(0.5)});
            }
        }
        if (chance(0.2)) {
            before.push_back({kOwnExecutable, true});
        }
        std::shuffle(before.begin(), before.end(), random);

        std::set<std::wstring> tickedKeys;
        for (const Row& row : before) {
            if (row.checked) {
                tickedKeys.insert(keyOf(row.text));
            }
        }
        for (const auto& path : tree) {
            if (tickedKeys.count(keyOf(path)) == 0) {
                continue;
            }
            if (chance(0.1)) {
                files.lock(path);
            } else if (chance(0.1)) {
                world.fakes.shell.leaveInPlace(path);
            } else if (chance(0.05)) {
                files.remove(path);  // deleted by someone else since the scan
            }
        }
        if (chance(0.1)) {
            world.fakes.shell.stopAfter(random() % 4);
        } else if (chance(0.03)) {
            world.fakes.shell.failEverything();
        }

        for (const Row& row : before) {
            c.ListFiles.setChecked(c.ListFiles.addRow(row.text), row.checked);
        }
        world.form.showPage(c.Frame3);
        world.form.cmdDelete_Click();

        // Nothing unticked was handed to the shell, and nothing twice.
        for (const auto& call : world.fakes.shell.deleteCalls()) {
            std::set<std::wstring> handed;
            for (const auto& path : call.paths) {
                EXPECT_TRUE(handed.insert(keyOf(path)).second) << ::testing::PrintToString(path);
                EXPECT_EQ(tickedKeys.count(keyOf(path)), 1u);
                EXPECT_NE(keyOf(path), keyOf(kOwnExecutable));
            }
        }
        EXPECT_TRUE(files.exists(kOwnExecutable));
        for (const auto& path : tree) {
            if (tickedKeys.count(keyOf(path)) == 0) {
                EXPECT_TRUE(files.exists(path));
            }
        }

        // The rows left are those of files still there, in order, ticks unchanged.
        std::vector<Row> expected;
        Paths deleted;
        std::set<std::wstring> deletedKeys;  // named once, as its first ticked row names it
        std::size_t remaining = 0;
        std::set<std::wstring> counted;
        for (const Row& row : before) {
            if (files.exists(row.text)) {
                expected.push_back(row);
                if (row.checked && keyOf(row.text) != keyOf(kOwnExecutable) &&
                    counted.insert(keyOf(row.text)).second) {
                    ++remaining;
                }
            } else if (row.checked && deletedKeys.insert(keyOf(row.text)).second) {
                deleted.push_back(row.text);
            }
        }
        ASSERT_EQ(c.ListFiles.rowCount(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(c.ListFiles.row(i).text, expected[i].text);
            EXPECT_EQ(c.ListFiles.row(i).checked, expected[i].checked);
        }

        Paths page;
        for (std::size_t i = 0; i < c.lstFilesDelete.rowCount(); ++i) {
            page.push_back(c.lstFilesDelete.row(i).text);
        }
        EXPECT_EQ(page, deleted);
        const std::wstring logFolder = L"C:\\Program Files\\Dustrel\\log files";
        std::vector<platform::FolderEntry> logs;
        files.listFolder(logFolder, logs);
        EXPECT_EQ(logs.size(), deleted.empty() ? 0u : 1u);
        if (!logs.empty()) {
            const std::string log = *files.contents(logFolder + L"\\" + logs[0].name);
            std::string lines;
            for (const auto& path : deleted) {
                lines += std::string(path.begin(), path.end()) + "\r\n";
            }
            EXPECT_TRUE(log.ends_with("Files Deleted are:\r\n\r\n" + lines));
        }

        Paths messages;
        if (tickedKeys.empty()) {
            messages.push_back(L"Please Select At Least One File To Delete");
        } else {
            if (remaining > 0) {
                messages.push_back(std::to_wstring(remaining) + L" Files Could Not Be Deleted");
            }
            if (tickedKeys.count(keyOf(kOwnExecutable)) != 0) {
                messages.push_back(L"Dustrel.exe Cannot Be Removed");
            }
        }
        EXPECT_EQ(world.host.messageTexts(), messages);
    }
}

}  // namespace
}  // namespace dustrel::testing
