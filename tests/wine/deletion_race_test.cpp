// Delete through the real window on real trees made from the Linux side: names and links the
// Win32 functions cannot make, paths swapped in the middle of the run, and a Windows session or a
// failing handler that ends it in the middle. The executable is placed in the tree, so that its log
// folder is there too.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/path_text.h"
#include "platform/utf8.h"
#include "support/win32_real_window.h"
#include "support/win32_temp_tree.h"

namespace dustrel::testing {
namespace {

using Lines = std::vector<std::string>;
using platform::toUtf8;

Lines linesOf(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// The main window over the real file system and clock, deleting: the window is serviced during
// Delete as it is in the program. Only where the executable lies is made up.
class DeletingOnDiskTest : public ::testing::Test {
protected:
    DeletingOnDiskTest() {
        system.executable = root_ + L"\\Dustrel.exe";
        main.form.showPage(main.ui().Frame3);
    }
    void SetUp() override { ASSERT_FALSE(root.empty()) << "the tree is made from the Unix side"; }
    // Links and what a swap left behind go from the Unix side.
    void TearDown() override { (void)runUnix("rm -rf '" + root + "'"); }

    void tick(const std::wstring& path, bool ticked = true) {
        main.ui().ListFiles.setChecked(main.ui().ListFiles.addRow(path), ticked);
    }
    void clickDelete() {
        main.ui().cmdDelete.setEnabled(true);
        main.ui().cmdDelete.click();
    }
    static Lines rows(const ui::ListView& list) {
        Lines texts;
        for (std::size_t i = 0; i < list.rowCount(); ++i) {
            texts.push_back(toUtf8(list.row(i).text));
        }
        return texts;
    }
    // The log of this run, or empty while there is none.
    std::wstring logPath() const {
        std::error_code none;
        for (const auto& log : std::filesystem::directory_iterator(root_ + L"\\log files", none)) {
            return log.path().wstring();
        }
        return {};
    }
    // The paths the log names, one a line after its heading.
    Lines logged() const {
        const std::string log = bytesOf(logPath()), heading = "Files Deleted are:\r\n\r\n";
        const std::size_t start = log.find(heading);
        return start == std::string::npos ? Lines{} : linesOf(log.substr(start + heading.size()));
    }
    const std::wstring root_ = makeTempFolder(L"DustrelDelete.");
    const std::string root = unixPath(root_);
    FakeSystem system;
    RealMainWindow main{nullptr, &system};
};

// What only a real disk shows of Delete (the contract tests show names the Win32 functions
// refuse, held files and links): twins by a trailing dot and by letter case, a path past 248
// characters, names beyond the code page and beyond U+FFFF, and read-only files, also where only
// an exact path reaches them. Then 2,000 ticked files in as many folders: once Delete has removed
// the first of them (inotify tells a helper on the Linux side), two of the last paths change: the
// file of D1997 becomes a folder of documents (the file itself moved aside), and the folder D1998
// becomes a link to a folder outside the tree that holds a file of the same name. Delete takes
// neither, nor anything else that was not ticked, and says so.
TEST_F(DeletingOnDiskTest, DeletesExactlyTheTickedFilesWhilePathsAreSwappedFromLinux) {
    // Its dotted twin has a full path of 252 characters.
    const std::wstring deep(252 - root_.size() - 8, L'd');
    // Each file, and whether it is ticked (2: and read-only).
    std::vector<std::pair<std::wstring, int>> files{
        // clang-format off
        {L"dot\\x.tmp", 0},     {L"dot.\\x.tmp", 1},     {L"dot.\\only.tmp", 2},
        {deep + L"\\x.tmp", 0}, {deep + L".\\x.tmp", 2}, {L"Plain\\1.tmp", 2},
        {L"Plain\\2.tmp", 0},   {L"Twins\\A.tmp", 0},    {L"Twins\\a.tmp", 1},
        {L"\u65e5\u672c\\\u03a9.tmp", 1}, {L"\U0001F600.tmp", 1}, {L"Outside\\f.tmp", 0},
        {L"Staging\\f.tmp\\a.doc", 0},    {L"Staging\\f.tmp\\b.doc", 0},
        // clang-format on
    };
    for (int i = 0; i < 2000; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"Tree\\D%04d\\f.tmp", i);
        files.emplace_back(name, 1);
    }
    // Made from the Unix side, each file holding its own name.
    std::string folders, made;
    Lines gone, notGone, left{"./Tree/D1998 -> " + root + "/Outside"};
    for (const auto& [name, ticked] : files) {
        std::string unix = toUtf8(name);
        std::replace(unix.begin(), unix.end(), '\\', '/');
        folders += " '" + unix.substr(0, unix.rfind('/') + 1) + ".'";
        made += "printf %s '" + toUtf8(name) + "' > '" + unix + "'\n";
        const bool swapped = name.starts_with(L"Tree\\D1997") || name.starts_with(L"Tree\\D1998");
        tick(root_ + L"\\" + name, ticked != 0);
        (ticked != 0 && !swapped ? gone : notGone).push_back(toUtf8(root_ + L"\\" + name));
        if (ticked == 0 || swapped) {
            left.push_back(toUtf8(name));
        }
    }
    // The helper watches the first folders Delete reaches in the tree, in a session of its own
    // with no descriptor of Wine's, and stops by itself after a minute. It reports whether the
    // last ticked file was still there once both swaps were made.
    ASSERT_TRUE(
        runUnix("set -e\ncd '" + root + "'\nmkdir -p" + folders + "\n" + made +
                "mkdir Helper\ncd Tree\ncat > ../Helper/swap.sh <<'END'\n"
                "inotifywait -t 60 -e delete $(seq -f D%04g 0 9) 2> ../Helper/err >/dev/null ||\n"
                "  { touch ../Helper/done; exit 1; }\n"
                "mv D1997/f.tmp D1997/aside.tmp && mv ../Staging/f.tmp D1997/f.tmp &&\n"
                "  mv D1998 ../D1998.aside && ln -s '" +
                root +
                "/Outside' D1998 &&\n"
                "  if [ -e D1999/f.tmp ]; then echo swapped before the last; fi\n"
                "touch ../Helper/done\nEND\n"
                "setsid sh ../Helper/swap.sh < /dev/null > ../Helper/out 2>&1 3>&- 4>&- 5>&- "
                "6>&- 7>&- 8>&- 9>&- &\n"
                "for i in $(seq 1000); do\n"
                "  grep -q 'Watches established' ../Helper/err 2>/dev/null && exit 0\n"
                "  sleep 0.01\ndone\nexit 1"))
        << "no tree, or inotifywait (inotify-tools) did not start watching";
    for (const auto& [name, ticked] : files) {
        ASSERT_TRUE(ticked != 2 ||
                    SetFileAttributesW(platform::exactPathForm(root_ + L"\\" + name).c_str(),
                                       FILE_ATTRIBUTE_READONLY));
    }
    clickDelete();
    const std::wstring helperDone = root_ + L"\\Helper\\done";
    for (int i = 0; i < 700 && GetFileAttributesW(helperDone.c_str()) == INVALID_FILE_ATTRIBUTES;
         ++i) {
        Sleep(100);
    }
    ASSERT_EQ(bytesOf(root_ + L"\\Helper\\out"), "swapped before the last\n")
        << "the swaps were not made while Delete ran";

    // Full lists of 2,000 lines would drown a failure's message.
    EXPECT_TRUE(rows(main.ui().lstFilesDelete) == gone) << "on the page";
    EXPECT_TRUE(logged() == gone) << "in the log";
    EXPECT_EQ(main.boxes.texts, std::vector<std::wstring>{L"2 Files Could Not Be Deleted"});
    EXPECT_EQ(rows(main.ui().ListFiles), notGone);
    std::sort(left.begin(), left.end());
    // Every file left but the log and the helper's, by its bytes, and every link.
    EXPECT_EQ(linesOf(runUnix("cd '" + root +
                              "' && find . \\( -path './log files' -o -path ./Helper \\) -prune -o "
                              "-type l -printf '%p -> %l\\n' -o -type f -exec cat {} \\; -printf "
                              "'\\n' | LC_ALL=C sort")
                          .value_or("(not listed)")),
              left);
}

// The program ends in the middle of a Delete of 20,000 files: `end` runs on another thread once
// the log exists, and may be followed at once by the end of the process. The log names every
// file gone, and only those; `logAtEnd` is what it held when `end` returned.
class EndingDuringDeleteTest : public DeletingOnDiskTest {
protected:
    bool endDuringDelete(const std::function<bool()>& end) {
        if (!runUnix("set -e\nmkdir '" + root + "/Tree'\ncd '" + root +
                     "/Tree'\nfor d in $(seq -f 'D%03g' 0 199); do mkdir $d; "
                     "seq -f \"$d/f%03g.tmp\" 0 99; done | xargs touch")) {
            return false;
        }
        std::vector<std::wstring> ticked;
        for (int i = 0; i < 20000; ++i) {
            wchar_t name[32];
            swprintf(name, 32, L"\\Tree\\D%03d\\f%03d.tmp", i / 100, i % 100);
            ticked.push_back(root_ + name);
            tick(ticked.back());
        }
        std::atomic<bool> deleting{true}, over{false};
        bool ended = false;
        std::thread other([&] {
            std::wstring log;
            while (deleting && (log = logPath()).empty()) {
                Sleep(1);
            }
            ended = !log.empty() && end();
            logAtEnd = bytesOf(log);
            over = true;
        });
        clickDelete();
        deleting = false;
        // A message sent after Delete has ended is still answered, so that the thread ends.
        while (!over) {
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
            Sleep(1);
        }
        other.join();
        EXPECT_TRUE(main.host.ended());
        Lines gone;
        for (const std::wstring& path : ticked) {
            if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
                gone.push_back(toUtf8(path));
            }
        }
        EXPECT_TRUE(!gone.empty() && gone.size() < ticked.size())
            << gone.size() << " gone: Delete did nothing, or ran to its end first";
        EXPECT_TRUE(logged() == gone) << "in the log";
        return ended;
    }
    std::string logAtEnd;
};

// Windows may end the process as soon as WM_ENDSESSION has been answered: the log is complete
// by then.
TEST_F(EndingDuringDeleteTest, SessionEndingLeavesEveryGoneFileInTheLog) {
    const HWND window = main.host.windowOf(main.form);
    DWORD_PTR agreed = FALSE, ignored = 0;
    ASSERT_TRUE(endDuringDelete([&] {
        return SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                   60000, &agreed) != 0 &&
               SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                   60000, &ignored) != 0;
    })) << "the session did not end during Delete";
    EXPECT_EQ(agreed, static_cast<DWORD_PTR>(TRUE));
    EXPECT_TRUE(bytesOf(logPath()) == logAtEnd) << "the log changed after the session ended";
}

// A handler run from Delete's look at the queue throws (a click posted from another thread, as
// the button sends it, though its page is not in front): one message box says so, and no handler
// runs any more, not even a second failing one waiting in the queue behind the first. The windows
// go and the message loop ends with the code of a failure.
TEST_F(EndingDuringDeleteTest, FaultIsReportedOnceAndLeavesEveryGoneFileInTheLog) {
    ui::Button& exit = *main.ui().cmdExit[0];
    ui::Button& exit2 = main.ui().cmdExit2;
    exit2.onClick = [] { throw std::runtime_error("boom"); };
    exit.onClick = [] { throw 42; };
    std::vector<HWND> buttons;
    for (ui::Button* button : {&exit2, &exit}) {
        button->setEnabled(true);
        buttons.push_back(main.host.windowOf(*button));
    }
    const HWND window = main.host.windowOf(main.form);
    ASSERT_TRUE(endDuringDelete([&] {
        bool posted = true;
        for (const HWND w : buttons) {
            posted = PostMessageW(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), BN_CLICKED),
                                  reinterpret_cast<LPARAM>(w)) &&
                     posted;
        }
        return posted;
    }));
    EXPECT_EQ(main.boxes.texts,
              std::vector<std::wstring>{L"An unexpected error stopped Dustrel: boom"});
    EXPECT_FALSE(main.form.loaded());
    EXPECT_TRUE(main.fakes.shell.opened().empty()) << "no thank-you page after a failure";
    EXPECT_EQ(ui::win32::runMessageLoop(main.host), ui::win32::kFaultExitCode);
    MSG msg{};
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    main.host.idle();
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace dustrel::testing
