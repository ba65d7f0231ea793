// Times three walks of one drive and checks that the program's scan lists what the classic
// design lists, less that design's known mistakes:
//   real       the program's own scan (platform, scan driver, result list; no window);
//   reference  one ANSI walk of the whole drive per pattern, listing every folder twice and
//              asking the file system about each entry again;
//   bare       one wide listing per folder and nothing else: the floor for any scan.
//
//   scan_bench T:\ [--runs N] [--reference-runs N] [--no-reference] [--huge-only]
//
// --huge-only runs only the results list at 100,000 rows (a made-up drive behind a real root).

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/frm_main.h"
#include "bench_util.h"
#include "name_rules.h"
#include "platform/win32/win32_platform.h"
#include "ui/ui_host.h"

namespace {

using dustrel::bench::BareCounts;
using dustrel::bench::bareWalk;
using dustrel::bench::driveRow;
using dustrel::bench::JunkDrive;
using dustrel::bench::kPatterns;
using dustrel::bench::median;
using dustrel::bench::now;
using dustrel::bench::NullHost;
using dustrel::bench::report;
using dustrel::bench::scanOnce;
using dustrel::bench::utf8;

std::wstring fromAnsi(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(size, 1)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), size);
    out.resize(out.size() - 1);
    return out;
}

// Whether the ANSI code page can hold `text` exactly (best-fit look-alikes do not count).
bool fitsAnsi(const std::wstring& text) {
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr,
                        &usedDefault);
    return !usedDefault;
}

// --- reference: the classic design, modelled call for call --------------------------------------

struct ReferenceRow {
    std::string path;
    std::size_t pattern;
};

void referenceWalk(const std::string& folder, std::size_t pattern,
                   std::vector<ReferenceRow>& rows) {
    std::vector<std::string> subfolders;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            const std::string path = folder + name;
            if (name == "." || name == ".." ||
                (path.size() == 11 && path.compare(1, 10, ":\\RECYCLED") == 0)) {
                continue;
            }
            // A failed query answers with every bit set, so it counts as a folder.
            if ((GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                subfolders.push_back(path + "\\");
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    find = FindFirstFileA((folder + std::string(kPatterns[pattern])).c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            const std::string path = folder + name;
            if (name != "." && name != ".." && !PathIsDirectoryA(path.c_str())) {
                rows.push_back({path, pattern});
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    for (const std::string& subfolder : subfolders) {
        referenceWalk(subfolder, pattern, rows);
    }
}

std::vector<ReferenceRow> referenceScan(const std::string& root) {
    std::vector<ReferenceRow> rows;
    for (std::size_t pattern = 0; pattern < kPatterns.size(); ++pattern) {
        referenceWalk(root, pattern, rows);
    }
    return rows;
}

// --- real: the program's own scan ---------------------------------------------------------------

// Times `runs` scans of `root` through the main window's Next, running `beforeEach` before
// each; false when the drive is not offered.
bool realScans(const std::wstring& root, int runs, std::vector<double>& times,
               std::vector<std::wstring>& rows, const std::function<void()>& beforeEach) {
    dustrel::platform::win32::Win32Platform platform;
    NullHost host;
    dustrel::app::AppContext context{platform.platform(), {}};
    dustrel::app::FrmMain form(host, context);
    form.load();
    const auto drive = driveRow(form, root);
    if (!drive) {
        return false;
    }
    const auto& list = form.ui().ListFiles;
    std::size_t firstCount = 0;
    for (int run = 0; run < runs; ++run) {
        beforeEach();
        times.push_back(scanOnce(form, *drive));
        firstCount = run == 0 ? list.rowCount() : firstCount;
        if (list.rowCount() != firstCount) {
            std::printf("real: run %d listed %zu rows, the first run %zu\n", run + 1,
                        list.rowCount(), firstCount);
        }
    }
    rows.clear();
    for (std::size_t i = 0; i < list.rowCount(); ++i) {
        rows.push_back(list.row(i).text);
    }
    return true;
}

// --- the results list with a huge result ---------------------------------------------------------

// Bytes in use in every heap of the process: what the program holds, not what the heaps keep
// in reserve.
std::size_t heapBytesInUse() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    std::size_t used = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
                used += entry.cbData;
            }
        }
        HeapUnlock(heap);
    }
    return used;
}

// A scan that finds 100,000 files, then a header click and Check All on its rows: each must
// stay well under a second for the window to feel alive. What the program holds for each row
// found (its finding and its list row, each path with them) is measured on the heaps.
void hugeResult(const std::wstring& root) {
    dustrel::platform::win32::Win32Platform platform;
    JunkDrive junk;
    NullHost host;
    dustrel::app::AppContext context{
        {junk, platform.shell, platform.registry, platform.system, platform.clock, platform.locale},
        {}};
    dustrel::app::FrmMain form(host, context);
    form.load();
    const auto drive = driveRow(form, root);
    if (!drive) {
        return;
    }
    const std::size_t heldBefore = heapBytesInUse();
    const double scan = scanOnce(form, *drive);
    const std::size_t rows = form.ui().ListFiles.rowCount();
    std::printf(
        "results list: %zu rows hold %.1f bytes each (a finding %zu and a list row %zu "
        "bytes, the rest their paths)\n",
        rows, static_cast<double>(heapBytesInUse() - heldBefore) / static_cast<double>(rows),
        sizeof(dustrel::scan::Finding), sizeof(dustrel::ui::ListRow));
    double start = now();
    form.ListFiles_ColumnClick(0);
    const double sort = now() - start;
    start = now();
    form.cmdCheck_Click();
    const double checkAll = now() - start;
    std::printf(
        "results list: %zu rows found in %.3f s (%.1f us a row); header click %.3f s; "
        "Check All %.3f s\n",
        form.ui().ListFiles.rowCount(), scan, scan * 1e6 / form.ui().ListFiles.rowCount(), sort,
        checkAll);
}

// --- comparison ---------------------------------------------------------------------------------

void examples(const char* what, const std::vector<std::wstring>& rows) {
    std::printf("%s: %zu\n", what, rows.size());
    for (std::size_t i = 0; i < rows.size() && i < 3; ++i) {
        std::printf("    %s\n", utf8(rows[i]).c_str());
    }
}

// The reference's rows less its mistakes must be the real rows less the names the ANSI
// functions cannot spell. Its mistakes: matches through 8.3 short names, names with substitutes,
// and on a real system drive the files of the Recycle Bins it walks ($Recycle.Bin, RECYCLER).
bool compareRows(const std::vector<ReferenceRow>& reference,
                 const std::vector<std::wstring>& real) {
    std::vector<std::wstring> expected, shortOnly, substituted, inBins, realAnsi, beyondAnsi;
    for (const ReferenceRow& row : reference) {
        const std::string name = row.path.substr(row.path.rfind('\\') + 1);
        if (dustrel::bench::inRecycleBinAtRoot(row.path)) {
            inBins.push_back(fromAnsi(row.path));
        } else if (row.path.find('?') != std::string::npos) {
            substituted.push_back(fromAnsi(row.path));
        } else if (!dustrel::bench::wildMatch(kPatterns[row.pattern], name)) {
            shortOnly.push_back(fromAnsi(row.path));
        } else {
            expected.push_back(fromAnsi(row.path));
        }
    }
    for (const std::wstring& row : real) {
        (fitsAnsi(row) ? realAnsi : beyondAnsi).push_back(row);
    }
    examples("reference rows found only through an 8.3 short name", shortOnly);
    examples("reference rows with ANSI substitutes ('?')", substituted);
    examples("reference rows in a Recycle Bin at the root", inBins);
    examples("real rows beyond the ANSI code page", beyondAnsi);
    const auto differ =
        std::mismatch(expected.begin(), expected.end(), realAnsi.begin(), realAnsi.end());
    const bool same = differ.first == expected.end() && differ.second == realAnsi.end();
    std::printf("rows compared: %zu reference, %zu real\nrows match: %s\n", expected.size(),
                realAnsi.size(), same ? "yes" : "no");
    if (!same) {
        const auto at = static_cast<std::size_t>(differ.first - expected.begin());
        std::printf("first difference at row %zu:\n    reference: %s\n    real:      %s\n", at,
                    differ.first == expected.end() ? "(none)" : utf8(*differ.first).c_str(),
                    differ.second == realAnsi.end() ? "(none)" : utf8(*differ.second).c_str());
    }
    return same;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring root;
    int runs = 5, referenceRuns = -1;
    bool withReference = true, hugeOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc) {
            runs = std::max(1, _wtoi(argv[++i]));
        } else if (arg == L"--reference-runs" && i + 1 < argc) {
            referenceRuns = std::max(1, _wtoi(argv[++i]));
        } else if (arg == L"--no-reference") {
            withReference = false;
        } else if (arg == L"--huge-only") {
            hugeOnly = true;
        } else if (root.empty() && arg.size() >= 1 && arg.size() <= 3 && iswalpha(arg[0])) {
            root = std::wstring(1, towupper(arg[0])) + L":\\";
        } else {
            std::fprintf(stderr,
                         "usage: scan_bench DRIVE [--runs N] [--reference-runs N] "
                         "[--no-reference] [--huge-only]\n");
            return 2;
        }
    }
    if (root.empty()) {
        std::fprintf(stderr, "scan_bench: name the drive to walk, e.g. T:\\\n");
        return 2;
    }
    referenceRuns = referenceRuns < 0 ? runs : referenceRuns;
    std::printf("drive %s, ANSI code page %u, %zu-bit build\n", utf8(root).c_str(), GetACP(),
                sizeof(void*) * 8);
    if (hugeOnly) {
        hugeResult(root);
        return 0;
    }

    // One untimed walk first, so that every timed walk finds the same warm caches.
    BareCounts counts;
    bareWalk(root, counts);
    std::printf("bare walk sees %zu folders and %zu files\n", counts.folders, counts.files);
    std::fflush(stdout);

    // Bare and real walks take turns, so that whatever else the machine does weighs on both.
    std::vector<double> bareTimes, realTimes, referenceTimes;
    const auto timeBare = [&] {
        BareCounts again;
        const double start = now();
        bareWalk(root, again);
        bareTimes.push_back(now() - start);
    };
    std::vector<std::wstring> realRows;
    const bool haveReal = realScans(root, runs, realTimes, realRows, timeBare);
    while (bareTimes.size() < static_cast<std::size_t>(runs)) {
        timeBare();
    }
    report("bare", bareTimes);
    hugeResult(root);
    if (haveReal) {
        report("real", realTimes);
        std::printf("real rows: %zu\nreal/bare: %.2f\n", realRows.size(),
                    median(realTimes) / median(bareTimes));
    }
    std::fflush(stdout);

    if (!withReference) {
        std::printf("rows match: not checked (no reference)\n");
        return haveReal ? 0 : 1;
    }
    std::vector<ReferenceRow> referenceRows;
    const std::string ansiRoot(root.begin(), root.end());
    for (int run = 0; run < referenceRuns; ++run) {
        const double start = now();
        referenceRows = referenceScan(ansiRoot);
        referenceTimes.push_back(now() - start);
        std::fflush(stdout);
    }
    report("reference", referenceTimes);
    std::printf("reference rows: %zu\n", referenceRows.size());
    if (!haveReal) {
        std::printf("rows match: not checked (no real scan)\n");
        return 1;
    }
    std::printf("reference/real: %.1f\n", median(referenceTimes) / median(realTimes));
    return compareRows(referenceRows, realRows) ? 0 : 1;
}
