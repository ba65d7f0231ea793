#include <windows.h>

#include <objbase.h>

#include <exception>

#include "app/app_context.h"
#include "app/frm_main.h"
#include "platform/program_info.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_host.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    // The shell's file operations and ShellExecute need a single-threaded apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int exitCode = 0;
    try {
        dustrel::platform::win32::Win32Platform platform;
        // The host outlives the forms: their unloading still reaches it.
        dustrel::ui::win32::Win32Host host(instance);
        dustrel::app::AppContext context{platform.platform(), {}};
        dustrel::app::FrmMain frmMain(host, context);

        try {
            // Start-up is the main window's load step, run as any handler is: it stops where
            // the program ended under it (the tray menu's Exit while the update question waits).
            host.raise(frmMain, [&frmMain] { frmMain.load(); });
            // Start-up may have ended the program (a second copy) or put it into the
            // notification area, which leaves the window minimised and hidden.
            if (!host.ended() && frmMain.loaded() &&
                frmMain.windowState() != dustrel::ui::WindowState::Minimized) {
                frmMain.show();
            }
            exitCode = dustrel::ui::win32::runMessageLoop(host);
        } catch (...) {
            // Thrown between two messages (bringing a window up to date): the windows are
            // still there to be told and closed.
            host.fault(std::current_exception());
            exitCode = host.faulted() ? dustrel::ui::win32::kFaultExitCode : 0;
        }
    } catch (...) {
        // No window to speak for the program yet, or none left.
        MessageBoxW(nullptr, dustrel::ui::faultMessage(std::current_exception()).c_str(),
                    dustrel::platform::kProgramTitle, MB_OK | MB_ICONSTOP);
        exitCode = dustrel::ui::win32::kFaultExitCode;
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return exitCode;
}
