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

#include "bench_window.h"
#include "scan/listing_ahead.h"

namespace {

using dustrel::bench::boxes;
using dustrel::bench::median;
using dustrel::bench::now;
using dustrel::bench::Program;
using dustrel::bench::SecondCopySystem;

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
    dustrel::bench::answerBoxesOnThisThread();

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
    // As many threads as the window's scan lists with on this machine.
    const unsigned threads =
        dustrel::scan::listingWorkers(std::thread::hardware_concurrency(), false);
    std::vector<double> bare, bareThreads, headlessTimes, window;
    std::size_t windowRows = 0, headlessRows = 0;
    for (int run = 0; run < runs; ++run) {
        dustrel::bench::BareCounts again;
        double start = now();
        dustrel::bench::bareWalk(root, again);
        bare.push_back(now() - start);

        dustrel::bench::BareCounts parallel;
        start = now();
        dustrel::bench::bareWalkThreads(root, threads, parallel);
        bareThreads.push_back(now() - start);

        headlessTimes.push_back(dustrel::bench::scanOnce(headless, *headlessDrive));
        headlessRows = headless.ui().ListFiles.rowCount();

        program.prepare(*drive);
        window.push_back(program.scan());
        windowRows = program.form.ui().ListFiles.rowCount();
        std::printf(
            "run %d: bare %.3f s, bare on %u threads %.3f s, headless %.3f s, window %.3f s (%s)\n",
            run + 1, bare.back(), threads, bareThreads.back(), headlessTimes.back(), window.back(),
            dustrel::bench::utf8(boxes.lastText).c_str());
        std::fflush(stdout);
    }
    dustrel::bench::report("bare", bare);
    dustrel::bench::report("bare-mt", bareThreads);
    dustrel::bench::report("headless", headlessTimes);
    dustrel::bench::report("window", window);
    std::printf("rows: headless %zu, window %zu\n", headlessRows, windowRows);
    std::printf(
        "window/bare: %.2f\nwindow/bare on %u threads: %.2f\nwindow/headless: %.2f\n"
        "headless/bare: %.2f\n",
        median(window) / median(bare), threads, median(window) / median(bareThreads),
        median(window) / median(headlessTimes), median(headlessTimes) / median(bare));

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
