#include "ui/win32/control_windows.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "ui/controls.h"
#include "ui/list_view.h"

namespace dustrel::ui::win32 {

namespace {

// In the order of ControlKind.
constexpr WindowKind kWindowKinds[] = {
    // The panel paints its group box itself; the caption names it to screen readers. Tab and
    // arrow navigation go through the panel into its controls.
    {ControlKind::Frame, kPanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, true},
    // SS_NOTIFY makes the label a target for the mouse: clicks and its own pointer.
    {ControlKind::Label, WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0, false},
    // BS_NOTIFY: the button says when it takes and loses the focus, which moves the default.
    {ControlKind::Button, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0, false},
    // Not an automatic box: the model owns the value and the view mirrors it.
    {ControlKind::CheckBox, WC_BUTTONW, WS_TABSTOP | BS_3STATE, 0, false},
    {ControlKind::OptionButton, WC_BUTTONW, BS_RADIOBUTTON, 0, false},
    {ControlKind::ComboBox, WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, false},
    {ControlKind::TextBox, WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, false},
    {ControlKind::PictureBox, kPanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, true},
    {ControlKind::ProgressBar, PROGRESS_CLASSW, 0, 0, false},
    // Owner data: the list reads its rows from the model, however many there are.
    {ControlKind::ListView, WC_LISTVIEWW,
     WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE, false},
};

constexpr bool inKindOrder() {
    for (std::size_t i = 0; i < std::size(kWindowKinds); ++i) {
        if (static_cast<std::size_t>(kWindowKinds[i].kind) != i) {
            return false;
        }
    }
    return std::size(kWindowKinds) == static_cast<std::size_t>(ControlKind::ListView) + 1;
}
static_assert(inKindOrder(), "one entry per ControlKind, in its order");

}  // namespace

const WindowKind& windowKind(ControlKind kind) {
    return kWindowKinds[static_cast<std::size_t>(kind)];
}

const std::wstring* captionOf(const Control& control) {
    switch (control.kind()) {
        case ControlKind::Frame:
            return &static_cast<const Frame&>(control).caption();
        case ControlKind::Label:
            return &static_cast<const Label&>(control).caption();
        case ControlKind::Button:
            return &static_cast<const Button&>(control).caption();
        case ControlKind::CheckBox:
            return &static_cast<const CheckBox&>(control).caption();
        case ControlKind::OptionButton:
            return &static_cast<const OptionButton&>(control).caption();
        default:
            return nullptr;
    }
}

bool isGroupBox(const Control& control) {
    return control.kind() == ControlKind::Frame &&
           !static_cast<const Frame&>(control).caption().empty();
}

std::wstring windowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

}  // namespace dustrel::ui::win32
