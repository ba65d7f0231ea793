#include "ui/win32/form_view.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

#include "ui/control_order.h"
#include "ui/mouse.h"
#include "ui/update_pace.h"
#include "ui/win32/control_windows.h"
#include "ui/win32/dpi.h"
#include "ui/win32/geometry.h"
#include "ui/win32/win32_host.h"

namespace dustrel::ui::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"DustrelForm";
// Control ids stay clear of IDOK and IDCANCEL, which dialog navigation sends for Enter and
// Escape, and below the menu ids.
constexpr int kFirstControlId = 100;
constexpr UINT kFirstMenuId = 10000;
constexpr UINT_PTR kListSubclassId = 1;
// Room for the drop-down list of a combo box below its closed height, at 96 DPI.
constexpr int kDropDownPixels = 160;
// Where a group box's caption starts along its top border, and the room kept clear of the
// border line on either side of the text, at 96 DPI.
constexpr int kGroupCaptionIndentPixels = 8;
constexpr int kGroupCaptionGapPixels = 2;

enum Hold : unsigned {
    kHoldCaption = 1,
    kHoldProgress = 2,
    kHoldRows = 4,
    kHoldAppend = 8,
};

// An edit box is given the focus with its text selected, ready to be typed over, as dialog
// navigation brings it in.
void selectForTyping(HWND hwnd) {
    if ((SendMessageW(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
        SendMessageW(hwnd, EM_SETSEL, 0, -1);
    }
}

int rounded(double value) {
    if (!(value > INT_MIN && value < INT_MAX)) {
        return value > 0 ? INT_MAX : INT_MIN;
    }
    return static_cast<int>(std::lround(value));
}

}  // namespace

// --- construction and teardown --------------------------------------------------------------

void FormView::registerClasses(HINSTANCE instance) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = &FormView::windowProc;
    form.hInstance = instance;
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);  // fails harmlessly when a second host registers again

    WNDCLASSEXW panel = form;
    panel.lpszClassName = kPanelClass;
    RegisterClassExW(&panel);
}

FormView::FormView(Win32Host& host, Form& form) : host_(host), form_(form), menus_(kFirstMenuId) {
    createFormWindow();
    createChildWindows();
    form_.setObserver(this);
}

FormView::~FormView() {
    detached_ = true;
    destroyWindows();
}

void FormView::detach() {
    if (detached_) {
        return;
    }
    for (Child& child : children_) {
        if (child.control != nullptr) {
            child.control->setObserver(nullptr);
            child.control = nullptr;
        }
    }
    form_.setObserver(nullptr);
    detached_ = true;
    // The windows go once no window procedure of theirs is on the stack (Win32Host::idle);
    // until then they are only hidden.
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, SW_HIDE);
    }
}

void FormView::abandon() {
    detached_ = true;
    for (Child& child : children_) {
        child.control = nullptr;
    }
    destroyWindows();
}

void FormView::destroyWindows() {
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);  // children and the menu bar go with it
    }
    windowDestroyed(hwnd_);
}

void FormView::windowDestroyed(HWND hwnd) {
    if (hwnd == hwnd_) {
        hwnd_ = nullptr;
        menuBar_ = nullptr;
        savedFocus_ = nullptr;
        for (Child& child : children_) {
            child.hwnd = nullptr;
        }
        byWindow_.clear();
        return;
    }
    if (const auto it = byWindow_.find(hwnd); it != byWindow_.end()) {
        children_[it->second].hwnd = nullptr;
        byWindow_.erase(it);
    }
}

void FormView::createFormWindow() {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (form_.hasMinimizeBox()) {
        style |= WS_MINIMIZEBOX;
    }
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, form_.caption().c_str(), style,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                            nullptr, host_.instance(), this);
    if (hwnd_ == nullptr) {
        return;
    }
    dpi_ = dpiForWindow(hwnd_);
    applyIcon();
    rebuildMenuBar();  // sizes the window too
}

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
    return {child.hwnd, static_cast<ListView&>(*child.control)};
}

int FormView::px(int twips) const {
    return twipsToPixels(twips, dpi_);
}

// --- model to windows -----------------------------------------------------------------------

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
            // Controls without a font of their own follow their container's.
            for (Child& each : children_) {
                applyFont(each);
            }
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
            break;
        default:
            break;
    }
}

void FormView::formChanged(Form& /*form*/, Prop what) {
    if (detached_ || hwnd_ == nullptr) {
        return;
    }
    switch (what) {
        case Prop::Caption:
            SetWindowTextW(hwnd_, form_.caption().c_str());
            break;
        case Prop::Rect:
            applyFormSize();
            break;
        case Prop::Visible:
            applyFormVisible();
            break;
        case Prop::WindowState:
            applyWindowState();
            break;
        case Prop::Icon:
            applyIcon();
            break;
        case Prop::Menus:
            rebuildMenuBar();
            break;
        case Prop::MousePointer:
            applyPointerNow();
            break;
        case Prop::Colors:
            InvalidateRect(hwnd_, nullptr, TRUE);
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

// The window list is what decides both the stacking and where Tab goes next (ui::stackingOrder).
void FormView::arrange(const Container& container) {
    const HWND parent = containerWindow(container);
    if (parent == nullptr) {
        return;
    }
    const std::vector<const Control*> order = stackingOrder(withWindows(container), tabPosition());
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

// The focused control went away (hidden or disabled): the keyboard goes on from the next one,
// else from the front page, else from the form's first control.
void FormView::rescueFocus(HWND from) {
    if (hwnd_ == nullptr || GetActiveWindow() != hwnd_) {
        return;
    }
    const HWND focus = GetFocus();
    if (focus != nullptr && focus != hwnd_ && find(focus) != nullptr && usableFocus(focus)) {
        return;
    }
    HWND target = nullptr;
    if (from != nullptr && IsWindowVisible(from)) {
        target = GetNextDlgTabItem(hwnd_, from, FALSE);
    }
    if (!usableFocus(target)) {
        const Frame* front = form_.frontPage();
        const Child* page = front != nullptr ? find(front) : nullptr;
        target = page != nullptr ? firstTabStop(page->hwnd) : nullptr;
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

void FormView::centre() {
    RECT window{};
    GetWindowRect(hwnd_, &window);
    RECT work{};
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &info)) {
        work = info.rcWork;
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    }
    const int width = static_cast<int>(window.right - window.left);
    const int height = static_cast<int>(window.bottom - window.top);
    const int x = static_cast<int>(work.left) +
                  std::max(0, static_cast<int>(work.right - work.left - width) / 2);
    const int y = static_cast<int>(work.top) +
                  std::max(0, static_cast<int>(work.bottom - work.top - height) / 2);
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormView::applyFormSize() {
    const RECT wanted{0, 0, px(form_.clientWidth()), px(form_.clientHeight())};
    RECT outer = wanted;
    const auto style = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE));
    AdjustWindowRectEx(&outer, style, GetMenu(hwnd_) != nullptr, exStyle);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, flags);
    if (IsIconic(hwnd_)) {
        return;
    }
    // A menu bar that wraps onto a second line is more than AdjustWindowRectEx counts.
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int dx = wanted.right - client.right;
    const int dy = wanted.bottom - client.bottom;
    if (dx != 0 || dy != 0) {
        width += dx;
        height += dy;
        SetWindowPos(hwnd_, nullptr, 0, 0, width, height, flags);
    }
}

void FormView::applyFormVisible() {
    if (!form_.visible()) {
        host_.beforeHide(form_);
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    if (!shownOnce_) {
        shownOnce_ = true;
        if (form_.centered()) {
            centre();
        }
    }
    if (form_.windowState() == WindowState::Minimized) {
        ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
        return;
    }
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

void FormView::applyWindowState() {
    if (!IsWindowVisible(hwnd_)) {
        return;  // a hidden window takes its state when it is shown
    }
    if (form_.windowState() == WindowState::Minimized) {
        if (!IsIconic(hwnd_)) {
            ShowWindow(hwnd_, SW_MINIMIZE);
        }
    } else if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
}

void FormView::applyIcon() {
    const bool app = form_.icon() == Image::AppIcon;
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(app ? host_.gdi().appIcon(false) : nullptr));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(app ? host_.gdi().appIcon(true) : nullptr));
}

void FormView::rebuildMenuBar() {
    HMENU bar = menus_.buildBar(form_.menus());
    HMENU old = menuBar_;
    SetMenu(hwnd_, bar);
    menuBar_ = bar;
    if (old != nullptr) {
        DestroyMenu(old);
    }
    DrawMenuBar(hwnd_);
    applyFormSize();  // the bar comes out of the window, not out of the client area
}

// WM_SETCURSOR only comes with the next mouse move; a pointer change shows at once.
void FormView::applyPointerNow() {
    POINT point{};
    if (hwnd_ == nullptr || !GetCursorPos(&point)) {
        return;
    }
    const HWND under = WindowFromPoint(point);
    if (under == nullptr || GetAncestor(under, GA_ROOT) != hwnd_) {
        return;
    }
    const auto hit =
        static_cast<WORD>(SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(hit, WM_MOUSEMOVE));
}

// --- windows to model -----------------------------------------------------------------------

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
    try {
        result = view->handleMessage(hwnd, msg, wParam, lParam);
    } catch (...) {
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
    try {
        bool handled = false;
        result = listOf(*child).onInput(msg, wParam, lParam, handled);
        if (!handled) {
            result = DefSubclassProc(hwnd, msg, wParam, lParam);
        }
    } catch (...) {
        result = 0;
    }
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
            PAINTSTRUCT paint{};
            if (HDC dc = BeginPaint(hwnd, &paint)) {
                paintPanel(hwnd, dc, false);
                EndPaint(hwnd, &paint);
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

LRESULT FormView::handleFormMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (msg) {
        case WM_CLOSE:
            // The model decides; when the form unloads, formUnloading takes the windows away.
            form_.closeBox();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd_, focus)) {
                    savedFocus_ = focus;
                }
            } else if (HIWORD(wParam) == 0) {
                restoreFocus();
            }
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED && form_.windowState() != WindowState::Minimized) {
                form_.setWindowState(WindowState::Minimized);
            } else if (wParam == SIZE_RESTORED && form_.windowState() == WindowState::Minimized) {
                form_.setWindowState(WindowState::Normal);
            }
            return 0;
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
            }
            return 0;
        }
        case WM_QUERYENDSESSION:
            // The program never holds up a log-off or restart, the one it asks for included.
            return TRUE;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                host_.sessionEnding();
            }
            return 0;
        case DM_GETDEFID: {
            // Enter presses the focused push button.
            const Child* child = find(GetFocus());
            if (child != nullptr && child->control->kind() == ControlKind::Button) {
                return MAKELRESULT(child->id, DC_HASDEFID);
            }
            return 0;
        }
        default:
            break;
    }
    if (msg != 0 && msg == host_.taskbarCreatedMessage()) {
        host_.taskbarCreated();
        return 0;
    }
    handled = false;
    return 0;
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
            if (code == CBN_SELCHANGE) {
                const auto selected =
                    static_cast<int>(SendMessageW(child->hwnd, CB_GETCURSEL, 0, 0));
                auto& box = static_cast<ComboBox&>(control);
                box.userSelect(selected);
                if (!detached_ && box.listIndex() != selected) {
                    SendMessageW(child->hwnd, CB_SETCURSEL, static_cast<WPARAM>(box.listIndex()),
                                 0);
                }
            }
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

LRESULT FormView::onNotify(NMHDR& header) {
    Child* child = find(header.hwndFrom);
    if (child == nullptr || child->control == nullptr ||
        child->control->kind() != ControlKind::ListView) {
        return 0;
    }
    return listOf(*child).onNotify(header);
}

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
        paintGroupBox(static_cast<const Frame&>(*child->control), panel, dc, client);
        return;
    }
    if (child->control->kind() != ControlKind::PictureBox) {
        return;
    }
    const Image image = static_cast<const PictureBox&>(*child->control).image();
    if (image == Image::AppIcon) {
        const int size = GetSystemMetrics(SM_CXICON);
        DrawIconEx(dc, (client.right - size) / 2, (client.bottom - size) / 2,
                   host_.gdi().appIcon(false), size, size, 0, nullptr, DI_NORMAL);
        return;
    }
    HBITMAP bitmap = image == Image::SidePanel ? host_.gdi().sidePanel() : nullptr;
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
    HDC memory = CreateCompatibleDC(dc);
    if (memory == nullptr) {
        return;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, (client.right - width) / 2, (client.bottom - height) / 2, width, height, memory,
               0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

// Painted by the panel rather than made a BS_GROUPBOX window: the frame's controls keep their
// places in its client area, and no extra sibling lies over the page frames.
void FormView::paintGroupBox(const Frame& frame, HWND panel, HDC dc, const RECT& client) {
    const int saved = SaveDC(dc);
    SelectObject(dc, host_.gdi().font(frame.captionFont(), dpi_));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);

    // The top border runs through the middle of the caption's line.
    RECT border = client;
    border.top = std::min(static_cast<LONG>(metrics.tmHeight / 2), client.bottom);
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

    const std::wstring& caption = frame.caption();
    const int length = static_cast<int>(std::min<std::size_t>(caption.size(), INT_MAX));
    const int indent = MulDiv(kGroupCaptionIndentPixels, dpi_, kDefaultDpi);
    const int gap = MulDiv(kGroupCaptionGapPixels, dpi_, kDefaultDpi);
    const UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP;
    RECT text{client.left + indent, client.top, client.right - indent,
              client.top + metrics.tmHeight};
    DrawTextW(dc, caption.c_str(), length, &text, format | DT_CALCRECT);
    text.right = std::min(text.right, client.right - indent);
    if (text.right > text.left) {
        RECT behind{text.left - gap, text.top, text.right + gap, text.bottom};
        FillRect(dc, &behind, panelBrush(panel));
        const auto fore = frame.foreColor();
        SetTextColor(dc, !frame.enabled() ? GetSysColor(COLOR_GRAYTEXT)
                         : fore           ? toColorRef(*fore)
                                          : GetSysColor(COLOR_BTNTEXT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, caption.c_str(), length, &text, format | DT_END_ELLIPSIS);
    }
    RestoreDC(dc, saved);
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

// The notification-area icon posts its mouse messages here as WM_LBUTTONDOWN with the icon's
// own mouse message in the low word of lParam, which therefore arrives as x.
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
    const double twips = host_.twipsPerPixelX();
    static_cast<PictureBox&>(*child->control)
        .mouseDown(button, shift, LOWORD(lParam) * twips, HIWORD(lParam) * twips);
}

}  // namespace dustrel::ui::win32
