#pragma once

#include <windows.h>

#include "platform/win32/win32_handle.h"

// Owners of the GDI and USER objects the program makes, in the pattern of the kernel handles'
// (platform/win32/win32_handle.h), and scopes for the device contexts it borrows. Objects the
// system owns (stock objects, system colour brushes, shared icons and cursors) are never put
// in one.

namespace dustrel::ui::win32 {

using platform::win32::UniqueHandle;

// Fonts, brushes and bitmaps, which must not be selected into a DC when they go.
template <class T>
struct GdiObjectTraits {
    static T empty() { return nullptr; }
    static bool valid(T object) { return object != nullptr; }
    static bool close(T object) { return DeleteObject(object) != FALSE; }
};

// A menu goes with its submenus. A menu set on a window or appended to another belongs to that
// one: its owner lets go of it (release()).
struct MenuTraits {
    static HMENU empty() { return nullptr; }
    static bool valid(HMENU menu) { return menu != nullptr; }
    static bool close(HMENU menu) { return DestroyMenu(menu) != FALSE; }
};

// Icons loaded without LR_SHARED belong to the program.
struct IconTraits {
    static HICON empty() { return nullptr; }
    static bool valid(HICON icon) { return icon != nullptr; }
    static bool close(HICON icon) { return DestroyIcon(icon) != FALSE; }
};

// A DC made by CreateCompatibleDC.
struct MemoryDcTraits {
    static HDC empty() { return nullptr; }
    static bool valid(HDC dc) { return dc != nullptr; }
    static bool close(HDC dc) { return DeleteDC(dc) != FALSE; }
};

using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using MemoryDc = UniqueHandle<HDC, MemoryDcTraits>;

// The DC of a window (of the screen, for null) from GetDC, released to it when it goes.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(hwnd_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    // Null when the window gave none.
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// A window's painting, from BeginPaint to EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    ~PaintDc() {
        if (dc_ != nullptr) {
            EndPaint(hwnd_, &paint_);
        }
    }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    // Null when there is nothing to paint with.
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// An object selected into a DC for as long as this lives; the one it replaced goes back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (old_ != nullptr && old_ != HGDI_ERROR) {
            SelectObject(dc_, old_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A DC's state (its objects, colours and modes), put back as it was when this goes.
class SavedDcState {
public:
    explicit SavedDcState(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~SavedDcState() {
        if (saved_ != 0) {
            RestoreDC(dc_, saved_);
        }
    }
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;

private:
    HDC dc_;
    int saved_;
};

}  // namespace dustrel::ui::win32
