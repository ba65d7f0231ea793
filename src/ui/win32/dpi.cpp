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

// The ...ForDpi functions come with Windows 10 1607, as per-monitor DPI v2 does; before that the
// process is system-aware and every window is at the system DPI, which the plain ones answer for.
int iconSize(bool small, int dpi) {
    using MetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const auto metricsFor = user32Function<MetricsForDpiFn>("GetSystemMetricsForDpi");
    const int index = small ? SM_CXSMICON : SM_CXICON;
    const int size =
        metricsFor != nullptr ? metricsFor(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
    return size > 0 ? size : MulDiv(small ? 16 : 32, dpi, kDefaultDpi);
}

void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustFor = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjustFor == nullptr ||
        !adjustFor(&rect, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&rect, style, menu ? TRUE : FALSE, exStyle);
    }
}

}  // namespace dustrel::ui::win32
