#include "ui/win32/form_view.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

#include "ui/win32/control_windows.h"
#include "ui/win32/dpi.h"
#include "ui/win32/gdi_handles.h"
#include "ui/win32/geometry.h"
#include "ui/win32/win32_host.h"

// Painting: the backgrounds of the form and its panels, the group boxes and pictures that
// panels draw, and the colours of labels (the links among them) and buttons.

namespace dustrel::ui::win32 {

namespace {

// Where a group box's caption starts along its top border, and the room kept clear of the
// border line on either side of the text, at 96 DPI.
constexpr int kGroupCaptionIndentPixels = 8;
constexpr int kGroupCaptionGapPixels = 2;

// Painted by the panel rather than made a BS_GROUPBOX window: the frame's controls keep their
// places in its client area, and no extra sibling lies over the page frames.
void paintGroupBox(HDC dc, const RECT& client, const Frame& frame, HFONT font, HBRUSH background,
                   int dpi) {
    const SavedDcState saved(dc);
    SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);

    // The top border runs through the middle of the caption's line.
    RECT border = client;
    border.top = std::min(static_cast<LONG>(metrics.tmHeight / 2), client.bottom);
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

    const std::wstring& caption = frame.caption();
    const int length = static_cast<int>(std::min<std::size_t>(caption.size(), INT_MAX));
    const int indent = MulDiv(kGroupCaptionIndentPixels, dpi, kDefaultDpi);
    const int gap = MulDiv(kGroupCaptionGapPixels, dpi, kDefaultDpi);
    const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP;
    RECT text{client.left + indent, client.top, client.right - indent,
              client.top + metrics.tmHeight};
    DrawTextW(dc, caption.c_str(), length, &text, format | DT_CALCRECT);
    text.right = std::min(text.right, client.right - indent);
    if (text.right > text.left) {
        RECT behind{text.left - gap, text.top, text.right + gap, text.bottom};
        FillRect(dc, &behind, background);
        const auto fore = frame.foreColor();
        SetTextColor(dc, !frame.enabled() ? GetSysColor(COLOR_GRAYTEXT)
                         : fore           ? toColorRef(*fore)
                                          : GetSysColor(COLOR_BTNTEXT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, caption.c_str(), length, &text, format | DT_END_ELLIPSIS);
    }
}

void paintPicture(HDC dc, const RECT& client, Image image, GdiCache& gdi, int dpi) {
    if (image == Image::AppIcon) {
        const int size = iconSize(false, dpi);
        DrawIconEx(dc, (client.right - size) / 2, (client.bottom - size) / 2, gdi.appIcon(size),
                   size, size, 0, nullptr, DI_NORMAL);
        return;
    }
    HBITMAP bitmap = image == Image::SidePanel ? gdi.sidePanel() : nullptr;
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 ||
        info.bmHeight <= 0) {
        return;
    }
    // Fitted into the box whole, centred, keeping its proportions.
    const double scale = std::min(static_cast<double>(client.right) / info.bmWidth,
                                  static_cast<double>(client.bottom) / info.bmHeight);
    const int width = rounded(info.bmWidth * scale);
    const int height = rounded(info.bmHeight * scale);
    const MemoryDc memory(CreateCompatibleDC(dc));
    if (!memory.valid()) {
        return;
    }
    const SelectedObject selected(memory.get(), bitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, (client.right - width) / 2, (client.bottom - height) / 2, width, height,
               memory.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
}

}  // namespace

HBRUSH FormView::backgroundBrush(const Container& container) {
    std::optional<Color> color;
    if (&container == &form_) {
        color = form_.backColor();
    } else if (const auto* frame = dynamic_cast<const Frame*>(&container)) {
        color = frame->backColor();
    } else if (const auto* picture = dynamic_cast<const PictureBox*>(&container)) {
        color = picture->backColor();
    }
    return color ? host_.gdi().brush(*color) : GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH FormView::panelBrush(HWND panel) {
    if (panel == hwnd_) {
        return backgroundBrush(form_);
    }
    const Child* child = find(panel);
    if (child == nullptr || child->control == nullptr) {
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    return backgroundBrush(*dynamic_cast<const Container*>(child->control));
}

HBRUSH FormView::onControlColor(HDC dc, HWND control, bool button) {
    const Child* child = find(control);
    if (child == nullptr || child->control == nullptr) {
        return nullptr;
    }
    const Control& target = *child->control;
    if (button) {
        // The corners around a themed push button show its container.
        return target.kind() == ControlKind::Button ? backgroundBrush(target.parent()) : nullptr;
    }
    if (target.kind() != ControlKind::Label) {
        return nullptr;
    }
    const auto& label = static_cast<const Label&>(target);
    const auto fore = label.foreColor();
    SetTextColor(dc, fore ? toColorRef(*fore) : GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    // The label fills itself with this brush before drawing, so a changed caption never
    // leaves the old text behind.
    return label.transparent() ? backgroundBrush(label.parent()) : GetSysColorBrush(COLOR_BTNFACE);
}

void FormView::paintPanel(HWND panel, HDC dc, bool background) {
    RECT client{};
    GetClientRect(panel, &client);
    if (background) {
        FillRect(dc, &client, panelBrush(panel));
        return;
    }
    const Child* child = find(panel);
    if (child == nullptr || child->control == nullptr) {
        return;
    }
    if (isGroupBox(*child->control)) {
        const auto& frame = static_cast<const Frame&>(*child->control);
        paintGroupBox(dc, client, frame, host_.gdi().font(frame.captionFont(), dpi_),
                      panelBrush(panel), dpi_);
        return;
    }
    if (child->control->kind() == ControlKind::PictureBox) {
        paintPicture(dc, client, static_cast<const PictureBox&>(*child->control).image(),
                     host_.gdi(), dpi_);
    }
}

}  // namespace dustrel::ui::win32
