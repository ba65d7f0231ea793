#include "ui/win32/form_view.h"

#include <algorithm>

// What keyboard and screen-reader users need beyond the controls' own behaviour: the focus
// going to the page that comes to the front, the button Enter presses drawn as the default, and
// the accessibility events the standard controls cannot raise for the model's changes.

namespace dustrel::ui::win32 {

void FormView::focusFrontPage() {
    const Frame* front = form_.frontPage();
    if (front == frontPage_) {
        return;
    }
    frontPage_ = front;
    const Child* page = front != nullptr ? find(front) : nullptr;
    // A hidden window has nothing to give the focus to: it goes where it should on activation.
    const HWND target = page != nullptr ? firstTabStop(page->hwnd) : nullptr;
    if (target == nullptr) {
        return;
    }
    if (GetActiveWindow() == hwnd_) {
        SetFocus(target);
    } else {
        savedFocus_ = target;
    }
}

const Button* FormView::enterButton() {
    const Child* focused = find(GetFocus());
    return ui::enterButton(form_, focused != nullptr ? focused->control : nullptr);
}

void FormView::markEnterButton() {
    if (detached_ || hwnd_ == nullptr) {
        return;
    }
    const Button* enter = enterButton();
    for (const Child& child : children_) {
        if (child.hwnd == nullptr || child.control == nullptr ||
            child.control->kind() != ControlKind::Button) {
            continue;
        }
        const auto style = static_cast<DWORD>(GetWindowLongW(child.hwnd, GWL_STYLE));
        const DWORD type = child.control == enter ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((style & BS_TYPEMASK) != type) {
            // The other style bits of the low word (BS_NOTIFY) are kept.
            SendMessageW(child.hwnd, BM_SETSTYLE, (style & 0xFFFF & ~BS_TYPEMASK) | type, TRUE);
        }
    }
}

void FormView::focusMayHaveMoved() {
    // The notifications come while the focus is still on its way (a kill before its set).
    PostMessageW(hwnd_, kFocusMovedMessage, 0, 0);
}

void FormView::announceChecks(Child& child, const std::vector<std::size_t>& rows) {
    const auto shown = static_cast<std::size_t>(std::max(ListView_GetCountPerPage(child.hwnd), 0));
    if (rows.size() > shown) {
        NotifyWinEvent(EVENT_OBJECT_REORDER, child.hwnd, OBJID_CLIENT, CHILDID_SELF);
        return;
    }
    // A list view's rows are its client's children, counted from 1.
    for (const std::size_t row : rows) {
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, child.hwnd, OBJID_CLIENT,
                       static_cast<LONG>(row + 1));
    }
}

void FormView::announceName(Child& child) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, child.hwnd, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace dustrel::ui::win32
