#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "ui/types.h"
#include "ui/win32/gdi_handles.h"

namespace dustrel::ui::win32 {

// GDI objects shared by every window of the program, made once and freed with the host, after
// the windows that use them.
class GdiCache {
public:
    explicit GdiCache(HINSTANCE instance) : instance_(instance) {}
    GdiCache(const GdiCache&) = delete;
    GdiCache& operator=(const GdiCache&) = delete;

    HFONT font(const Font& font, int dpi);
    HBRUSH brush(Color color);
    // The program's icon, `size` pixels square.
    HICON appIcon(int size);
    // The side panel picture; null when the executable carries none.
    HBITMAP sidePanel();

private:
    HINSTANCE instance_;
    std::map<std::tuple<std::wstring, long long, bool, bool, int>, UniqueFont> fonts_;
    std::map<COLORREF, UniqueBrush> brushes_;
    std::map<int, UniqueIcon> icons_;
    UniqueBitmap sidePanel_;
    bool sidePanelLoaded_ = false;
};

inline COLORREF toColorRef(Color c) {
    return RGB(c.r, c.g, c.b);
}

}  // namespace dustrel::ui::win32
