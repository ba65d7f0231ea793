#include <windows.h>

#include <objbase.h>

#include "app/app_context.h"
#include "app/frm_main.h"
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

        // Start-up is the main window's load step, run as any handler is: it stops where the
        // program ended under it (the tray menu's Exit while the update question waits).
        host.raise(frmMain, [&frmMain] { frmMain.load(); });
        // Start-up may have ended the program (a second copy) or put it into the
        // notification area, which leaves the window minimised and hidden.
        if (!host.ended() && frmMain.loaded() &&
            frmMain.windowState() != dustrel::ui::WindowState::Minimized) {
            frmMain.show();
        }
        exitCode = dustrel::ui::win32::runMessageLoop(host);
    } catch (...) {
        exitCode = 1;
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return exitCode;
}
