#include "ui/win32/dpi.h"

#include "ui/win32/gdi_handles.h"
#include "ui/win32/geometry.h"

namespace dustrel::ui::win32 {

namespace {

// Functions newer than the oldest Windows the program runs on are looked up, not linked.
template <class Fn>
Fn user32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

}  // namespace

void ensureDpiAware() {
    using IsAwareFn = BOOL(WINAPI*)();
    using SetAwareFn = BOOL(WINAPI*)();
    static const auto isAware = user32Function<IsAwareFn>("IsProcessDPIAware");
    static const auto setAware = user32Function<SetAwareFn>("SetProcessDPIAware");
    if (isAware != nullptr && setAware != nullptr && !isAware()) {
        setAware();
    }
}

int systemDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : kDefaultDpi;
}

int dpiForWindow(HWND hwnd) {
    using DpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto dpiFor = user32Function<DpiForWindowFn>("GetDpiForWindow");
    if (dpiFor != nullptr && hwnd != nullptr) {
        const UINT dpi = dpiFor(hwnd);
        if (dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    return systemDpi();
}

}  // namespace dustrel::ui::win32
