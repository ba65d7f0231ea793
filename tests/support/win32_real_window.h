#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_platform.h"
#include "ui/win32/win32_host.h"

namespace dustrel::testing {

// The main window, loaded and shown in real windows over the real file system, with the shell,
// registry and locale faked, and the real clock and system unless others are given. Its message
// boxes are answered with OK as they show, and their texts kept.
class RealMainWindow {
public:
    explicit RealMainWindow(platform::Clock* clock = nullptr, platform::System* system = nullptr)
        : context{platform::Platform{real.files, fakes.shell, fakes.registry,
                                     system != nullptr ? *system : real.system,
                                     clock != nullptr ? *clock : real.clock, fakes.locale},
                  {}},
          form{host, context} {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, answerBox, nullptr, GetCurrentThreadId());
        host.raise(form, [this] { form.load(); });
        form.show();
    }
    ~RealMainWindow() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
        if (form.loaded()) {
            form.unload();
        }
    }
    RealMainWindow(const RealMainWindow&) = delete;
    RealMainWindow& operator=(const RealMainWindow&) = delete;

    app::FrmMainControls& ui() { return form.ui(); }

    platform::win32::Win32Platform real;
    FakePlatform fakes;
    ui::win32::Win32Host host;
    app::AppContext context;
    app::FrmMain form;
    std::vector<std::wstring> boxesShown;

private:
    static LRESULT CALLBACK answerBox(int code, WPARAM wParam, LPARAM lParam) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {}, text[256] = {};
        if (code == HCBT_ACTIVATE && current_ != nullptr && GetClassNameW(box, name, 16) &&
            std::wstring(name) == L"#32770") {
            GetDlgItemTextW(box, 0xFFFF, text, 256);
            current_->boxesShown.push_back(text);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    // The window whose thread the hook runs on; one at a time.
    static inline RealMainWindow* current_ = nullptr;
    HHOOK hook_ = nullptr;
};

}  // namespace dustrel::testing
