// Times the scan a user waits for: through the main window shown on a display, from a click on
// Ne&xt (posted as the button's own click) to the " Files Found" box, beside a bare listing of
// the drive and the program's scan without a window, taking turns in one run. Then, in runs of
// their own: the longest a message posted to the window waited during a scan, how soon a
// posted click on Stop Scan is answered and ends the walk, and the results list at
// 100,000 rows in the real list view (the scan, a header click, Check All).
//
//   window_bench T:\ [--runs N]

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_context.h"
#include "app/frm_main.h"
#include "bench_util.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_host.h"

namespace {

using dustrel::bench::median;
using dustrel::bench::now;

// Message boxes are answered as soon as they show; the time and the text of the last one stay.
struct Boxes {
    int shown = 0;
    double lastAt = 0;
    std::wstring lastText;
} boxes;

LRESULT CALLBACK answerBoxes(int code, WPARAM wParam, LPARAM lParam) {
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

// The real system, but for the single-instance guard: the headless scan and the window live
// side by side in this one process.
class SecondCopySystem final : public dustrel::platform::System {
public:
    explicit SecondCopySystem(dustrel::platform::System& real) : real_(real) {}
    std::uint32_t logicalDrives() override { return real_.logicalDrives(); }
    dustrel::platform::DriveKind driveKind(const std::wstring& root) override {
        return real_.driveKind(root);
    }
    dustrel::platform::Status diskSizes(const std::wstring& root,
                                        dustrel::platform::DiskSizes& sizes) override {
        return real_.diskSizes(root, sizes);
    }
    std::wstring commandArguments() override { return {}; }
    std::wstring executablePath() override { return real_.executablePath(); }
    bool claimSingleInstance(const std::wstring&) override { return true; }
    dustrel::platform::Status restartWindows() override {
        return dustrel::platform::Status::Failed;
    }
    void sleep(unsigned milliseconds) override { real_.sleep(milliseconds); }

private:
    dustrel::platform::System& real_;
};

// The program's main window on the screen, on the real platform or on a drive of its own.
struct Program {
    explicit Program(dustrel::platform::FileSystem* files = nullptr)
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
    HWND windowOf(const dustrel::ui::Control& control) const { return host.windowOf(control); }

    // Ticks the drive and the categories and brings the category page to the front, as the
    // first two pages leave them.
    void prepare(std::size_t drive) {
        dustrel::bench::tickForScan(form, drive);
        auto& c = form.ui();
        c.cmdNext1.setEnabled(true);
        form.showPage(c.Frame4);
        pumpUntilIdle();
    }

    // Clicks Ne&xt and runs the loop until the scan's handler has returned; the seconds to the
    // count message.
    double scan() {
        auto& c = form.ui();
        bool over = false;
        const auto next = c.cmdNext1.onClick;
        c.cmdNext1.onClick = [&] {
            next();
            over = true;
        };
        const int before = boxes.shown;
        const double start = now();
        PostMessageW(windowOf(c.cmdNext1), BM_CLICK, 0, 0);
        pump([&] { return over; });
        c.cmdNext1.onClick = next;
        return boxes.shown > before ? boxes.lastAt - start : now() - start;
    }

    dustrel::platform::win32::Win32Platform platform;
    SecondCopySystem system{platform.system};
    dustrel::ui::win32::Win32Host host;
    dustrel::app::AppContext context;
    dustrel::app::FrmMain form{host, context};
};

// A message-only window that a second thread posts to every millisecond, each post stamped
// with its time: the longest a post waits to be handled is the longest the queue went
// unserviced, as a click would find it.
class QueueProbe {
public:
    QueueProbe() : base_(now()) {
        WNDCLASSW type{};
        type.lpfnWndProc = &QueueProbe::proc;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"DustrelQueueProbe";
        RegisterClassW(&type);
        window_ = CreateWindowW(type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                type.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ticker_ = std::thread([this] {
            while (running_) {
                PostMessageW(window_, WM_APP, 0, static_cast<LPARAM>((now() - base_) * 1e6));
                Sleep(1);
            }
        });
    }
    ~QueueProbe() {
        running_ = false;
        ticker_.join();
        DestroyWindow(window_);
    }
    void start() {
        longest_ = 0;
        boxesBefore_ = boxes.shown;
        measuring_ = true;
    }
    double stop() {
        measuring_ = false;
        return longest_;
    }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* probe = reinterpret_cast<QueueProbe*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_APP && probe != nullptr) {
            // Once the count message shows, its own loop services the queue: the walk is over.
            if (probe->measuring_ && boxes.shown == probe->boxesBefore_) {
                const double waited = now() - probe->base_ - static_cast<double>(lParam) / 1e6;
                probe->longest_ = std::max(probe->longest_, waited);
            }
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    double base_;
    HWND window_ = nullptr;
    std::thread ticker_;
    std::atomic<bool> running_{true};
    bool measuring_ = false;
    int boxesBefore_ = 0;
    double longest_ = 0;
};

// A click on Stop Scan posted `after` seconds into a scan: how soon its handler ran, and how
// soon after the handler's own notice the walk ended.
void stopScan(Program& program, std::size_t drive, double after) {
    program.prepare(drive);
    auto& c = program.form.ui();
    double posted = 0, entered = 0, left = 0;
    const auto stop = c.cmdStopScan.onClick;
    c.cmdStopScan.onClick = [&] {
        entered = now();
        stop();
        left = now();
    };
    const HWND button = program.windowOf(c.cmdStopScan);
    std::thread clicker([&] {
        Sleep(static_cast<DWORD>(after * 1000));
        posted = now();
        PostMessageW(button, BM_CLICK, 0, 0);
    });
    const double start = now();
    program.scan();
    const double end = now();
    clicker.join();
    c.cmdStopScan.onClick = stop;
    if (entered == 0) {
        std::printf("stop scan: the scan ended (%.3f s) before the click\n", end - start);
        return;
    }
    std::printf(
        "stop scan: posted %.3f s into the scan; handler ran %.1f ms after the click; the walk "
        "ended %.1f ms after the handler's %.0f ms notice (%zu rows kept)\n",
        posted - start, (entered - posted) * 1000, (end - left) * 1000, (left - entered) * 1000,
        c.ListFiles.rowCount());
}

// The results list at 100,000 rows, in the real list view: each figure runs until the window
// has painted.
void hugeResult() {
    dustrel::bench::JunkDrive junk;
    Program program(&junk);
    const auto drive = dustrel::bench::driveRow(program.form, L"C:\\");
    if (!drive) {
        return;
    }
    program.prepare(*drive);
    const double scan = program.scan();
    program.pumpUntilIdle();
    auto& c = program.form.ui();
    double start = now();
    c.ListFiles.userColumnClick(0);
    program.pumpUntilIdle();
    const double sort = now() - start;
    start = now();
    PostMessageW(program.windowOf(c.cmdCheck), BM_CLICK, 0, 0);
    program.pumpUntilIdle();
    const double checkAll = now() - start;
    std::printf(
        "results list in the window: %zu rows found in %.3f s (%.1f us a row); header click "
        "%.3f s; Check All %.3f s (%zu ticked)\n",
        c.ListFiles.rowCount(), scan, scan * 1e6 / c.ListFiles.rowCount(), sort, checkAll,
        c.ListFiles.checkedCount());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring root;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc) {
            runs = std::max(1, _wtoi(argv[++i]));
        } else if (root.empty() && !arg.empty() && arg.size() <= 3 && iswalpha(arg[0])) {
            root = std::wstring(1, towupper(arg[0])) + L":\\";
        } else {
            std::fprintf(stderr, "usage: window_bench DRIVE [--runs N]\n");
            return 2;
        }
    }
    if (root.empty()) {
        std::fprintf(stderr, "window_bench: name the drive to walk, e.g. T:\\\n");
        return 2;
    }
    SetWindowsHookExW(WH_CBT, &answerBoxes, nullptr, GetCurrentThreadId());

    dustrel::bench::BareCounts counts;
    dustrel::bench::bareWalk(root, counts);  // warms the caches every timed walk then finds
    std::printf("drive %s: %zu folders, %zu files\n", dustrel::bench::utf8(root).c_str(),
                counts.folders, counts.files);

    dustrel::platform::win32::Win32Platform headlessPlatform;
    SecondCopySystem headlessSystem(headlessPlatform.system);
    dustrel::bench::NullHost headlessHost;
    dustrel::platform::Platform shared = headlessPlatform.platform();
    dustrel::app::AppContext headlessContext{
        {shared.files, shared.shell, shared.registry, headlessSystem, shared.clock, shared.locale},
        {}};
    dustrel::app::FrmMain headless(headlessHost, headlessContext);
    headless.load();
    Program program;
    const auto headlessDrive = dustrel::bench::driveRow(headless, root);
    const auto drive = dustrel::bench::driveRow(program.form, root);
    if (!headlessDrive || !drive) {
        return 1;
    }

    // The three take turns, so that whatever else the machine does weighs on each alike.
    std::vector<double> bare, headlessTimes, window;
    std::size_t windowRows = 0, headlessRows = 0;
    for (int run = 0; run < runs; ++run) {
        dustrel::bench::BareCounts again;
        double start = now();
        dustrel::bench::bareWalk(root, again);
        bare.push_back(now() - start);

        headlessTimes.push_back(dustrel::bench::scanOnce(headless, *headlessDrive));
        headlessRows = headless.ui().ListFiles.rowCount();

        program.prepare(*drive);
        window.push_back(program.scan());
        windowRows = program.form.ui().ListFiles.rowCount();
        std::printf("run %d: bare %.3f s, headless %.3f s, window %.3f s (%s)\n", run + 1,
                    bare.back(), headlessTimes.back(), window.back(),
                    dustrel::bench::utf8(boxes.lastText).c_str());
        std::fflush(stdout);
    }
    dustrel::bench::report("bare", bare);
    dustrel::bench::report("headless", headlessTimes);
    dustrel::bench::report("window", window);
    std::printf("rows: headless %zu, window %zu\n", headlessRows, windowRows);
    std::printf("window/bare: %.2f\nwindow/headless: %.2f\nheadless/bare: %.2f\n",
                median(window) / median(bare), median(window) / median(headlessTimes),
                median(headlessTimes) / median(bare));

    // The window's rows are the model's rows, in the same order.
    const HWND list = program.windowOf(program.form.ui().ListFiles);
    const auto shownRows = static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::printf("list view shows %zu rows for the model's %zu\n", shownRows, windowRows);

    {
        QueueProbe probe;
        program.prepare(*drive);
        probe.start();
        program.scan();
        std::printf("longest a posted message waited during a scan: %.1f ms\n",
                    probe.stop() * 1000);
    }
    stopScan(program, *drive, median(window) / 2);
    std::fflush(stdout);
    hugeResult();
    return 0;
}
