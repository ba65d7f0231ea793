#include "ui/win32/form_view.h"

#include "ui/mouse.h"
#include "ui/win32/control_windows.h"
#include "ui/win32/gdi_handles.h"
#include "ui/win32/geometry.h"
#include "ui/win32/win32_host.h"

// The window procedures of the form, its panels and its list views, with the barrier that
// keeps the model's exceptions out of the system's code (a fault is reported and ends the
// program) and counts the procedures running; and the user's input they pass on to the model.

namespace dustrel::ui::win32 {

namespace {

// A notification that the control took the focus, or, for a push button, lost it.
bool tellsFocus(ControlKind kind, UINT code) {
    switch (kind) {
        case ControlKind::Button:
            return code == BN_SETFOCUS || code == BN_KILLFOCUS;
        case ControlKind::TextBox:
            return code == EN_SETFOCUS;
        case ControlKind::ComboBox:
            return code == CBN_SETFOCUS;
        default:
            return false;
    }
}

}  // namespace

LRESULT CALLBACK FormView::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<FormView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        view = static_cast<FormView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    if (view == nullptr) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        view->windowDestroyed(hwnd);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (view->detached_) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    // Nothing thrown by a handler may unwind through the system's code.
    ++view->busy_;
    LRESULT result = 0;
    if (!view->host_.barrier([&] { result = view->handleMessage(hwnd, msg, wParam, lParam); })) {
        result = msg == WM_CLOSE ? 0 : DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    --view->busy_;
    return result;
}

LRESULT CALLBACK FormView::listViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*subclassId*/, DWORD_PTR refData) {
    auto* view = reinterpret_cast<FormView*>(refData);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &FormView::listViewProc, kListSubclassId);
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    Child* child = view->detached_ ? nullptr : view->find(hwnd);
    if (child == nullptr) {
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    ++view->busy_;
    LRESULT result = 0;
    view->host_.barrier([&] {
        bool handled = false;
        if (msg == WM_PAINT) {
            result = listOf(*child).paint(msg, wParam, lParam);
        } else if (msg == WM_SETFOCUS) {
            result = DefSubclassProc(hwnd, msg, wParam, lParam);
            listOf(*child).focusARow();
        } else {
            result = listOf(*child).onInput(msg, wParam, lParam, handled);
            if (!handled) {
                result = DefSubclassProc(hwnd, msg, wParam, lParam);
            }
        }
    });
    --view->busy_;
    return result;
}

LRESULT FormView::handleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd == hwnd_) {
        bool handled = false;
        const LRESULT result = handleFormMessage(msg, wParam, lParam, handled);
        if (handled) {
            return result;
        }
    }
    switch (msg) {
        case WM_COMMAND:
            onCommand(wParam, lParam);
            return 0;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_NOTIFYFORMAT:
            if (lParam == NF_QUERY) {
                return NFR_UNICODE;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (HBRUSH brush =
                    onControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                   msg == WM_CTLCOLORBTN)) {
                return reinterpret_cast<LRESULT>(brush);
            }
            break;
        case WM_ERASEBKGND:
            paintPanel(hwnd, reinterpret_cast<HDC>(wParam), true);
            return 1;
        case WM_PRINTCLIENT:
            paintPanel(hwnd, reinterpret_cast<HDC>(wParam), true);
            paintPanel(hwnd, reinterpret_cast<HDC>(wParam), false);
            return 0;
        case WM_PAINT: {
            const PaintDc paint(hwnd);
            if (paint.get() != nullptr) {
                paintPanel(hwnd, paint.get(), false);
            }
            return 0;
        }
        case WM_SETCURSOR:
            if (onSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) {
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            onMouseDown(hwnd, msg, wParam, lParam);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void FormView::onCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    Child* child = lParam != 0 ? find(reinterpret_cast<HWND>(lParam)) : nullptr;
    if (lParam == 0) {
        if (code == 0) {
            if (MenuItem* item = menus_.find(id)) {
                item->click();
                return;
            }
        }
        // Dialog navigation turns Escape into IDCANCEL.
        if (id == IDCANCEL && form_.closesOnEscape()) {
            SendMessageW(hwnd_, WM_CLOSE, 0, 0);
            return;
        }
        // And Enter, where no button takes it, into IDOK: on a closed drop-down list it
        // chooses the entry shown.
        if (id == IDOK) {
            Child* focused = find(GetFocus());
            if (focused != nullptr && focused->control != nullptr &&
                focused->control->kind() == ControlKind::ComboBox) {
                userChoice(*focused, true);
            }
            return;
        }
        // Enter on a push button inside a frame names the button by id only.
        const int index = static_cast<int>(id) - kFirstControlId;
        if (index >= 0 && static_cast<std::size_t>(index) < children_.size() &&
            code == BN_CLICKED) {
            child = &children_[static_cast<std::size_t>(index)];
        }
    }
    if (child == nullptr || child->control == nullptr) {
        return;
    }
    Control& control = *child->control;
    if (tellsFocus(control.kind(), code)) {
        focusMayHaveMoved();
    }
    switch (control.kind()) {
        case ControlKind::Button:
            if (code == BN_CLICKED) {
                static_cast<Button&>(control).click();
            }
            break;
        case ControlKind::CheckBox:
            if (code == BN_CLICKED) {
                static_cast<CheckBox&>(control).userClick();
                if (!detached_) {
                    applyValue(*child);  // the model may have refused the click
                }
            }
            break;
        case ControlKind::OptionButton:
            if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
                static_cast<OptionButton&>(control).userClick();
                if (!detached_) {
                    applyValue(*child);
                }
            }
            break;
        case ControlKind::ComboBox:
            onComboCommand(*child, code);
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE && !child->settingText) {
                static_cast<TextBox&>(control).userEdit(windowText(child->hwnd));
                if (!detached_) {
                    applyText(*child);  // a text cut to the maximum length
                }
            }
            break;
        case ControlKind::Label:
            if (code == STN_CLICKED) {
                static_cast<Label&>(control).click();
            }
            break;
        default:
            break;
    }
}

// The arrow keys, the wheel and typing on the closed list move its selection, and the list
// says so (CBN_SELCHANGE, often with CBN_SELENDOK) at every step: those entries are only passed
// over. The user chooses by picking an entry from the open list, by Enter, or by leaving it.
void FormView::onComboCommand(Child& child, UINT code) {
    switch (code) {
        case CBN_SELCHANGE:
            userChoice(child, false);
            break;
        case CBN_DROPDOWN:
        case CBN_SELENDCANCEL:
            child.picked = false;
            break;
        case CBN_SELENDOK:
            child.picked = true;
            break;
        case CBN_CLOSEUP:
            PostMessageW(hwnd_, kSettleChoiceMessage, static_cast<WPARAM>(child.id), 0);
            break;
        case CBN_KILLFOCUS:
            userChoice(child, true);
            break;
        default:
            break;
    }
}

void FormView::userChoice(Child& child, bool settled) {
    const auto selected = static_cast<int>(SendMessageW(child.hwnd, CB_GETCURSEL, 0, 0));
    auto& box = static_cast<ComboBox&>(*child.control);
    box.userBrowse(selected);
    if (settled) {
        child.picked = false;
        box.userSettle();  // may unload the form
    }
    if (!detached_ && box.listIndex() != selected) {
        // The model refused the move.
        SendMessageW(child.hwnd, CB_SETCURSEL, static_cast<WPARAM>(box.listIndex()), 0);
    }
}

LRESULT FormView::onNotify(NMHDR& header) {
    Child* child = find(header.hwndFrom);
    if (child == nullptr || child->control == nullptr ||
        child->control->kind() != ControlKind::ListView) {
        return 0;
    }
    if (header.code == NM_SETFOCUS) {
        focusMayHaveMoved();
    }
    return listOf(*child).onNotify(header);
}

bool FormView::onSetCursor(HWND under, UINT hitTest) {
    if (hitTest != HTCLIENT) {
        return false;
    }
    const wchar_t* cursor = nullptr;
    if (form_.mousePointer() == MousePointer::Hourglass) {
        cursor = IDC_WAIT;
    } else if (form_.mousePointer() == MousePointer::Hand) {
        cursor = IDC_HAND;
    } else if (const Child* child = find(under);
               child != nullptr && child->control != nullptr &&
               child->control->kind() == ControlKind::Label &&
               static_cast<const Label&>(*child->control).mousePointer() == MousePointer::Hand) {
        cursor = IDC_HAND;
    }
    if (cursor == nullptr) {
        return false;
    }
    SetCursor(LoadCursorW(nullptr, cursor));
    return true;
}

// A mouse button pressed on a picture box: its MouseDown handler gets the position in twips.
void FormView::onMouseDown(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam) {
    const Child* child = find(panel);
    if (child == nullptr || child->control == nullptr ||
        child->control->kind() != ControlKind::PictureBox) {
        return;
    }
    const PressedButton pressed = msg == WM_LBUTTONDOWN   ? PressedButton::Left
                                  : msg == WM_RBUTTONDOWN ? PressedButton::Right
                                                          : PressedButton::Middle;
    const HeldKeys held{(wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0,
                        GetKeyState(VK_MENU) < 0};
    const auto [button, shift] = mouseDownButtons(pressed, held);
    // In the window's own DPI, which on another monitor is not the system's.
    const double twips = static_cast<double>(kTwipsPerInch) / dpi_;
    static_cast<PictureBox&>(*child->control)
        .mouseDown(button, shift, LOWORD(lParam) * twips, HIWORD(lParam) * twips);
}

}  // namespace dustrel::ui::win32
