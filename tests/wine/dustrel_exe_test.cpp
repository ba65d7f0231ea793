// dustrel.exe itself: it starts and shows its main window, refuses a second copy (started
// under its name in capitals, which Windows takes for the same file), and ends cleanly when
// its window is closed.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/win32_temp_tree.h"

namespace dustrel {
namespace {

constexpr const wchar_t* kBox = L"#32770";         // a message box's window class
constexpr const wchar_t* kMain = L"Dustrel v1.0";  // the main window's caption

// A copy of the program, which the test ends if it did not end by itself.
struct RunningProgram {
    explicit RunningProgram(const std::wstring& exe) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + exe + L"\"";
        EXPECT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &info))
            << GetLastError();
    }
    ~RunningProgram() {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 10000);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    // Its visible window of that class and caption (either null for any), null while none.
    HWND find(const wchar_t* windowClass, const wchar_t* caption) const {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, windowClass, caption)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == info.dwProcessId && IsWindowVisible(w)) {
                return w;
            }
        }
        return nullptr;
    }
    // Waits for such a window while the program runs; other message boxes on the way (the
    // update reminder, maybe) are answered No.
    HWND waitFor(const wchar_t* windowClass, const wchar_t* caption) const {
        for (int tries = 0; tries < 300 && WaitForSingleObject(info.hProcess, 100) == WAIT_TIMEOUT;
             ++tries) {
            if (const HWND found = find(windowClass, caption)) {
                return found;
            }
            if (const HWND question = find(kBox, nullptr)) {
                PostMessageW(question, WM_COMMAND, IDNO, 0);
            }
        }
        return nullptr;
    }
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(info.hProcess, 10000);
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }

    PROCESS_INFORMATION info{};
};

TEST(DustrelExeTest, ShowsItsWindowRefusesASecondCopyAndEndsWhenClosed) {
    const wchar_t* exe = _wgetenv(L"DUSTREL_EXE");
    if (exe == nullptr || *exe == L'\0') {
        GTEST_SKIP() << "DUSTREL_EXE names no program to start";
    }
    RunningProgram first(exe);
    const HWND window = first.waitFor(nullptr, kMain);
    ASSERT_NE(window, nullptr) << "no main window";

    // Windows names a module as it was started, and Wine as it is stored: a copy stored so
    // stands for the program started under its name in capitals.
    const std::wstring folder = testing::makeTempFolder(L"DustrelCapitals.");
    const std::wstring capitals = folder + L"\\DUSTREL.EXE";
    EXPECT_TRUE(CopyFileW(exe, capitals.c_str(), TRUE)) << GetLastError();
    {
        RunningProgram second(capitals);
        const HWND box = second.waitFor(kBox, nullptr);
        EXPECT_EQ(second.find(nullptr, kMain), nullptr) << "the second copy showed its window";
        wchar_t caption[64] = {}, text[64] = {};
        GetWindowTextW(box, caption, 64);
        GetDlgItemTextW(box, 0xFFFF, text, 64);
        EXPECT_EQ(std::wstring(caption) + L": " + text, L"Dustrel: Dustrel Is Already Running");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(second.exitCode(), 0u);
    }
    DeleteFileW(capitals.c_str());
    RemoveDirectoryW(folder.c_str());

    // The first copy goes on as before, and ends cleanly when its window is closed.
    EXPECT_TRUE(IsWindowVisible(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.exitCode(), 0u);
}

}  // namespace
}  // namespace dustrel
