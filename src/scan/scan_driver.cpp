#include "scan/scan_driver.h"

#include <algorithm>
#include <cstdint>
#include <functional>

#include "platform/program_info.h"
#include "scan/junk_categories.h"
#include "ui/update_pace.h"

namespace dustrel::scan {

namespace {

constexpr std::size_t kBuiltInRows = kJunkCategories.size();
constexpr unsigned kStopNoticeMs = 2000;

// Either order of the two setters is refused when the old range lies wholly above or below the
// new one; the other order then works.
void setRange100(ui::ProgressBar& bar) {
    if (!bar.setMin(1)) {
        bar.setMax(100);
        bar.setMin(1);
    }
    bar.setMax(100);
}

std::wstring driveRoot(const std::wstring& rowText) {
    if (!rowText.empty() && rowText.back() == L'\\') {
        return rowText;
    }
    return rowText + L'\\';
}

// One drive's walk as the results page sees it. Rows are appended as they are found, each
// tagged with its place in the order one walk per pattern would have given: this walk (drives,
// then categories, come in list order), then the pattern, then the walk. At the end of the walk
// they are put in that order, unless the user has sorted the list by its header: then it is
// sorted again, rows found since the click included.
class DriveWalk final : public WalkSink {
public:
    DriveWalk(ScanControls& c, std::function<void()> service,
              const std::vector<std::wstring>& labels, const bool& stopped,
              std::function<void()> stop)
        : c_(c),
          service_(std::move(service)),
          labels_(labels),
          stopped_(stopped),
          stop_(std::move(stop)) {
        const auto& list = c_.ListFiles;
        const std::uint64_t lastWalk =
            list.rowCount() == 0 ? 0 : (list.row(list.rowCount() - 1).tag >> kWalkShift) + 1;
        firstTag_ = lastWalk << kWalkShift;
    }

    void folderListed() override { service_(); }

    bool match(const std::wstring& folder, const std::wstring& name, std::size_t pattern) override {
        if (stopped_) {
            stop_();
            return false;
        }
        const std::uint64_t place = std::min<std::uint64_t>(pattern, kMaxPatternPlace);
        c_.ListFiles.addRow(folder + name, {}, firstTag_ | place << kPatternShift | found_++);
        c_.lblPath.setCaption(folder);
        c_.lblExt.setCaption(labels_[pattern]);
        advance(c_.PBar);
        return true;
    }

    void settleRows() {
        auto& list = c_.ListFiles;
        if (list.sorted()) {
            list.resort();
        } else {
            list.orderTailByTag(firstTag_);
        }
    }

private:
    static constexpr int kWalkShift = 48;
    static constexpr int kPatternShift = 32;
    static constexpr std::uint64_t kMaxPatternPlace = 0xFFFF;

    // The bar shows activity: one step per row, and when full it starts again with a range
    // 100 larger than before.
    static void advance(ui::ProgressBar& bar) {
        if (bar.max() != bar.value()) {
            bar.setValue(bar.value() + 1);
        } else {
            bar.setMin(1);
            bar.setMax(bar.max() + 100);
            bar.setValue(1);
        }
    }

    ScanControls& c_;
    std::function<void()> service_;
    const std::vector<std::wstring>& labels_;
    const bool& stopped_;
    std::function<void()> stop_;
    std::uint64_t firstTag_ = 0;
    std::uint32_t found_ = 0;
};

}  // namespace

void ScanDriver::cmdNext1_Click() {
    if (session_.running) {
        return;
    }
    c_.cmdBack.setEnabled(false);
    if (c_.lstOptions.checkedCount() == 0) {
        host_.messageBox(L"Please Select At Least One File Type", platform::kProgramTitle,
                         {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop});
        return;
    }

    session_.ScanStopped = false;
    // Cleared however the scan ends, also when the program ends under it.
    struct Scanning {
        bool& flag;
        explicit Scanning(bool& f) : flag(f) { flag = true; }
        ~Scanning() { flag = false; }
    } scanning(session_.running);
    c_.ListFiles.clear();
    c_.lblPath.setCaption({});
    c_.lblExt.setCaption({});
    auto& bar = c_.PBar;
    bar.setEnabled(true);
    bar.setVisible(true);
    setRange100(bar);
    bar.setValue(1);
    // A notice left over from an earlier stop must not cover the new results.
    c_.picMessage.setVisible(false);
    c_.cmdStopScan.setEnabled(true);
    c_.Frame3.zOrder(ui::ZOrderPosition::Front);

    Search_Files();
    if (c_.lstOptions.rowCount() > kBuiltInRows) {
        Search_Custom_Files();
    }

    bar.setMax(bar.value() + 100);
    bar.setValue(bar.max());
    const std::size_t found = c_.ListFiles.rowCount();
    session_.running = false;
    c_.cmdStopScan.setEnabled(false);
    if (session_.ScanStopped) {
        // A stop after the last match met no walk that could act on it.
        enterStoppedState();
        return;
    }
    c_.lblExt.setCaption(L"Finish Searching for specified files");
    c_.lblPath.setCaption({});
    c_.cmdBack.setEnabled(true);
    host_.messageBox(std::to_wstring(found) + L" Files Found", platform::kProgramTitle,
                     {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Information});
}

void ScanDriver::cmdStopScan_Click() {
    if (!session_.running || session_.ScanStopped) {
        return;
    }
    session_.ScanStopped = true;
    // Pressing it again would only freeze the window once more.
    c_.cmdStopScan.setEnabled(false);
    c_.picMessage.setVisible(true);
    c_.picMessage.zOrder(ui::ZOrderPosition::Front);
    host_.refresh(c_.form);
    platform_.system.sleep(kStopNoticeMs);
}

void ScanDriver::Search_Files() {
    c_.form.setMousePointer(ui::MousePointer::Hourglass);
    Search search;
    const std::size_t rows = std::min(kBuiltInRows, c_.lstOptions.rowCount());
    for (std::size_t row = 0; row < rows; ++row) {
        if (!c_.lstOptions.row(row).checked) {
            continue;
        }
        for (const std::wstring_view pattern : kJunkCategories[row].patterns) {
            search.patterns.emplace_back(pattern);
            search.labels.emplace_back(kJunkCategories[row].name);
        }
    }
    searchDrives(search);
}

void ScanDriver::Search_Custom_Files() {
    c_.form.setMousePointer(ui::MousePointer::Hourglass);
    Search search;
    for (std::size_t row = kBuiltInRows; row < c_.lstOptions.rowCount(); ++row) {
        const std::size_t item = row - kBuiltInRows;
        if (!c_.lstOptions.row(row).checked || item >= customExtensions_.size()) {
            continue;
        }
        search.patterns.emplace_back(customPattern(customExtensions_[item]));
        search.labels.push_back(c_.lstOptions.row(row).text);
    }
    searchDrives(search);
}

// Walks the checked drives for `search`, then lets the user go on to Delete whatever came of
// it.
void ScanDriver::searchDrives(const Search& search) {
    walkDrives(search);
    c_.cmdDelete.setEnabled(true);
    host_.refresh(c_.form);
    c_.form.setMousePointer(ui::MousePointer::Default);
}

void ScanDriver::walkDrives(const Search& search) {
    if (search.patterns.empty()) {
        return;
    }
    // The drive list may change under a walk only by the user's ticks; read it once.
    std::vector<std::wstring> roots;
    for (std::size_t row = 0; row < c_.ListDrive.rowCount(); ++row) {
        if (c_.ListDrive.row(row).checked) {
            roots.push_back(driveRoot(c_.ListDrive.row(row).text));
        }
    }
    for (const std::wstring& root : roots) {
        if (session_.ScanStopped) {
            return;
        }
        DriveWalk walk(
            c_, [this] { serviceQueue(); }, search.labels, session_.ScanStopped,
            [this] { enterStoppedState(); });
        (void)Search_Folder(platform_.files, root, search.patterns, walk);
        walk.settleRows();
    }
}

// Between two folders, where the user's clicks are handled: thousands of folders a second
// need not each pay for a look at the queue.
void ScanDriver::serviceQueue() {
    if (servicePace_.due(platform_.clock.milliseconds())) {
        host_.doEvents();
    }
}

void ScanDriver::enterStoppedState() {
    c_.form.setMousePointer(ui::MousePointer::Default);
    hideProgressBar(c_.PBar);
    c_.lblPath.setCaption({});
    c_.lblExt.setCaption({});
    c_.cmdDelete.setEnabled(true);
    c_.cmdBack.setEnabled(true);
    c_.cmdStopScan.setEnabled(false);
    c_.picMessage.setVisible(false);
    c_.picMessage.zOrder(ui::ZOrderPosition::Back);
}

void hideProgressBar(ui::ProgressBar& bar) {
    setRange100(bar);
    bar.setEnabled(false);
    bar.setVisible(false);
}

}  // namespace dustrel::scan
