#pragma once
// The program's real main window for the benchmarks that time what a user waits for: message
// boxes answered as they show, the real platform but for the single-instance guard, and clicks
// posted to the window's own buttons.

#include <windows.h>

#include <cwchar>
#include <functional>
#include <string>

#include "app/app_context.h"
#include "app/frm_main.h"
#include "bench_util.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_host.h"

namespace dustrel::bench {

// Message boxes are answered as soon as they show; the time and the text of the last one stay.
struct Boxes {
    int shown = 0;
    double lastAt = 0;
    std::wstring lastText;
};
inline Boxes boxes;

inline LRESULT CALLBACK answerBoxes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {};
        GetClassNameW(box, name, 16);
        if (std::wcscmp(name, L"#32770") == 0) {
            boxes.lastAt = now();
            ++boxes.shown;
            wchar_t text[256] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 256);
            boxes.lastText = text;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

inline void answerBoxesOnThisThread() {
    SetWindowsHookExW(WH_CBT, &answerBoxes, nullptr, GetCurrentThreadId());
}

// The real system, but for the single-instance guard: the headless scan and the window live
// side by side in this one process.
class SecondCopySystem final : public platform::System {
public:
    explicit SecondCopySystem(platform::System& real) : real_(real) {}
    std::uint32_t logicalDrives() override { return real_.logicalDrives(); }
    platform::DriveKind driveKind(const std::wstring& root) override {
        return real_.driveKind(root);
    }
    platform::Status diskSizes(const std::wstring& root, platform::DiskSizes& sizes) override {
        return real_.diskSizes(root, sizes);
    }
    platform::Status seekPenalty(const std::wstring& root, bool& penalty) override {
        return real_.seekPenalty(root, penalty);
    }
    std::wstring commandArguments() override { return {}; }
    std::wstring executablePath() override { return real_.executablePath(); }
    bool claimSingleInstance(const std::wstring&) override { return true; }
    platform::Status restartWindows() override { return platform::Status::Failed; }
    void sleep(unsigned milliseconds) override { real_.sleep(milliseconds); }

private:
    platform::System& real_;
};

// The program's main window on the screen, on the real platform or on a drive of its own.
struct Program {
    explicit Program(platform::FileSystem* files = nullptr)
        : context{{files == nullptr ? platform.files : *files, platform.shell, platform.registry,
                   system, platform.clock, platform.locale},
                  {}} {
        host.raise(form, [this] { form.load(); });
        form.show();
        pumpUntilIdle();
    }

    // Runs the message loop as the program's own does, until `done` or the queue is empty.
    void pump(const std::function<bool()>& done) {
        MSG msg{};
        while (!done()) {
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                host.dispatch(msg);
            } else {
                host.idle();
                if (!done()) {
                    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
                }
            }
        }
    }
    void pumpUntilIdle() {
        MSG msg{};
        for (;;) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                host.dispatch(msg);
            }
            host.idle();
            RedrawWindow(host.windowOf(form), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
                return;
            }
        }
    }
    HWND windowOf(const ui::Control& control) const { return host.windowOf(control); }

    // Posts a click to `button` as the button's own and runs the loop until its handler has
    // returned; the seconds from the post.
    double click(ui::Button& button) {
        bool over = false;
        const auto handler = button.onClick;
        button.onClick = [&] {
            handler();
            over = true;
        };
        const double start = now();
        PostMessageW(windowOf(button), BM_CLICK, 0, 0);
        pump([&] { return over; });
        button.onClick = handler;
        return now() - start;
    }

    // Ticks the drive and the categories and brings the category page to the front, as the
    // first two pages leave them.
    void prepare(std::size_t drive) {
        tickForScan(form, drive);
        auto& c = form.ui();
        c.cmdNext1.setEnabled(true);
        form.showPage(c.Frame4);
        pumpUntilIdle();
    }

    // Clicks Ne&xt and runs the loop until the scan's handler has returned; the seconds to the
    // count message.
    double scan() {
        const int before = boxes.shown;
        const double start = now();
        const double took = click(form.ui().cmdNext1);
        return boxes.shown > before ? boxes.lastAt - start : took;
    }

    platform::win32::Win32Platform platform;
    SecondCopySystem system{platform.system};
    ui::win32::Win32Host host;
    app::AppContext context;
    app::FrmMain form{host, context};
};

}  // namespace dustrel::bench
