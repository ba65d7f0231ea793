#include "ui/win32/form_view.h"

#include "ui/control_order.h"

// Where the keyboard goes: the stacking of the windows (which is also the tab order), the tab
// stops of option groups, which page is shown, where the focus goes when its control goes
// away, and the dialog navigation of the top-level window.

namespace dustrel::ui::win32 {

namespace {

// An edit box is given the focus with its text selected, ready to be typed over, as dialog
// navigation brings it in.
void selectForTyping(HWND hwnd) {
    if ((SendMessageW(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
        SendMessageW(hwnd, EM_SETSEL, 0, -1);
    }
}

}  // namespace

// The window list is what decides both the stacking and where Tab goes next (ui::stackingOrder).
void FormView::arrange(const Container& container) {
    const HWND parent = containerWindow(container);
    if (parent == nullptr) {
        return;
    }
    const std::vector<const Control*> order =
        stackingOrder(withWindows(container), labelsBeforeFields(tabPosition()));
    bool same = true;
    HWND current = GetWindow(parent, GW_CHILD);
    for (const Control* control : order) {
        if (current != find(control)->hwnd) {
            same = false;
            break;
        }
        current = GetWindow(current, GW_HWNDNEXT);
    }
    if (!same) {
        HWND after = HWND_TOP;
        for (const Control* control : order) {
            const HWND hwnd = find(control)->hwnd;
            SetWindowPos(hwnd, after, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
            after = hwnd;
        }
    }

    const std::vector<bool> starts = groupStarts(order);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const HWND hwnd = find(order[i])->hwnd;
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        const LONG wanted = starts[i] ? style | WS_GROUP : style & ~WS_GROUP;
        if (wanted != style) {
            SetWindowLongW(hwnd, GWL_STYLE, wanted);
        }
    }
    updateOptionTabStops(container);
}

void FormView::updateOptionTabStops(const Container& container) {
    const std::vector<const Control*> siblings = withWindows(container);
    const OptionButton* stop = optionTabStop(siblings, tabPosition());
    for (const Control* control : siblings) {
        if (control->kind() != ControlKind::OptionButton) {
            continue;
        }
        const HWND hwnd = find(control)->hwnd;
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        const bool tabStop = control == stop && control->tabStop();
        const LONG wanted = tabStop ? style | WS_TABSTOP : style & ~WS_TABSTOP;
        if (wanted != style) {
            SetWindowLongW(hwnd, GWL_STYLE, wanted);
        }
    }
}

std::vector<const Control*> FormView::withWindows(const Container& container) {
    std::vector<const Control*> controls;
    for (const Control* control : container.children()) {
        const Child* child = find(control);
        if (child != nullptr && child->hwnd != nullptr) {
            controls.push_back(control);
        }
    }
    return controls;
}

TabPosition FormView::tabPosition() {
    return [this](const Control& control) { return find(&control)->creation; };
}

// Only the front page is shown: covered pages are hidden, not just overdrawn, so that neither
// the keyboard nor a screen reader reaches them.
void FormView::updatePages() {
    for (const bool showing : {true, false}) {
        for (Frame* page : form_.pages()) {
            Child* child = find(page);
            if (child != nullptr && shouldShow(*page) == showing) {
                applyVisible(*child);
            }
        }
    }
    focusFrontPage();
    markEnterButton();
}

bool FormView::usableFocus(HWND hwnd) const {
    return hwnd != nullptr && hwnd_ != nullptr && IsChild(hwnd_, hwnd) && IsWindowVisible(hwnd) &&
           IsWindowEnabled(hwnd) && (GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP) != 0;
}

HWND FormView::firstTabStop(HWND within) const {
    if (within == nullptr || !IsWindowVisible(within)) {
        return nullptr;
    }
    const HWND first = GetNextDlgTabItem(within, nullptr, FALSE);
    return usableFocus(first) && (first == within || IsChild(within, first)) ? first : nullptr;
}

// The focused control went away (hidden or disabled): the keyboard goes on from the front
// page's first control (a button that disables itself leaves the user on the page), else from
// the next one, else from the form's first control.
void FormView::rescueFocus(HWND from) {
    if (hwnd_ == nullptr || GetActiveWindow() != hwnd_) {
        return;
    }
    const HWND focus = GetFocus();
    if (focus != nullptr && focus != hwnd_ && find(focus) != nullptr && usableFocus(focus)) {
        return;
    }
    const Frame* front = form_.frontPage();
    const Child* page = front != nullptr ? find(front) : nullptr;
    HWND target = page != nullptr ? firstTabStop(page->hwnd) : nullptr;
    if (!usableFocus(target) && from != nullptr && IsWindowVisible(from)) {
        target = GetNextDlgTabItem(hwnd_, from, FALSE);
    }
    if (!usableFocus(target)) {
        target = firstTabStop(hwnd_);
    }
    if (target != nullptr) {
        SetFocus(target);
    }
}

void FormView::restoreFocus() {
    // What had the focus, or was given it by code, need not be a tab stop (an option button
    // that is not the selected one).
    const HWND target = canFocus(savedFocus_) ? savedFocus_ : firstTabStop(hwnd_);
    if (target != nullptr) {
        SetFocus(target);
    }
}

bool FormView::canFocus(HWND hwnd) const {
    return hwnd != nullptr && hwnd_ != nullptr && IsChild(hwnd_, hwnd) && IsWindowVisible(hwnd) &&
           IsWindowEnabled(hwnd);
}

void FormView::applyFocus(Child& child) {
    const bool active = GetActiveWindow() == hwnd_ && IsWindowVisible(hwnd_) && !IsIconic(hwnd_);
    if (active && !canFocus(child.hwnd)) {
        return;
    }
    selectForTyping(child.hwnd);
    if (active) {
        SetFocus(child.hwnd);
    } else {
        // Setting the focus into a window that is not active would activate it and take the
        // keyboard from wherever the user is; the focus lands here on activation instead.
        savedFocus_ = child.hwnd;
    }
}

bool FormView::handleNavigation(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd_, focus)) {
                    savedFocus_ = focus;
                }
            } else if (HIWORD(wParam) == 0) {
                restoreFocus();
            }
            return true;
        case WM_NEXTDLGCTL: {
            // Dialog navigation asks the window itself to move the focus; DefWindowProc would not.
            HWND target = reinterpret_cast<HWND>(wParam);
            if (LOWORD(lParam) == 0) {
                const HWND focus = GetFocus();
                target =
                    GetNextDlgTabItem(hwnd_, IsChild(hwnd_, focus) ? focus : nullptr, wParam != 0);
            }
            if (usableFocus(target)) {
                selectForTyping(target);
                SetFocus(target);
                markEnterButton();
            }
            return true;
        }
        case DM_GETDEFID: {
            // Enter presses the focused push button, else the shown default one.
            const Child* child = find(enterButton());
            if (child != nullptr) {
                result = MAKELRESULT(child->id, DC_HASDEFID);
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace dustrel::ui::win32
