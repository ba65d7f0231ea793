#pragma once

#include <windows.h>

#include <string>

#include "ui/control.h"

namespace dustrel::ui::win32 {

// The window class of frames and picture boxes: panels of the view's own, which paint
// themselves and hand their messages to the view.
inline constexpr wchar_t kPanelClass[] = L"DustrelPanel";

// How a control of one kind is made as a window.
struct WindowKind {
    ControlKind kind;
    const wchar_t* windowClass;
    // Beside WS_CHILD | WS_CLIPSIBLINGS; WS_TABSTOP is dropped for controls out of the tab order.
    DWORD style;
    DWORD exStyle;
    // A panel of the view's own: the view is handed to it on creation.
    bool panel;
};

const WindowKind& windowKind(ControlKind kind);

// The caption of a control that has one, which its window is made with and shows; else null.
const std::wstring* captionOf(const Control& control);

// A frame with a caption, which its panel draws as a group box.
bool isGroupBox(const Control& control);

std::wstring windowText(HWND hwnd);

}  // namespace dustrel::ui::win32
