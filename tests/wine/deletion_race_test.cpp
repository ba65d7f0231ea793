// Delete through the real window on a real tree while the disk changes under it: paths swapped
// from the Linux side in the middle of the run, and a Windows session or a failing handler that
// ends it in the middle.
// The executable is placed in the temporary folder, so that its log folder is there too.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/utf8.h"
#include "support/win32_real_window.h"
#include "support/win32_temp_tree.h"

namespace dustrel::testing {
namespace {

using Lines = std::vector<std::string>;
using platform::toUtf8;

std::string bytesOf(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The paths a log names, one a line after its heading.
Lines loggedPaths(const std::string& log) {
    const std::string heading = "Files Deleted are:\r\n\r\n";
    const std::size_t start = log.find(heading);
    Lines paths;
    if (start == std::string::npos) {
        return paths;
    }
    std::istringstream lines(log.substr(start + heading.size()));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        paths.push_back(line);
    }
    return paths;
}

// How a long list of paths differs from the one expected, in a few words: empty when equal.
std::string howItDiffers(const Lines& actual, const Lines& expected) {
    if (actual == expected) {
        return {};
    }
    std::string text =
        std::to_string(actual.size()) + " lines for " + std::to_string(expected.size());
    const auto [at, _] =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (at != actual.end()) {
        text += ", first unexpected: " + *at;
    }
    return text;
}

// The main window over the real file system and clock, deleting: the window is serviced during
// Delete as it is in the program. Only where the executable lies is made up.
struct RealWindowDeleting {
    explicit RealWindowDeleting(const std::wstring& folder)
        : main(nullptr, &system), logFolder(folder + L"\\log files") {
        system.executable = folder + L"\\Dustrel.exe";
        main.form.showPage(main.ui().Frame3);
    }

    void tick(const std::vector<std::wstring>& paths) {
        auto& list = main.ui().ListFiles;
        for (const std::wstring& path : paths) {
            list.setChecked(list.addRow(path), true);
        }
    }
    void clickDelete() {
        main.ui().cmdDelete.setEnabled(true);
        main.ui().cmdDelete.click();
    }
    Lines page() {
        Lines rows;
        auto& list = main.ui().lstFilesDelete;
        for (std::size_t i = 0; i < list.rowCount(); ++i) {
            rows.push_back(toUtf8(list.row(i).text));
        }
        return rows;
    }
    // The log of this run, or empty while there is none.
    std::wstring logPath() const {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((logFolder + L"\\Dustrel-*.log").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return {};
        }
        FindClose(search);
        return logFolder + L"\\" + found.cFileName;
    }

    FakeSystem system;
    RealMainWindow main;
    const std::wstring logFolder;
};

class DeletionRaceTest : public ::testing::Test {
protected:
    // Links and what a swap left behind go from the Unix side.
    void TearDown() override { (void)runUnix("rm -rf '" + root + "'"); }

    // 20,000 files in 200 folders, in the order of a list.
    std::vector<std::wstring> makeTree() {
        constexpr int kFolders = 200, kPerFolder = 100;
        EXPECT_TRUE(runUnix("set -e\nmkdir '" + root + "/Tree'\ncd '" + root +
                            "/Tree'\nfor d in $(seq -f 'D%03g' 0 " + std::to_string(kFolders - 1) +
                            "); do mkdir $d; seq -f \"$d/f%03g.tmp\" 0 " +
                            std::to_string(kPerFolder - 1) + "; done | xargs touch"));
        std::vector<std::wstring> paths;
        for (int d = 0; d < kFolders; ++d) {
            for (int f = 0; f < kPerFolder; ++f) {
                wchar_t name[32];
                swprintf(name, 32, L"\\Tree\\D%03d\\f%03d.tmp", d, f);
                paths.push_back(root_ + name);
            }
        }
        return paths;
    }
    // The ticked files gone, by the Unix side's listing of what is left.
    Lines goneOf(const std::vector<std::wstring>& ticked) {
        const auto left = runUnix("cd '" + root + "/Tree' && find . -type f | LC_ALL=C sort");
        EXPECT_TRUE(left.has_value());
        std::vector<std::wstring> remaining;
        std::istringstream lines(left.value_or(""));
        for (std::string line; std::getline(lines, line);) {
            // ./D000/f000.tmp
            std::wstring name = root_ + L"\\Tree";
            for (char ch : line.substr(1)) {
                name += ch == '/' ? L'\\' : static_cast<wchar_t>(ch);
            }
            remaining.push_back(name);
        }
        std::sort(remaining.begin(), remaining.end());
        Lines gone;
        for (const std::wstring& path : ticked) {
            if (!std::binary_search(remaining.begin(), remaining.end(), path)) {
                gone.push_back(toUtf8(path));
            }
        }
        return gone;
    }

    const std::wstring root_ = makeTempFolder(L"DustrelRace.");
    const std::string root = unixPath(root_);
};

// 2,000 ticked files in as many folders. Once Delete has removed its first file (inotify tells
// a helper on the Linux side), two of the last paths change: the file of D1997 becomes a folder
// of documents (the file itself moved aside), and the folder D1998 becomes a link to a folder
// outside the tree that holds a file of the same name. Delete takes neither, nor anything else
// that was not ticked, and says so.
TEST_F(DeletionRaceTest, PathsSwappedFromLinuxDuringDeleteTakeNothingUnticked) {
    ASSERT_FALSE(root.empty()) << "this test makes its tree from Wine's Unix side";
    constexpr int kFiles = 2000;
    // Each file holds its folder's name.
    ASSERT_TRUE(runUnix("set -e\ncd '" + root +
                        "'\nmkdir Tree Outside Staging Staging/f.tmp Helper\n"
                        "printf outside > Outside/f.tmp\n"
                        "printf 'inside a' > Staging/f.tmp/a.doc\n"
                        "printf 'inside b' > Staging/f.tmp/b.doc\n"
                        "cd Tree\nseq -f 'D%04g' 0 " +
                        std::to_string(kFiles - 1) +
                        " | xargs mkdir\n"
                        "for d in D*; do printf %s \"$d\" > \"$d/f.tmp\"; done"));
    std::vector<std::wstring> ticked;
    Lines expectedGone;
    for (int i = 0; i < kFiles; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\Tree\\D%04d\\f.tmp", i);
        ticked.push_back(root_ + name);
        if (i != 1997 && i != 1998) {
            expectedGone.push_back(toUtf8(ticked.back()));
        }
    }

    // The helper watches the first folders Delete reaches; it stops by itself after a minute.
    // It reports whether the last ticked file was still there once both swaps were made.
    std::string watched;
    for (int i = 0; i < 10; ++i) {
        watched += " D000" + std::to_string(i);
    }
    // Its own session, with no descriptor of Wine's: nothing waits on it but this test.
    ASSERT_TRUE(runUnix("cd '" + root + "/Tree'\ncat > ../Helper/swap.sh <<'END'\n" +
                        "inotifywait -t 60 -e delete" + watched +
                        " 2> ../Helper/err >/dev/null ||\n"
                        "  { touch ../Helper/done; exit 1; }\n"
                        "mv D1997/f.tmp D1997/aside.tmp && mv ../Staging/f.tmp D1997/f.tmp &&\n"
                        "  mv D1998 ../D1998.aside && ln -s '" +
                        root +
                        "/Outside' D1998 &&\n"
                        "  if [ -e D1999/f.tmp ]; then echo swapped before the last; fi\n"
                        "touch ../Helper/done\nEND\n"
                        "setsid sh ../Helper/swap.sh < /dev/null > ../Helper/out 2>&1 3>&- 4>&- "
                        "5>&- 6>&- 7>&- 8>&- 9>&- &\n"
                        "for i in $(seq 1000); do\n"
                        "  grep -q 'Watches established' ../Helper/err 2>/dev/null && exit 0\n"
                        "  sleep 0.01\ndone\nexit 1"))
        << "inotifywait (inotify-tools) did not start watching";

    RealWindowDeleting window(root_);
    window.tick(ticked);
    window.clickDelete();
    const std::wstring helperDone = root_ + L"\\Helper\\done";
    for (int i = 0; i < 700 && GetFileAttributesW(helperDone.c_str()) == INVALID_FILE_ATTRIBUTES;
         ++i) {
        Sleep(100);
    }
    ASSERT_EQ(bytesOf(root_ + L"\\Helper\\out"), "swapped before the last\n")
        << "the swaps were not made while Delete ran";

    EXPECT_EQ(howItDiffers(window.page(), expectedGone), "") << "on the page";
    EXPECT_EQ(howItDiffers(loggedPaths(bytesOf(window.logPath())), expectedGone), "")
        << "in the log";
    EXPECT_EQ(window.main.boxesShown(), std::vector<std::wstring>{L"2 Files Could Not Be Deleted"});
    auto& left = window.main.ui().ListFiles;
    ASSERT_EQ(left.rowCount(), 2u);
    EXPECT_EQ(left.row(0).text, ticked[1997]);
    EXPECT_EQ(left.row(1).text, ticked[1998]);

    // What is left on disk, with its bytes: nothing but what the tick did not name.
    EXPECT_EQ(runUnix("cd '" + root +
                      "' && find . \\( -path './log files' -o -path ./Helper \\) -prune -o "
                      "-type l -printf '%p -> %l\\n' -o -type f -printf '%p: ' -exec cat {} \\; "
                      "-printf '\\n' | LC_ALL=C sort"),
              "./D1998.aside/f.tmp: D1998\n"
              "./Outside/f.tmp: outside\n"
              "./Tree/D1997/aside.tmp: D1997\n"
              "./Tree/D1997/f.tmp/a.doc: inside a\n"
              "./Tree/D1997/f.tmp/b.doc: inside b\n"
              "./Tree/D1998 -> " +
                  root + "/Outside\n");
}

// Windows ends the session in the middle of a Delete of 20,000 files, and may end the process
// as soon as WM_ENDSESSION has been answered. What the log holds at that moment names every
// file gone, then and afterwards.
TEST_F(DeletionRaceTest, SessionEndingDuringDeleteLeavesEveryGoneFileInTheLog) {
    ASSERT_FALSE(root.empty()) << "this test makes its tree from Wine's Unix side";
    const std::vector<std::wstring> ticked = makeTree();

    RealWindowDeleting window(root_);
    window.tick(ticked);
    const HWND mainWindow = window.main.host.windowOf(window.main.form);
    ASSERT_NE(mainWindow, nullptr);
    // Once the log exists, Delete has begun: the session ends, and the log is read the moment
    // the window has answered WM_ENDSESSION.
    std::atomic<bool> deleting{true}, sessionOver{false};
    LRESULT agreed = FALSE;
    BOOL queryAnswered = FALSE, endAnswered = FALSE;
    std::string logAtEnd;
    std::thread session([&] {
        std::wstring log;
        while (deleting && (log = window.logPath()).empty()) {
            Sleep(1);
        }
        if (log.empty()) {
            sessionOver = true;
            return;
        }
        DWORD_PTR result = 0;
        queryAnswered = SendMessageTimeoutW(mainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                            SMTO_NORMAL, 60000, &result) != 0;
        agreed = static_cast<LRESULT>(result);
        endAnswered = SendMessageTimeoutW(mainWindow, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                          SMTO_NORMAL, 60000, &result) != 0;
        logAtEnd = bytesOf(log);
        sessionOver = true;
    });
    window.clickDelete();
    deleting = false;
    // A message sent after Delete has ended is still answered, so that the thread ends.
    while (!sessionOver) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        Sleep(1);
    }
    session.join();
    ASSERT_TRUE(queryAnswered && endAnswered) << "the session did not end during Delete";
    EXPECT_EQ(agreed, TRUE);
    EXPECT_TRUE(window.main.host.ended());

    const Lines gone = goneOf(ticked);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_GT(gone.size(), 0u);
    EXPECT_LT(gone.size(), ticked.size()) << "Delete ran to its end before the session ended";
    EXPECT_EQ(howItDiffers(loggedPaths(logAtEnd), gone), "") << "in the log";
    EXPECT_TRUE(bytesOf(window.logPath()) == logAtEnd) << "the log changed after the session ended";
}

// A handler run from Delete's look at the queue throws once the first files are gone (a click
// posted from another thread): the failure is told, the program ends, and the log names every
// file gone, and only those.
TEST_F(DeletionRaceTest, FaultDuringDeleteLeavesEveryGoneFileInTheLog) {
    ASSERT_FALSE(root.empty()) << "this test makes its tree from Wine's Unix side";
    const std::vector<std::wstring> ticked = makeTree();
    RealWindowDeleting window(root_);
    window.tick(ticked);
    ui::Button& failing = window.main.ui().cmdExit2;
    failing.onClick = [] { throw std::runtime_error("boom"); };
    failing.setEnabled(true);
    const HWND button = window.main.host.windowOf(failing);
    std::atomic<bool> deleting{true};
    std::thread clicker([&] {
        while (deleting && window.logPath().empty()) {
            Sleep(1);
        }
        // What the button sends its parent on a click, though its page is not in front.
        PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    });
    window.clickDelete();
    deleting = false;
    clicker.join();

    EXPECT_EQ(window.main.boxesShown(),
              std::vector<std::wstring>{L"An unexpected error stopped Dustrel: boom"});
    EXPECT_TRUE(window.main.host.ended());
    const Lines gone = goneOf(ticked);
    EXPECT_GT(gone.size(), 0u);
    EXPECT_LT(gone.size(), ticked.size()) << "Delete ran to its end before the click";
    EXPECT_EQ(howItDiffers(loggedPaths(bytesOf(window.logPath())), gone), "") << "in the log";
}

}  // namespace
}  // namespace dustrel::testing
