#include "ui/win32/form_view.h"

#include <algorithm>
#include <climits>
#include <string>

#include "ui/update_pace.h"
#include "ui/win32/control_windows.h"
#include "ui/win32/geometry.h"
#include "ui/win32/win32_host.h"

// The model's changes to its controls, written to their windows: most at once, and those that
// come faster than the eye can follow (captions of labels, the progress bar, a list's rows) held
// back and paced by ui/update_pace.h.

namespace dustrel::ui::win32 {

namespace {

// Room for the drop-down list of a combo box below its closed height, at 96 DPI.
constexpr int kDropDownPixels = 160;

}  // namespace

void FormView::changed(Control& control, Prop what, std::size_t index) {
    if (detached_) {
        return;
    }
    Child* child = find(&control);
    if (child == nullptr) {
        // A control made after the form loaded.
        child = &createChild(control);
        arrange(control.parent());
        applyVisible(*child);
    }
    if (child->hwnd == nullptr) {
        return;
    }
    switch (what) {
        case Prop::Caption:
            applyCaption(*child);
            break;
        case Prop::Enabled: {
            const HWND focus = GetFocus();
            const bool hadFocus = focus == child->hwnd || IsChild(child->hwnd, focus);
            EnableWindow(child->hwnd, control.enabled());
            if (isGroupBox(control)) {
                InvalidateRect(child->hwnd, nullptr, FALSE);  // the caption greys
            }
            if (hadFocus && !control.enabled()) {
                rescueFocus(child->hwnd);
            }
            break;
        }
        case Prop::Visible:
            if (isPage(control)) {
                updatePages();
            } else {
                applyVisible(*child);
            }
            break;
        case Prop::Rect:
            applyRect(*child);
            arrange(control.parent());
            break;
        case Prop::Font:
            applyFonts();
            break;
        case Prop::Colors:
        case Prop::Image:
            applyColors(*child);
            break;
        case Prop::ZOrder:
            arrange(control.parent());
            if (isPage(control)) {
                updatePages();
            }
            break;
        case Prop::Value:
            applyValue(*child);
            break;
        case Prop::Range:
            hold(*child, kHoldProgress);
            break;
        case Prop::ToolTipText:
            applyToolTip(*child);
            break;
        case Prop::Items:
            applyItems(*child);
            break;
        case Prop::ListIndex:
            SendMessageW(child->hwnd, CB_SETCURSEL,
                         static_cast<WPARAM>(static_cast<ComboBox&>(control).listIndex()), 0);
            break;
        case Prop::Text:
            applyText(*child);
            break;
        case Prop::Focus:
            applyFocus(*child);
            break;
        case Prop::MousePointer:
            applyPointerNow();
            break;
        case Prop::Columns:
            applyColumns(*child);
            break;
        case Prop::Rows:
            hold(*child, kHoldRows);
            break;
        case Prop::RowsAppended:
            hold(*child, kHoldAppend);
            break;
        case Prop::Row:
            if ((child->pending & kHoldRows) == 0) {
                listOf(*child).redrawRow(index);
            }
            announceChecks(*child, {index});
            break;
        case Prop::Checks:
            // Shown at once, so that a listener asking after the rows finds them.
            child->pending |= kHoldRows;
            applyPending(*child);
            announceChecks(*child, static_cast<ListView&>(control).changedChecks());
            break;
        case Prop::Default:
            markEnterButton();
            break;
        case Prop::Announce:
            if ((child->pending & kHoldCaption) != 0) {
                applyPending(*child);  // announces with the caption
            } else {
                announceName(*child);
            }
            break;
        default:
            break;
    }
}

void FormView::applyRect(Child& child) {
    const PixelRect r = toPixels(child.control->rect(), dpi_);
    int height = r.height;
    if (child.control->kind() == ControlKind::ComboBox) {
        // A drop-down list's window height is its open height; the closed one follows the font.
        height += MulDiv(kDropDownPixels, dpi_, kDefaultDpi);
    }
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (isGroupBox(*child.control)) {
        flags |= SWP_NOCOPYBITS;  // the border moves with the edges: all of it is drawn again
    }
    SetWindowPos(child.hwnd, nullptr, r.left, r.top, r.width, height, flags);
}

void FormView::applyFonts() {
    for (Child& each : children_) {
        applyFont(each);
    }
}

void FormView::applyFont(Child& child) {
    if (child.hwnd == nullptr || child.control->kind() == ControlKind::PictureBox) {
        return;
    }
    if (child.control->kind() == ControlKind::Frame) {
        if (isGroupBox(*child.control)) {
            InvalidateRect(child.hwnd, nullptr, TRUE);  // the caption is painted in it
        }
        return;
    }
    HFONT font = host_.gdi().font(child.control->font(), dpi_);
    SendMessageW(child.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void FormView::applyVisible(Child& child) {
    if (child.hwnd == nullptr) {
        return;
    }
    const bool show = shouldShow(*child.control);
    const bool shown = (GetWindowLongW(child.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (show == shown) {
        return;
    }
    const HWND focus = GetFocus();
    const bool hadFocus = focus == child.hwnd || IsChild(child.hwnd, focus);
    ShowWindow(child.hwnd, show ? SW_SHOWNA : SW_HIDE);
    if (hadFocus && !show) {
        rescueFocus(nullptr);
    }
}

void FormView::applyCaption(Child& child) {
    const ControlKind kind = child.control->kind();
    if (kind == ControlKind::Label) {
        hold(child, kHoldCaption);
        return;
    }
    const std::wstring* caption = captionOf(*child.control);
    if (caption == nullptr) {
        return;
    }
    SetWindowTextW(child.hwnd, caption->c_str());
    if (kind == ControlKind::Frame) {
        InvalidateRect(child.hwnd, nullptr, TRUE);
    }
}

void FormView::applyValue(Child& child) {
    Control& control = *child.control;
    switch (control.kind()) {
        case ControlKind::CheckBox: {
            const int value = static_cast<CheckBox&>(control).value();
            const WPARAM state = value == CheckBox::Checked  ? BST_CHECKED
                                 : value == CheckBox::Grayed ? BST_INDETERMINATE
                                                             : BST_UNCHECKED;
            SendMessageW(child.hwnd, BM_SETCHECK, state, 0);
            break;
        }
        case ControlKind::OptionButton:
            SendMessageW(child.hwnd, BM_SETCHECK,
                         static_cast<OptionButton&>(control).value() ? BST_CHECKED : BST_UNCHECKED,
                         0);
            updateOptionTabStops(control.parent());
            break;
        case ControlKind::ProgressBar:
            hold(child, kHoldProgress);
            break;
        default:
            break;
    }
}

void FormView::applyItems(Child& child) {
    const auto& box = static_cast<const ComboBox&>(*child.control);
    SendMessageW(child.hwnd, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& item : box.items()) {
        SendMessageW(child.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageW(child.hwnd, CB_SETCURSEL, static_cast<WPARAM>(box.listIndex()), 0);
}

void FormView::applyText(Child& child) {
    const auto& box = static_cast<const TextBox&>(*child.control);
    SendMessageW(child.hwnd, EM_LIMITTEXT, static_cast<WPARAM>(std::max(box.maxLength(), 0)), 0);
    if (windowText(child.hwnd) == box.text()) {
        return;
    }
    // The edit control reports our own change back as EN_CHANGE; that echo is not the user's.
    child.settingText = true;
    SetWindowTextW(child.hwnd, box.text().c_str());
    child.settingText = false;
}

void FormView::applyColors(Child& child) {
    if (child.control->kind() == ControlKind::ListView) {
        listOf(child).applyColors();
    }
    RedrawWindow(child.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormView::applyColumns(Child& child) {
    listOf(child).applyColumns(dpi_);
}

// --- held back ------------------------------------------------------------------------------

void FormView::hold(Child& child, unsigned what) {
    child.pending |= what;
}

bool FormView::applyIfDue(Child& child, DWORD now) {
    if (child.pending == 0 || !dueAgain(child.lastApplied, now, holdFor(child, now))) {
        return false;
    }
    applyPending(child);
    return true;
}

std::uint32_t FormView::holdFor(Child& child, DWORD now) {
    if (child.pending != kHoldAppend || child.hwnd == nullptr ||
        !dueAgain(child.lastApplied, now, kRepaintEveryMs)) {
        return ui::holdFor(false, true);
    }
    // Asking the list what it shows is a call to its window: a scan appending a row at a time
    // asks a dozen times a second, not for every row.
    if (dueAgain(child.viewCheckedAt, now, kRepaintEveryMs)) {
        child.newRowsInView = OwnerDataList::newRowsInView(child.hwnd);
        child.viewCheckedAt = now;
    }
    return ui::holdFor(true, child.newRowsInView);
}

void FormView::applyPending(Child& child) {
    const unsigned what = child.pending;
    child.pending = 0;
    child.lastApplied = GetTickCount();
    if (child.hwnd == nullptr || child.control == nullptr) {
        return;
    }
    if ((what & kHoldCaption) != 0) {
        SetWindowTextW(child.hwnd, static_cast<const Label&>(*child.control).caption().c_str());
        announceName(child);
    }
    if ((what & kHoldProgress) != 0) {
        const auto& bar = static_cast<const ProgressBar&>(*child.control);
        SendMessageW(child.hwnd, PBM_SETRANGE32, static_cast<WPARAM>(rounded(bar.min())),
                     static_cast<LPARAM>(rounded(bar.max())));
        SendMessageW(child.hwnd, PBM_SETPOS, static_cast<WPARAM>(rounded(bar.value())), 0);
    }
    if ((what & kHoldRows) != 0) {
        listOf(child).applyRowCount(false);
    } else if ((what & kHoldAppend) != 0) {
        listOf(child).applyRowCount(true);
    }
    if ((what & (kHoldRows | kHoldAppend)) != 0) {
        listOf(child).focusARow();  // rows come to a list that has the focus
    }
}

bool FormView::flush(bool force) {
    if (detached_) {
        return false;
    }
    bool applied = false;
    if (form_.controls().size() > children_.size()) {
        for (Control* control : form_.controls()) {
            if (find(control) == nullptr) {
                changed(*control, Prop::Visible, 0);  // creates and shows its window
            }
        }
    }
    const DWORD now = GetTickCount();
    for (Child& child : children_) {
        if (force && child.pending != 0) {
            applyPending(child);
            applied = true;
        } else {
            applied = applyIfDue(child, now) || applied;
        }
    }
    return applied;
}

}  // namespace dustrel::ui::win32
