#include "ui/win32/tray_icon.h"

#include <shellapi.h>

#include <algorithm>

namespace dustrel::ui::win32 {

namespace {

constexpr UINT kIconId = 1;
constexpr const wchar_t* kWindowClass = L"DustrelTrayWindow";

}  // namespace

TrayIcon::TrayIcon(UiHost& host, HINSTANCE instance, HICON icon) : host_(host), icon_(icon) {
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
    return notifyAdd();
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
    return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
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
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = window_;
    data.uID = kIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
    hook_ = nullptr;
}

LRESULT CALLBACK TrayIcon::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* tray = reinterpret_cast<TrayIcon*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (tray != nullptr && msg == kMessage) {
        // Nothing a handler throws goes back through the system.
        tray->host_.barrier([&] { tray->clicked(lParam); });
        return 0;
    }
    if (tray != nullptr && msg != 0 && msg == tray->taskbarCreated_) {
        if (tray->hook_ != nullptr) {
            tray->notifyAdd();
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
