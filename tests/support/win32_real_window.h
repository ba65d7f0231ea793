#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "app/frm_main.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_platform.h"
#include "ui/win32/win32_host.h"

namespace dustrel::testing {

// The message boxes this thread shows while it lives, answered with `answer` as they show. The
// text of each is kept; of the last, also its caption, text and buttons, its owner and its icon.
class MessageBoxes {
public:
    MessageBoxes() : hook_(SetWindowsHookExW(WH_CBT, onShow, nullptr, GetCurrentThreadId())) {
        current_ = this;
    }
    ~MessageBoxes() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;

    int answer = IDOK;
    std::vector<std::wstring> texts;
    std::wstring look;
    HWND owner = nullptr;
    HICON icon = nullptr;

private:
    static LRESULT CALLBACK onShow(int code, WPARAM wParam, LPARAM lParam) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {}, caption[64] = {}, text[256] = {};
        if (code == HCBT_ACTIVATE && current_ != nullptr && GetClassNameW(box, name, 16) &&
            std::wstring(name) == L"#32770") {
            MessageBoxes& me = *current_;
            GetWindowTextW(box, caption, 64);
            GetDlgItemTextW(box, 0xFFFF, text, 256);
            me.texts.push_back(text);
            me.look = caption + (L": " + me.texts.back());
            for (auto [id, button] :
                 {std::pair{IDOK, L" [OK]"}, {IDYES, L" [Yes]"}, {IDNO, L" [No]"}}) {
                me.look += GetDlgItem(box, id) != nullptr ? button : L"";
            }
            me.owner = GetWindow(box, GW_OWNER);
            me.icon = nullptr;
            for (HWND w = GetWindow(box, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
                const LONG style = GetWindowLongW(w, GWL_STYLE);
                if ((style & (SS_TYPEMASK | WS_VISIBLE)) == (SS_ICON | WS_VISIBLE)) {
                    me.icon = reinterpret_cast<HICON>(SendMessageW(w, STM_GETICON, 0, 0));
                }
            }
            PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(me.answer), 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    // The boxes' thread runs one watcher at a time.
    static inline MessageBoxes* current_ = nullptr;
    HHOOK hook_;
};

// The main window, loaded and shown in real windows over the real file system, with the shell,
// registry and locale faked, and the real clock and system unless others are given.
class RealMainWindow {
public:
    explicit RealMainWindow(platform::Clock* clock = nullptr, platform::System* system = nullptr)
        : context{platform::Platform{real.files, fakes.shell, fakes.registry,
                                     system != nullptr ? *system : real.system,
                                     clock != nullptr ? *clock : real.clock, fakes.locale},
                  {}},
          form{host, context} {
        host.raise(form, [this] { form.load(); });
        form.show();
    }
    ~RealMainWindow() {
        if (form.loaded()) {
            form.unload();
        }
    }
    RealMainWindow(const RealMainWindow&) = delete;
    RealMainWindow& operator=(const RealMainWindow&) = delete;

    app::FrmMainControls& ui() { return form.ui(); }

    MessageBoxes boxes;
    platform::win32::Win32Platform real;
    FakePlatform fakes;
    ui::win32::Win32Host host;
    app::AppContext context;
    app::FrmMain form;
};

}  // namespace dustrel::testing
