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

TEST(DustrelExeTest, ShowsItsMainWindowAndEndsWhenItIsClosed) {
    const wchar_t* exe = _wgetenv(L"DUSTREL_EXE");
    if (exe == nullptr || *exe == L'\0') {
        GTEST_SKIP() << "DUSTREL_EXE names no program to start";
    }
    RunningProgram program(exe);
    ASSERT_TRUE(program.started()) << "CreateProcess failed: " << GetLastError();

    // Start-up may ask something first (the update reminder); such a box is answered No.
    ProcessWindows found;
    found.processId = program.id();
    const DWORD deadline = GetTickCount() + 30000;
    while (GetTickCount() < deadline) {
        found.mainWindows.clear();
        found.messageBoxes.clear();
        EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&found));
        for (HWND box : found.messageBoxes) {
            PostMessageW(box, WM_COMMAND, IDNO, 0);
        }
        if (!found.mainWindows.empty() && found.messageBoxes.empty()) {
            break;
        }
        ASSERT_EQ(WaitForSingleObject(program.handle(), 100), WAIT_TIMEOUT)
            << "the program ended before showing its window";
    }
    ASSERT_EQ(found.mainWindows.size(), 1u);
    const HWND window = found.mainWindows.front();

    if (ui::win32::systemDpi() == 96) {
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, 769);
        EXPECT_EQ(client.bottom, 441);
    }

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.handle(), 10000), WAIT_OBJECT_0)
        << "the program did not end after its window was closed";
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(program.handle(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace dustrel
