// dustrel.exe itself: it starts, shows its main window at the designed size, refuses a second
// copy, and ends cleanly when its window is closed.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ui/win32/dpi.h"

namespace dustrel {
namespace {

std::wstring textOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

// The visible window of `process` that is a message box (or is not), null while there is none.
struct Search {
    DWORD process;
    bool box;
    HWND found = nullptr;
};
BOOL CALLBACK findWindow(HWND hwnd, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    wchar_t windowClass[16] = {};
    GetWindowThreadProcessId(hwnd, &owner);
    GetClassNameW(hwnd, windowClass, 16);
    if (owner == search.process && IsWindowVisible(hwnd) &&
        (std::wstring(windowClass) == L"#32770") == search.box &&
        (search.box || textOf(hwnd) == L"Dustrel v1.0")) {
        search.found = hwnd;
    }
    return search.found == nullptr;
}

class RunningProgram {
public:
    explicit RunningProgram(const wchar_t* exe) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + std::wstring(exe) + L"\"";
        started_ = CreateProcessW(exe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &info_) != FALSE;
    }
    // A program that did not end by itself is not left running after the test.
    ~RunningProgram() {
        if (started_) {
            TerminateProcess(info_.hProcess, 1);
            CloseHandle(info_.hThread);
            CloseHandle(info_.hProcess);
        }
    }
    bool started() const { return started_; }
    HWND find(bool box) const {
        Search search{info_.dwProcessId, box};
        EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // Waits for the main window, or a message box; a box asked for none is answered No.
    HWND waitFor(bool box) const {
        for (DWORD deadline = GetTickCount() + 30000; GetTickCount() < deadline;) {
            if (HWND found = find(box)) {
                return found;
            }
            if (HWND question = find(true); !box && question != nullptr) {
                PostMessageW(question, WM_COMMAND, IDNO, 0);  // the update reminder, maybe
            }
            if (WaitForSingleObject(info_.hProcess, 100) != WAIT_TIMEOUT) {
                return nullptr;
            }
        }
        return nullptr;
    }
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(info_.hProcess, 10000);
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

TEST(DustrelExeTest, ShowsItsWindowRefusesASecondCopyAndEndsWhenClosed) {
    const wchar_t* exe = _wgetenv(L"DUSTREL_EXE");
    if (exe == nullptr || *exe == L'\0') {
        GTEST_SKIP() << "DUSTREL_EXE names no program to start";
    }
    RunningProgram first(exe);
    ASSERT_TRUE(first.started()) << "CreateProcess failed: " << GetLastError();
    const HWND window = first.waitFor(false);
    ASSERT_NE(window, nullptr) << "no main window";
    if (ui::win32::systemDpi() == 96) {
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, 769);
        EXPECT_EQ(client.bottom, 441);
    }

    RunningProgram second(exe);
    const HWND box = second.waitFor(true);
    ASSERT_NE(box, nullptr) << "the second copy ended without a word";
    EXPECT_EQ(second.find(false), nullptr) << "the second copy showed its window";
    EXPECT_EQ(textOf(box), L"Dustrel");
    EXPECT_EQ(textOf(GetDlgItem(box, 0xFFFF)), L"Dustrel Is Already Running");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.exitCode(), 0u);

    // The first copy goes on as before, and ends cleanly when its window is closed.
    EXPECT_TRUE(IsWindowVisible(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.exitCode(), 0u);
}

}  // namespace
}  // namespace dustrel
