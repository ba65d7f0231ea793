// The tips shown while the pointer rests on a control: one tooltip window per form holds a tool
// for each control whose model has a tip. The list views' rows tip through the list's own info
// tips (owner_data_list_tips.cpp).

#include <windows.h>

#include <commctrl.h>

#include "ui/win32/form_view.h"
#include "ui/win32/win32_host.h"

namespace dustrel::ui::win32 {

namespace {

// Wide enough for a tip's longest line; it also lets "\r\n" break lines, which a tooltip
// without a maximum width shows as they are.
constexpr int kTipWidth = 480;

TOOLINFOW toolFor(HWND owner, HWND control) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

}  // namespace

HWND FormView::tipWindow() {
    if (tips_ == nullptr || !IsWindow(tips_)) {
        // Owned by the form, it goes when the form's window goes.
        tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                host_.instance(), nullptr);
        scaleTips();
    }
    return tips_;
}

void FormView::scaleTips() {
    if (tips_ != nullptr) {
        SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, MulDiv(kTipWidth, dpi_, 96));
    }
}

void FormView::applyToolTip(Child& child) {
    const std::wstring& text = child.control->toolTipText();
    if (text.empty() && tips_ == nullptr) {
        return;
    }
    const HWND tips = tipWindow();
    if (tips == nullptr) {
        return;
    }
    TOOLINFOW tool = toolFor(hwnd_, child.hwnd);
    const bool present = SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
    tool = toolFor(hwnd_, child.hwnd);
    if (text.empty()) {
        if (present) {
            SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        return;
    }
    // The tooltip keeps its own copy; a tip on show changes with it.
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tips, present ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                 reinterpret_cast<LPARAM>(&tool));
}

}  // namespace dustrel::ui::win32
