// dustrel.exe itself: it starts, shows its main window at the designed size, and ends cleanly
// when that window is closed.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ui/win32/dpi.h"

namespace dustrel {
namespace {

struct ProcessWindows {
    DWORD processId = 0;
    std::vector<HWND> mainWindows;  // visible, captioned "Dustrel v1.0"
    std::vector<HWND> messageBoxes;
};

std::wstring captionOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM param) {
    auto& found = *reinterpret_cast<ProcessWindows*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != found.processId || !IsWindowVisible(hwnd)) {
        return TRUE;
    }
    wchar_t windowClass[64] = {};
    GetClassNameW(hwnd, windowClass, 64);
    if (std::wstring(windowClass) == L"#32770") {
        found.messageBoxes.push_back(hwnd);
    } else if (captionOf(hwnd) == L"Dustrel v1.0") {
        found.mainWindows.push_back(hwnd);
    }
    return TRUE;
}

class RunningProgram {
public:
    explicit RunningProgram(const std::wstring& exe) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + exe + L"\"";
        started_ = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, nullptr, &startup, &info_) != FALSE;
    }
    ~RunningProgram() {
        if (!started_) {
            return;
        }
        // A program that did not end by itself is not left running after the test.
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return started_; }
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

const wchar_t* programPath() {
    const wchar_t* exe = _wgetenv(L"DUSTREL_EXE");
    return exe != nullptr && *exe != L'\0' ? exe : nullptr;
}

ProcessWindows windowsOf(const RunningProgram& program) {
    ProcessWindows found;
    found.processId = program.id();
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Waits for the program's main window. Start-up may ask something first (the update reminder);
// such a box is answered No.
HWND waitForMainWindow(const RunningProgram& program) {
    const DWORD deadline = GetTickCount() + 30000;
    while (GetTickCount() < deadline) {
        const ProcessWindows found = windowsOf(program);
        for (HWND box : found.messageBoxes) {
            PostMessageW(box, WM_COMMAND, IDNO, 0);
        }
        if (found.mainWindows.size() == 1 && found.messageBoxes.empty()) {
            return found.mainWindows.front();
        }
        if (WaitForSingleObject(program.handle(), 100) != WAIT_TIMEOUT) {
            return nullptr;
        }
    }
    return nullptr;
}

DWORD waitForExit(const RunningProgram& program, DWORD milliseconds) {
    if (WaitForSingleObject(program.handle(), milliseconds) != WAIT_OBJECT_0) {
        return STILL_ACTIVE;
    }
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(program.handle(), &exitCode);
    return exitCode;
}

TEST(DustrelExeTest, ShowsItsMainWindowAndEndsWhenItIsClosed) {
    const wchar_t* exe = programPath();
    if (exe == nullptr) {
        GTEST_SKIP() << "DUSTREL_EXE names no program to start";
    }
    RunningProgram program(exe);
    ASSERT_TRUE(program.started()) << "CreateProcess failed: " << GetLastError();
    const HWND window = waitForMainWindow(program);
    ASSERT_NE(window, nullptr) << "no main window";

    if (ui::win32::systemDpi() == 96) {
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, 769);
        EXPECT_EQ(client.bottom, 441);
    }

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(waitForExit(program, 10000), 0u)
        << "the program did not end cleanly after its window was closed";
}

TEST(DustrelExeTest, ASecondCopySaysSoAndEndsWithoutItsWindow) {
    const wchar_t* exe = programPath();
    if (exe == nullptr) {
        GTEST_SKIP() << "DUSTREL_EXE names no program to start";
    }
    RunningProgram first(exe);
    ASSERT_TRUE(first.started());
    const HWND window = waitForMainWindow(first);
    ASSERT_NE(window, nullptr);

    RunningProgram second(exe);
    ASSERT_TRUE(second.started());
    HWND box = nullptr;
    const DWORD deadline = GetTickCount() + 30000;
    while (box == nullptr && GetTickCount() < deadline) {
        const ProcessWindows found = windowsOf(second);
        EXPECT_TRUE(found.mainWindows.empty());
        if (!found.messageBoxes.empty()) {
            box = found.messageBoxes.front();
        } else {
            ASSERT_EQ(WaitForSingleObject(second.handle(), 100), WAIT_TIMEOUT)
                << "the second copy ended without a word";
        }
    }
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(captionOf(box), L"Dustrel");
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    EXPECT_EQ(std::wstring(text), L"Dustrel Is Already Running");

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(waitForExit(second, 10000), 0u);
    // The first copy goes on as before.
    EXPECT_EQ(WaitForSingleObject(first.handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(IsWindowVisible(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(waitForExit(first, 10000), 0u);
}

}  // namespace
}  // namespace dustrel
