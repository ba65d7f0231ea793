#pragma once

#include <windows.h>

namespace dustrel::ui::win32 {

// Declares the process DPI-aware when its manifest has not already done so.
void ensureDpiAware();
// The DPI of the system (the primary monitor for a system-aware process).
int systemDpi();
// The DPI of the monitor the window is on, where the system can tell; the system DPI otherwise.
int dpiForWindow(HWND hwnd);
// An icon's side in pixels at `dpi`: the system's large or small icon size.
int iconSize(bool small, int dpi);
// AdjustWindowRectEx for a window at `dpi`: its caption and borders are that monitor's.
void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);

}  // namespace dustrel::ui::win32
