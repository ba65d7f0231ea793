#include "support/win32_real_window.h"

namespace dustrel::testing {

namespace {

// The window whose thread the hook runs on; one at a time.
RealMainWindow* current = nullptr;

}  // namespace

RealMainWindow::RealMainWindow(platform::Clock* clock, platform::System* system)
    : context{platform::Platform{real.files, fakes.shell, fakes.registry,
                                 system != nullptr ? *system : real.system,
                                 clock != nullptr ? *clock : real.clock, fakes.locale},
              {}},
      form{host, context} {
    current = this;
    hook_ = SetWindowsHookExW(WH_CBT, answerBox, nullptr, GetCurrentThreadId());
    host.raise(form, [this] { form.load(); });
    form.show();
}

RealMainWindow::~RealMainWindow() {
    UnhookWindowsHookEx(hook_);
    current = nullptr;
    if (form.loaded()) {
        form.unload();
    }
}

LRESULT CALLBACK RealMainWindow::answerBox(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    wchar_t name[16] = {}, text[256] = {};
    if (code == HCBT_ACTIVATE && current != nullptr && GetClassNameW(box, name, 16) &&
        std::wstring(name) == L"#32770") {
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        current->boxesShown_.push_back(text);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace dustrel::testing
