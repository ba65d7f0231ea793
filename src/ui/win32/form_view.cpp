#include "ui/win32/form_view.h"

#include <algorithm>
#include <utility>

#include "ui/win32/control_windows.h"
#include "ui/win32/dpi.h"
#include "ui/win32/geometry.h"
#include "ui/win32/win32_host.h"

// The form's top-level window: its making and unmaking, what the form's own properties do to
// it, and the messages only it gets.

namespace dustrel::ui::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"DustrelForm";
constexpr UINT kFirstMenuId = 10000;

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
    frontPage_ = form_.frontPage();
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
        menuBar_.release();  // the window took its menu bar with it
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

int FormView::px(int twips) const {
    return twipsToPixels(twips, dpi_);
}

// --- the form's properties ------------------------------------------------------------------

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
        case Prop::Font:
            applyFonts();
            break;
        case Prop::Colors:
            InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        default:
            break;
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
    adjustWindowRect(outer, style, GetMenu(hwnd_) != nullptr, exStyle, dpi_);
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
    SendMessageW(
        hwnd_, WM_SETICON, ICON_BIG,
        reinterpret_cast<LPARAM>(app ? host_.gdi().appIcon(iconSize(false, dpi_)) : nullptr));
    SendMessageW(
        hwnd_, WM_SETICON, ICON_SMALL,
        reinterpret_cast<LPARAM>(app ? host_.gdi().appIcon(iconSize(true, dpi_)) : nullptr));
}

void FormView::rebuildMenuBar() {
    UniqueMenu bar = menus_.buildBar(form_.menus());
    SetMenu(hwnd_, bar.get());
    menuBar_ = std::move(bar);  // destroys the bar the window had until now
    DrawMenuBar(hwnd_);
    applyFormSize();  // the bar comes out of the window, not out of the client area
}

// The window moved to a monitor of another scale, or the scale changed: it takes the place the
// system suggests and everything in it is laid out again from its twips, as at the window's
// making; nothing is stretched.
void FormView::dpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0 || dpi == dpi_) {
        return;
    }
    dpi_ = dpi;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    applyFormSize();  // the client area exactly as its twips give it
    applyIcon();
    scaleTips();
    for (Child& child : children_) {
        if (child.hwnd == nullptr || child.control == nullptr) {
            continue;
        }
        applyFont(child);  // before the rect: a combo box's closed height follows its font
        applyRect(child);
        if (child.control->kind() == ControlKind::ListView) {
            applyColumns(child);
        }
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
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

// --- the form's own messages ----------------------------------------------------------------

LRESULT FormView::handleFormMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    LRESULT result = 0;
    if (handleNavigation(msg, wParam, lParam, result)) {
        return result;
    }
    switch (msg) {
        case WM_CLOSE:
            // The model decides; when the form unloads, formUnloading takes the windows away.
            form_.closeBox();
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED && form_.windowState() != WindowState::Minimized) {
                form_.setWindowState(WindowState::Minimized);
            } else if (wParam == SIZE_RESTORED && form_.windowState() == WindowState::Minimized) {
                form_.setWindowState(WindowState::Normal);
            }
            return 0;
        case kSettleChoiceMessage: {
            const auto index = static_cast<std::size_t>(wParam) - kFirstControlId;
            if (wParam >= kFirstControlId && index < children_.size()) {
                Child& child = children_[index];
                if (child.picked && child.hwnd != nullptr && child.control != nullptr) {
                    userChoice(child, true);
                }
            }
            return 0;
        }
        case WM_DPICHANGED:
            dpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case kFocusMovedMessage:
            markEnterButton();
            return 0;
        case WM_QUERYENDSESSION:
            // The program never holds up a log-off or restart, the one it asks for included.
            return TRUE;
        case WM_ENDSESSION:
            // Windows may end the process as soon as this returns. A Delete lets messages in only
            // between two files, when its log already holds every file gone.
            if (wParam != FALSE) {
                host_.sessionEnding();
            }
            return 0;
        default:
            break;
    }
    handled = false;
    return 0;
}

}  // namespace dustrel::ui::win32
