#include "ui/win32/form_view.h"

#include <algorithm>
#include <string>

#include "ui/win32/control_windows.h"
#include "ui/win32/win32_host.h"

// The controls' windows: made from the table of kinds, set up from the model, and found again
// by control or by window.

namespace dustrel::ui::win32 {

void FormView::createChildWindows() {
    for (Control* control : form_.controls()) {
        createChild(*control);
    }
    arrange(form_);
    for (Child& child : children_) {
        if (child.control->kind() == ControlKind::Frame ||
            child.control->kind() == ControlKind::PictureBox) {
            arrange(*dynamic_cast<const Container*>(child.control));
        }
    }
    for (Child& child : children_) {
        applyVisible(child);
    }
}

FormView::Child& FormView::createChild(Control& control) {
    Child child;
    child.control = &control;
    child.creation = children_.size();
    child.id = kFirstControlId + static_cast<int>(child.creation);

    const WindowKind& kind = windowKind(control.kind());
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style;
    if (!control.tabStop()) {
        style &= ~static_cast<DWORD>(WS_TABSTOP);
    }
    const std::wstring* caption = captionOf(control);
    HWND parent = containerWindow(control.parent());
    if (parent != nullptr) {
        child.hwnd = CreateWindowExW(
            kind.exStyle, kind.windowClass, caption != nullptr ? caption->c_str() : L"", style, 0,
            0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)),
            host_.instance(), kind.panel ? this : nullptr);
    }
    children_.push_back(child);
    Child& made = children_.back();
    byControl_[&control] = made.creation;
    if (made.hwnd != nullptr) {
        byWindow_[made.hwnd] = made.creation;
    }
    control.setObserver(this);
    initChild(made);
    return made;
}

void FormView::initChild(Child& child) {
    if (child.hwnd == nullptr) {
        return;
    }
    Control& control = *child.control;
    applyRect(child);
    applyFont(child);
    EnableWindow(child.hwnd, control.enabled());
    applyToolTip(child);
    switch (control.kind()) {
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
            applyValue(child);
            break;
        case ControlKind::ComboBox:
            applyItems(child);
            break;
        case ControlKind::TextBox:
            applyText(child);
            break;
        case ControlKind::ProgressBar:
            child.pending |= kHoldProgress;
            applyPending(child);
            break;
        case ControlKind::ListView:
            initListView(child);
            break;
        default:
            break;
    }
}

void FormView::initListView(Child& child) {
    child.picture = ListPicture(static_cast<const ListView&>(*child.control).orderGeneration());
    listOf(child).applyStyles();
    SetWindowSubclass(child.hwnd, &FormView::listViewProc, kListSubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
    applyColors(child);
    applyColumns(child);
    child.pending |= kHoldRows;
    applyPending(child);
}

// --- lookups --------------------------------------------------------------------------------

FormView::Child* FormView::find(const Control* control) {
    const auto it = byControl_.find(control);
    return it == byControl_.end() ? nullptr : &children_[it->second];
}

FormView::Child* FormView::find(HWND hwnd) {
    const auto it = byWindow_.find(hwnd);
    return it == byWindow_.end() ? nullptr : &children_[it->second];
}

HWND FormView::windowOf(const Control& control) const {
    const auto it = byControl_.find(&control);
    return it == byControl_.end() || detached_ ? nullptr : children_[it->second].hwnd;
}

HWND FormView::containerWindow(const Container& container) {
    if (&container == &form_) {
        return hwnd_;
    }
    const auto* control = dynamic_cast<const Control*>(&container);
    const Child* child = control != nullptr ? find(control) : nullptr;
    return child != nullptr && child->hwnd != nullptr ? child->hwnd : hwnd_;
}

bool FormView::isPage(const Control& control) const {
    const auto& pages = form_.pages();
    return std::any_of(pages.begin(), pages.end(), [&](const Frame* page) {
        return static_cast<const Control*>(page) == &control;
    });
}

bool FormView::shouldShow(const Control& control) const {
    if (!control.visible()) {
        return false;
    }
    return !isPage(control) || static_cast<const Control*>(form_.frontPage()) == &control;
}

OwnerDataList FormView::listOf(Child& child) {
    return {child.hwnd, static_cast<ListView&>(*child.control), child.picture};
}

}  // namespace dustrel::ui::win32
