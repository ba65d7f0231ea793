#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_platform.h"
#include "ui/win32/win32_host.h"

namespace dustrel::testing {

// The main window, loaded and shown in real windows over the real file system, with the shell,
// registry and locale faked, and the real clock and system unless others are given. Its message
// boxes are answered with OK as they show, and their texts kept.
class RealMainWindow {
public:
    explicit RealMainWindow(platform::Clock* clock = nullptr, platform::System* system = nullptr);
    ~RealMainWindow();
    RealMainWindow(const RealMainWindow&) = delete;
    RealMainWindow& operator=(const RealMainWindow&) = delete;

    app::FrmMainControls& ui() { return form.ui(); }
    const std::vector<std::wstring>& boxesShown() const { return boxesShown_; }

    platform::win32::Win32Platform real;
    FakePlatform fakes;
    ui::win32::Win32Host host;
    app::AppContext context;
    app::FrmMain form;

private:
    static LRESULT CALLBACK answerBox(int code, WPARAM wParam, LPARAM lParam);

    std::vector<std::wstring> boxesShown_;
    HHOOK hook_ = nullptr;
};

}  // namespace dustrel::testing
