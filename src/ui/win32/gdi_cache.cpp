#include "ui/win32/gdi_cache.h"

#include <cmath>
#include <utility>

#include "resource_ids.h"
#include "ui/win32/geometry.h"

namespace dustrel::ui::win32 {

HFONT GdiCache::font(const Font& font, int dpi) {
    const auto key =
        std::make_tuple(font.name, std::llround(font.points * 100), font.bold, font.underline, dpi);
    if (const auto it = fonts_.find(key); it != fonts_.end()) {
        return it->second.get();
    }
    UniqueFont made(CreateFontW(
        fontHeight(font.points, dpi), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
        font.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.name.c_str()));
    if (!made.valid()) {
        // Stock objects are not cached: they must never be deleted.
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }
    return fonts_.emplace(key, std::move(made)).first->second.get();
}

HBRUSH GdiCache::brush(Color color) {
    const COLORREF ref = toColorRef(color);
    if (const auto it = brushes_.find(ref); it != brushes_.end()) {
        return it->second.get();
    }
    UniqueBrush made(CreateSolidBrush(ref));
    if (!made.valid()) {
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    return brushes_.emplace(ref, std::move(made)).first->second.get();
}

HICON GdiCache::appIcon(int size) {
    auto it = icons_.find(size);
    if (it == icons_.end()) {
        // Loaded without LR_SHARED: the icons are the program's to destroy. LoadImage picks the
        // resource's image nearest the size, so each DPI gets its own drawing, not a stretch.
        it = icons_
                 .emplace(size,
                          UniqueIcon(static_cast<HICON>(LoadImageW(
                              instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0))))
                 .first;
    }
    HICON icon = it->second.get();
    // A build without the icon resource (the view's tests) still needs something to show.
    return icon != nullptr ? icon : LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
}

HBITMAP GdiCache::sidePanel() {
    if (!sidePanelLoaded_) {
        sidePanelLoaded_ = true;
        sidePanel_ = UniqueBitmap(static_cast<HBITMAP>(LoadImageW(
            instance_, MAKEINTRESOURCEW(IDB_SIDE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
    return sidePanel_.get();
}

}  // namespace dustrel::ui::win32
