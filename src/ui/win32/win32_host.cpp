#include "ui/win32/win32_host.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "ui/update_pace.h"
#include "ui/win32/dpi.h"
#include "ui/win32/form_view.h"
#include "ui/win32/geometry.h"
#include "ui/win32/menu_builder.h"
#include "ui/win32/tray_icon.h"

namespace dustrel::ui::win32 {

namespace {

constexpr UINT kFirstPopupId = 40000;
// DoEvents handles what is pending now; a window that keeps posting to itself must not keep
// the caller in there.
constexpr int kMaxMessagesPerDoEvents = 10000;

bool isKeyboardMessage(UINT msg) {
    return msg >= WM_KEYFIRST && msg <= WM_KEYLAST;
}

}  // namespace

Win32Host::Win32Host(HINSTANCE instance)
    : instance_(instance != nullptr ? instance : GetModuleHandleW(nullptr)), gdi_(instance_) {
    ensureDpiAware();
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    FormView::registerClasses(instance_);
    twipsPerPixel_ = static_cast<double>(kTwipsPerInch) / systemDpi();
    tray_ = std::make_unique<TrayIcon>(*this, instance_, gdi_.appIcon(iconSize(true, systemDpi())));
}

Win32Host::~Win32Host() {
    tray_.reset();
    // The forms may be gone already: the views only take their windows down.
    for (auto& view : views_) {
        view->abandon();
    }
    views_.clear();
    graveyard_.clear();
}

// --- message boxes, modal forms, the queue ----------------------------------------------------

// A box with no window of the program under it (a question at a start into the notification
// area) would otherwise open behind whatever the user is doing.
UINT Win32Host::messageBoxType(MessageBoxStyle style, HWND owner) {
    UINT type = style.buttons == MessageBoxButtons::YesNo ? MB_YESNO : MB_OK;
    switch (style.icon) {
        case MessageBoxIcon::None:
            break;
        case MessageBoxIcon::Stop:
            type |= MB_ICONSTOP;
            break;
        case MessageBoxIcon::Question:
            type |= MB_ICONQUESTION;
            break;
        case MessageBoxIcon::Warning:
            type |= MB_ICONWARNING;
            break;
        case MessageBoxIcon::Information:
            type |= MB_ICONINFORMATION;
            break;
    }
    if (owner == nullptr) {
        type |= MB_SETFOREGROUND;
    }
    return type;
}

MessageBoxAnswer Win32Host::showMessageBox(const std::wstring& text, const std::wstring& caption,
                                           MessageBoxStyle style) {
    flushAll(true);
    const HWND owner = activeFormWindow();
    switch (MessageBoxW(owner, text.c_str(), caption.c_str(), messageBoxType(style, owner))) {
        case IDOK:
            return MessageBoxAnswer::Ok;
        case IDYES:
            return MessageBoxAnswer::Yes;
        case IDNO:
            return MessageBoxAnswer::No;
        default:
            // A box that could not be shown was not agreed to.
            return MessageBoxAnswer::Cancel;
    }
}

void Win32Host::runModal(Form& form) {
    const HWND owner = activeFormWindow();
    if (!form.loaded()) {
        form.load();
    }
    FormView* view = viewOf(form);
    if (view == nullptr || view->hwnd() == nullptr || ended_) {
        return;
    }
    const HWND window = view->hwnd();
    // Owned, the modal window stays above its owner and has no taskbar button of its own.
    const auto previousOwner = GetWindowLongPtrW(window, GWLP_HWNDPARENT);
    if (owner != nullptr && owner != window) {
        SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
    form.show();
    if (!form.visible() || viewOf(form) == nullptr) {
        return;
    }
    Modal modal;
    modal.form = &form;
    for (const auto& other : views_) {
        const HWND hwnd = other->hwnd();
        if (hwnd != nullptr && hwnd != window && IsWindowEnabled(hwnd)) {
            EnableWindow(hwnd, FALSE);
            modal.disabled.push_back(hwnd);
        }
    }
    modals_.push_back(std::move(modal));

    MSG msg{};
    while (!ended_ && viewOf(form) != nullptr && form.visible()) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            idle();
        }
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) {
            break;
        }
        if (got == 0) {
            // The quit belongs to the outer loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        dispatch(msg);
    }

    releaseModal(form);
    modals_.erase(std::remove_if(modals_.begin(), modals_.end(),
                                 [&](const Modal& m) { return m.form == &form; }),
                  modals_.end());
    if (IsWindow(window)) {
        SetWindowLongPtrW(window, GWLP_HWNDPARENT, previousOwner);
    }
    if (owner != nullptr && IsWindow(owner) && IsWindowVisible(owner)) {
        SetActiveWindow(owner);
    }
}

void Win32Host::releaseModal(const Form& form) {
    for (Modal& modal : modals_) {
        if (modal.form != &form) {
            continue;
        }
        for (HWND hwnd : modal.disabled) {
            if (IsWindow(hwnd)) {
                EnableWindow(hwnd, TRUE);
            }
        }
        modal.disabled.clear();
    }
}

void Win32Host::beforeHide(const Form& form) {
    releaseModal(form);
}

void Win32Host::processMessages() {
    reap();
    // What waits is handled first; a window brought up to date afterwards may have taken long
    // enough (a list growing its scroll bar) for the queue to deserve another look.
    if (dispatchPending() && flushAll(false)) {
        dispatchPending();
    }
}

bool Win32Host::dispatchPending() {
    MSG msg{};
    for (int handled = 0; handled < kMaxMessagesPerDoEvents; ++handled) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            break;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        dispatch(msg);
        if (ended_) {
            return false;
        }
    }
    return true;
}

void Win32Host::dispatch(MSG& msg) {
    if (isKeyboardMessage(msg.message) && msg.hwnd != nullptr) {
        const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        const bool ours = std::any_of(views_.begin(), views_.end(),
                                      [&](const auto& view) { return view->hwnd() == root; });
        if (ours && IsDialogMessageW(root, &msg)) {
            return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Win32Host::idle() {
    reap();
    flushAll(true);
}

void Win32Host::reap() {
    graveyard_.erase(std::remove_if(graveyard_.begin(), graveyard_.end(),
                                    [](const auto& view) { return view->busy() == 0; }),
                     graveyard_.end());
}

bool Win32Host::flushAll(bool force) {
    bool applied = false;
    for (auto& view : views_) {
        applied = view->flush(force) || applied;
    }
    return applied;
}

void Win32Host::refresh(Form& form) {
    FormView* view = viewOf(form);
    if (view == nullptr || view->hwnd() == nullptr) {
        return;
    }
    view->flush(true);
    // What changed is painted now; painting the rest again would only cost time (a tenth of a
    // second for the whole window under Wine).
    RedrawWindow(view->hwnd(), nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// --- menus and the notification area ----------------------------------------------------------

MenuItem* Win32Host::trackPopupMenu(Form& form, MenuItem& menu, MenuItem* defaultItem) {
    flushAll(true);
    FormView* view = viewOf(form);
    const HWND owner = view != nullptr ? view->hwnd() : activeFormWindow();
    if (owner == nullptr) {
        return nullptr;
    }
    MenuBuilder builder(kFirstPopupId);
    const UniqueMenu popup = builder.buildPopup(menu, defaultItem);
    if (!popup.valid()) {
        return nullptr;
    }
    POINT at{};
    GetCursorPos(&at);
    // Without the foreground, a menu opened from the notification area would not close when
    // the user clicks elsewhere; the WM_NULL afterwards lets it close at once.
    SetForegroundWindow(owner);
    const auto chosen = static_cast<UINT>(
        TrackPopupMenu(popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0,
                       owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    return builder.find(chosen);
}

bool Win32Host::addTrayIcon(PictureBox& hook, const std::wstring& tip) {
    return windowOf(hook) != nullptr && tray_->add(hook, tip);
}

void Win32Host::removeTrayIcon(PictureBox& hook) {
    tray_->remove(hook);
}

HWND Win32Host::trayWindow() const {
    return tray_->window();
}

double Win32Host::twipsPerPixelX() {
    return twipsPerPixel_;
}

// --- forms ------------------------------------------------------------------------------------

void Win32Host::formLoaded(Form& form) {
    if (viewOf(form) == nullptr) {
        views_.push_back(std::make_unique<FormView>(*this, form));
    }
}

void Win32Host::formUnloading(Form& form) {
    const auto it = std::find_if(views_.begin(), views_.end(),
                                 [&](const auto& view) { return &view->form() == &form; });
    if (it == views_.end()) {
        return;
    }
    releaseModal(form);
    tray_->removeFor(form);
    (*it)->detach();
    graveyard_.push_back(std::move(*it));
    views_.erase(it);
}

void Win32Host::endProgram() {
    if (ended_) {
        return;
    }
    ended_ = true;
    tray_->remove();
    PostQuitMessage(0);
}

void Win32Host::sessionEnding() {
    endProgram();
}

FormView* Win32Host::viewOf(const Form& form) const {
    const auto it = std::find_if(views_.begin(), views_.end(),
                                 [&](const auto& view) { return &view->form() == &form; });
    return it == views_.end() ? nullptr : it->get();
}

HWND Win32Host::windowOf(const Form& form) const {
    const FormView* view = viewOf(form);
    return view != nullptr ? view->hwnd() : nullptr;
}

HWND Win32Host::windowOf(const Control& control) const {
    const FormView* view = viewOf(control.form());
    return view != nullptr ? view->windowOf(control) : nullptr;
}

HWND Win32Host::activeFormWindow() const {
    const HWND active = GetActiveWindow();
    for (const auto& view : views_) {
        if (view->hwnd() == active && active != nullptr && IsWindowVisible(active)) {
            return active;
        }
    }
    for (auto it = modals_.rbegin(); it != modals_.rend(); ++it) {
        const HWND hwnd = windowOf(*it->form);
        if (hwnd != nullptr && IsWindowVisible(hwnd)) {
            return hwnd;
        }
    }
    for (const auto& view : views_) {
        const HWND hwnd = view->hwnd();
        if (hwnd != nullptr && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
            return hwnd;
        }
    }
    return nullptr;
}

int runMessageLoop(Win32Host& host) {
    MSG msg{};
    int code = 0;
    while (!host.ended()) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            host.idle();
        }
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            code = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) {
            code = 1;
            break;
        }
        host.dispatch(msg);
    }
    return host.faulted() ? kFaultExitCode : code;
}

}  // namespace dustrel::ui::win32
