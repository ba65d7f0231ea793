#pragma once

#include <windows.h>

namespace dustrel::ui::win32 {

// Declares the process DPI-aware when its manifest has not already done so.
void ensureDpiAware();
// The DPI of the system (the primary monitor for a system-aware process).
int systemDpi();
// The DPI of the monitor the window is on, where the system can tell; the system DPI otherwise.
int dpiForWindow(HWND hwnd);

}  // namespace dustrel::ui::win32
