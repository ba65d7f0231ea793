#pragma once

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>

#include "ui/controls.h"
#include "ui/ui_host.h"

namespace dustrel::ui::win32 {

// At log-on the taskbar may not take icons yet, and a program started then must not end up with
// neither window nor icon: an add that fails is tried again this often, this many times.
struct TrayRetries {
    UINT intervalMs = 2000;
    int attempts = 60;
};

// The notification-area icon. It reports to a hidden top-level window of its own (top-level,
// so that it hears when a taskbar starts and can add itself again), which hands the clicks to
// the picture box that stands for it as tray events.
class TrayIcon {
public:
    static constexpr UINT kMessage = WM_APP + 1;

    // Shell_NotifyIcon, or a stand-in for it.
    using Notify = std::function<BOOL(DWORD, NOTIFYICONDATAW*)>;
    // `host` takes what a click's handler throws.
    TrayIcon(UiHost& host, HINSTANCE instance, HICON icon, Notify notify = nullptr,
             TrayRetries retries = {});
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Shows the icon for `hook`, replacing any other; false when the taskbar refused it for now
    // (it is tried again meanwhile).
    bool add(PictureBox& hook, const std::wstring& tip);
    // Takes the icon away if `hook` is the one it stands for.
    void remove(const PictureBox& hook);
    // Takes the icon away if it stands for a picture box on `form`.
    void removeFor(const Form& form);
    void remove();

    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool notifyAdd();
    // Adds the icon, or tries again later when the taskbar refuses it.
    bool addOrRetry();
    void stopRetrying();
    void clicked(LPARAM lParam);

    UiHost& host_;
    HICON icon_;
    Notify notify_;
    TrayRetries retries_;
    int retriesLeft_ = 0;
    UINT taskbarCreated_ = 0;
    HWND window_ = nullptr;
    PictureBox* hook_ = nullptr;
    std::wstring tip_;
};

}  // namespace dustrel::ui::win32
