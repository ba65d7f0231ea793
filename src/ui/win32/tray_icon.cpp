#include "ui/win32/tray_icon.h"

#include <algorithm>
#include <utility>

namespace dustrel::ui::win32 {

namespace {

constexpr UINT kIconId = 1;
constexpr UINT_PTR kRetryTimer = 1;
constexpr const wchar_t* kWindowClass = L"DustrelTrayWindow";

}  // namespace

TrayIcon::TrayIcon(UiHost& host, HINSTANCE instance, HICON icon, Notify notify, TrayRetries retries)
    : host_(host),
      icon_(icon),
      notify_(notify ? std::move(notify) : Notify(Shell_NotifyIconW)),
      retries_(retries) {
    // Sent to every top-level window when the taskbar is (re)created, e.g. after Explorer
    // restarts or when the program started before the taskbar was up.
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // A copy running elevated hears messages from Explorer's lower integrity level only where
    // it lets them through.
    if (window_ != nullptr && taskbarCreated_ != 0) {
        ChangeWindowMessageFilterEx(window_, taskbarCreated_, MSGFLT_ALLOW, nullptr);
    }
}

TrayIcon::~TrayIcon() {
    remove();
    DestroyWindow(window_);
}

bool TrayIcon::add(PictureBox& hook, const std::wstring& tip) {
    if (window_ == nullptr) {
        return false;
    }
    remove();
    hook_ = &hook;
    tip_ = tip;
    return addOrRetry();
}

bool TrayIcon::addOrRetry() {
    if (notifyAdd()) {
        stopRetrying();
        return true;
    }
    retriesLeft_ = retries_.attempts;
    if (retriesLeft_ > 0) {
        SetTimer(window_, kRetryTimer, retries_.intervalMs, nullptr);
    }
    return false;
}

void TrayIcon::stopRetrying() {
    if (retriesLeft_ > 0) {
        KillTimer(window_, kRetryTimer);
    }
    retriesLeft_ = 0;
}

bool TrayIcon::notifyAdd() {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = window_;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kMessage;
    data.hIcon = icon_;
    const std::size_t length = std::min(tip_.size(), std::size(data.szTip) - 1);
    std::copy_n(tip_.begin(), length, data.szTip);
    data.szTip[length] = L'\0';
    return notify_(NIM_ADD, &data) != FALSE;
}

void TrayIcon::remove(const PictureBox& hook) {
    if (hook_ == &hook) {
        remove();
    }
}

void TrayIcon::removeFor(const Form& form) {
    // An icon whose form is going could never be clicked again.
    if (hook_ != nullptr && &hook_->form() == &form) {
        remove();
    }
}

void TrayIcon::remove() {
    if (hook_ == nullptr) {
        return;
    }
    stopRetrying();
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = window_;
    data.uID = kIconId;
    notify_(NIM_DELETE, &data);
    hook_ = nullptr;
}

LRESULT CALLBACK TrayIcon::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* tray = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (tray != nullptr && msg == kMessage) {
        // Nothing a handler throws goes back through the system.
        tray->host_.barrier([&] { tray->clicked(lParam); });
        return 0;
    }
    if (tray != nullptr && msg == WM_TIMER && wParam == kRetryTimer) {
        if (tray->hook_ == nullptr || tray->notifyAdd() || --tray->retriesLeft_ <= 0) {
            KillTimer(hwnd, kRetryTimer);
            tray->retriesLeft_ = 0;
        }
        return 0;
    }
    if (tray != nullptr && msg != 0 && msg == tray->taskbarCreated_) {
        if (tray->hook_ != nullptr) {
            tray->addOrRetry();
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The icon reports the mouse message it got in the low word.
void TrayIcon::clicked(LPARAM lParam) {
    if (hook_ == nullptr) {
        return;
    }
    switch (LOWORD(lParam)) {
        case WM_LBUTTONUP:
            hook_->trayEvent(TrayEvent::Click);
            break;
        case WM_LBUTTONDBLCLK:
            hook_->trayEvent(TrayEvent::DoubleClick);
            break;
        case WM_RBUTTONUP:
            hook_->trayEvent(TrayEvent::RightClick);
            break;
        default:
            break;
    }
}

}  // namespace dustrel::ui::win32
