// A handler that throws, raised by a real click: one message box says so, the windows go and
// the message loop ends with the code of a failure.

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/win32_real_window.h"

namespace dustrel::testing {
namespace {

// What a button sends its parent when the user clicks it, whether its page is in front or not.
void clicked(HWND button, bool wait) {
    const WPARAM command = MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED);
    const auto from = reinterpret_cast<LPARAM>(button);
    if (wait) {
        SendMessageW(GetParent(button), WM_COMMAND, command, from);
    } else {
        PostMessageW(GetParent(button), WM_COMMAND, command, from);
    }
}

TEST(FaultReportTest, AHandlerThatThrowsIsReportedOnceAndEndsTheProgram) {
    RealMainWindow main;
    ui::Button& exit = *main.ui().cmdExit[0];
    ui::Button& exit2 = main.ui().cmdExit2;
    exit.onClick = [] { throw std::runtime_error("boom"); };
    exit2.onClick = [] { throw 42; };
    exit2.setEnabled(true);
    const HWND window = main.host.windowOf(main.form);
    // Waiting while the box is up: no handler runs any more.
    clicked(main.host.windowOf(exit2), false);
    clicked(main.host.windowOf(exit), true);

    EXPECT_EQ(main.boxesShown,
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
