#include "app/results_page.h"

#include <algorithm>
#include <thread>

#include "app/file_tips.h"
#include "platform/program_info.h"

namespace dustrel::app {

namespace {

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

// The bar shows activity: one step per row, and when full it starts again with a range 100
// larger than before.
void advance(ui::ProgressBar& bar) {
    if (bar.max() != bar.value()) {
        bar.setValue(bar.value() + 1);
    } else {
        bar.setMin(1);
        bar.setMax(bar.max() + 100);
        bar.setValue(1);
    }
}

void enterStoppedState(ui::Form& form, FrmMainControls& c) {
    form.setMousePointer(ui::MousePointer::Default);
    hideProgressBar(c.PBar);
    c.lblPath.setCaption({});
    c.lblExt.setCaption({});
    c.cmdDelete.setEnabled(true);
    c.cmdBack.setEnabled(true);
    c.cmdStopScan.setEnabled(false);
    c.picMessage.setVisible(false);
    c.picMessage.zOrder(ui::ZOrderPosition::Back);
    // The scan's label, emptied, tells a screen reader the scan no longer runs.
    c.lblExt.announce();
}

}  // namespace

void hideProgressBar(ui::ProgressBar& bar) {
    setRange100(bar);
    bar.setEnabled(false);
    bar.setVisible(false);
}

void ResultsPage::clearResults() {
    c_.ListFiles.clear();
    findings().clear();
    recountTicked();
}

// --- what the ticked files take ---------------------------------------------------------------

void ResultsPage::showTicked() {
    c_.cmdDelete.setToolTipText(tickedTip(context_.platform.locale, context_.state.tickedCount,
                                          context_.state.tickedBytes));
}

void ResultsPage::recountTicked() {
    AppState& state = context_.state;
    state.tickedCount = 0;
    state.tickedBytes = 0;
    const auto& list = c_.ListFiles;
    for (std::size_t i = 0; i < list.rowCount(); ++i) {
        const ui::ListRow& row = list.row(i);
        if (row.checked && row.tag < findings().size()) {
            ++state.tickedCount;
            state.tickedBytes += findings()[row.tag].size;
        }
    }
    showTicked();
}

void ResultsPage::ListFiles_ItemCheck(std::size_t item) {
    const auto& list = c_.ListFiles;
    if (item >= list.rowCount() || list.row(item).tag >= findings().size()) {
        return;
    }
    const ui::ListRow& row = list.row(item);
    AppState& state = context_.state;
    const std::uint64_t size = findings()[row.tag].size;
    if (row.checked) {
        ++state.tickedCount;
        state.tickedBytes += size;
    } else if (state.tickedCount > 0) {
        --state.tickedCount;
        state.tickedBytes -= std::min(size, state.tickedBytes);
    }
    showTicked();
}

std::wstring ResultsPage::foundFileTip(const ui::ListRow& row) {
    if (row.tag >= findings().size()) {
        return {};
    }
    const scan::Finding& found = findings()[row.tag];
    return fileTip(context_.platform.locale, found.size, found.lastWrite);
}

std::wstring ResultsPage::deletedFileTip(const ui::ListRow& row) {
    const auto& deleted = context_.state.deletedFiles;
    if (row.tag >= deleted.size()) {
        return {};
    }
    return fileTip(context_.platform.locale, deleted[row.tag].size, deleted[row.tag].lastWrite);
}

// --- the scan -------------------------------------------------------------------------------

void ResultsPage::cmdNext1_Click() {
    scan::ScanSession& session = context_.state.scan;
    if (session.running) {
        return;
    }
    c_.cmdBack.setEnabled(false);
    if (c_.lstOptions.checkedCount() == 0) {
        host().messageBox(L"Please Select At Least One File Type", platform::kProgramTitle,
                          {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop});
        return;
    }

    session.ScanStopped = false;
    // Cleared however the scan ends, also when the program ends under it.
    struct Scanning {
        bool& flag;
        explicit Scanning(bool& f) : flag(f) { flag = true; }
        ~Scanning() { flag = false; }
    } scanning(session.running);
    clearResults();
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

    platform::System& system = context_.platform.system;
    scan::Scan(context_.platform.files, session, *this, [&system](const std::wstring& root) {
        // Unknown is taken for no penalty: the query fails on volumes spread over several
        // disks and on virtual ones, which serve parallel reads well, and a spinning disk
        // taken for a solid one loses less than a solid one held to one thread.
        bool penalty = false;
        const bool known = platform::ok(system.seekPenalty(root, penalty));
        return scan::listingWorkers(std::thread::hardware_concurrency(), known && penalty);
    }).run();
}

void ResultsPage::cmdStopScan_Click() {
    scan::ScanSession& session = context_.state.scan;
    if (!session.running || session.ScanStopped) {
        return;
    }
    session.ScanStopped = true;
    scan::stopListingAhead(session);
    // Pressing it again would only freeze the window once more.
    c_.cmdStopScan.setEnabled(false);
    c_.picMessage.setVisible(true);
    c_.picMessage.zOrder(ui::ZOrderPosition::Front);
    c_.Label13.announce();
    host().refresh(form_);
    context_.platform.system.sleep(kStopNoticeMs);
}

scan::ScanRequest ResultsPage::searchStarted() {
    form_.setMousePointer(ui::MousePointer::Hourglass);
    scan::ScanRequest ticks;
    for (std::size_t row = 0; row < c_.ListDrive.rowCount(); ++row) {
        if (c_.ListDrive.row(row).checked) {
            ticks.roots.push_back(c_.ListDrive.row(row).text);
        }
    }
    for (std::size_t row = 0; row < c_.lstOptions.rowCount(); ++row) {
        ticks.rows.push_back({c_.lstOptions.row(row).text, c_.lstOptions.row(row).checked});
    }
    ticks.customExtensions = context_.state.CustomRowExtensions;
    return ticks;
}

void ResultsPage::searchDone() {
    c_.cmdDelete.setEnabled(true);
    host().refresh(form_);
    form_.setMousePointer(ui::MousePointer::Default);
}

// Between two folders, where the user's clicks are handled: thousands of folders a second
// need not each pay for a look at the queue.
void ResultsPage::folderReached(const std::wstring& /*folder*/) {
    if (servicePace_.due(context_.platform.clock.milliseconds())) {
        host().doEvents();
    }
}

void ResultsPage::fileFound(scan::Finding finding, const std::wstring& label) {
    walk_ = finding.walk;
    c_.lblPath.setCaption(finding.path.substr(0, finding.path.rfind(L'\\') + 1));
    c_.lblExt.setCaption(label);
    c_.ListFiles.addRow(finding.path, {}, findings().size());
    findings().push_back(std::move(finding));
    advance(c_.PBar);
}

// Rows are appended as they are found; when a drive's walk ends they are put in walk order,
// unless the user has sorted the list by its header: then it is sorted again, rows found since
// the click included.
void ResultsPage::driveDone() {
    auto& list = c_.ListFiles;
    if (list.sorted()) {
        list.resort();
        return;
    }
    const auto& found = findings();
    list.orderTail(
        [&](std::uint64_t tag) { return tag < found.size() && found[tag].walk == walk_; },
        [&](std::uint64_t a, std::uint64_t b) { return found[a].before(found[b]); });
}

void ResultsPage::scanStopped() {
    enterStoppedState(form_, c_);
}

void ResultsPage::scanEnded(scan::ScanEnd end) {
    auto& bar = c_.PBar;
    bar.setMax(bar.value() + 100);
    bar.setValue(bar.max());
    const std::size_t found = c_.ListFiles.rowCount();
    context_.state.scan.running = false;
    c_.cmdStopScan.setEnabled(false);
    if (end == scan::ScanEnd::Stopped) {
        // A stop after the last match met no walk that could act on it.
        enterStoppedState(form_, c_);
        return;
    }
    c_.lblExt.setCaption(L"Finish Searching for specified files");
    c_.lblPath.setCaption({});
    c_.cmdBack.setEnabled(true);
    host().messageBox(std::to_wstring(found) + L" Files Found", platform::kProgramTitle,
                      {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Information});
}

// --- cleaning -------------------------------------------------------------------------------

std::vector<std::wstring> ResultsPage::tickedPaths() {
    std::vector<std::wstring> paths;
    const auto& list = c_.ListFiles;
    for (std::size_t i = 0; i < list.rowCount(); ++i) {
        if (list.row(i).checked) {
            paths.push_back(list.row(i).text);
            tickedTags_.emplace(list.row(i).text, list.row(i).tag);
        }
    }
    return paths;
}

void ResultsPage::fileDeleted(const std::wstring& path) {
    deleted_.push_back(path);
    gone_.insert(path);
}

void ResultsPage::fileGone(const std::wstring& path) {
    gone_.insert(path);
}

void ResultsPage::removeGoneRows() {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < c_.ListFiles.rowCount() && !gone_.empty(); ++i) {
        if (gone_.count(c_.ListFiles.row(i).text) != 0) {
            rows.push_back(i);
        }
    }
    if (!rows.empty()) {
        c_.ListFiles.removeRows(std::move(rows));
    }
}

void ResultsPage::tellUser(const std::wstring& text) {
    host().messageBox(text, platform::kProgramTitle,
                      {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop});
}

// Deletes the ticked files for good, lists them on the deleted-files page and shows it. A row
// goes when its file has gone, and stays, still ticked, while its file is there or its fate
// cannot be told.
void ResultsPage::cmdDelete_Click() {
    if (c_.ListFiles.checkedCount() == 0) {
        tellUser(L"Please Select At Least One File To Delete");
        return;
    }
    form_.setMousePointer(ui::MousePointer::Hourglass);
    const clean::DeleteSummary summary =
        clean::Cleaner(context_.platform, host(), *this).deleteFiles(tickedPaths());
    form_.setMousePointer(ui::MousePointer::Default);

    removeGoneRows();
    recountTicked();
    auto& deletedFiles = context_.state.deletedFiles;
    for (const std::wstring& path : deleted_) {
        AppState::DeletedFile file;
        if (const auto tag = tickedTags_.find(path);
            tag != tickedTags_.end() && tag->second < findings().size()) {
            file = {findings()[tag->second].size, findings()[tag->second].lastWrite};
        }
        c_.lstFilesDelete.addRow(path, {}, deletedFiles.size());
        deletedFiles.push_back(file);
    }
    if (summary.kept > 0) {
        tellUser(std::to_wstring(summary.kept) + L" Files Could Not Be Deleted");
    }
    if (summary.ownExecutableTicked) {
        tellUser(L"Dustrel.exe Cannot Be Removed");
    }
    c_.Frame1.zOrder(ui::ZOrderPosition::Front);
}

// Moves the ticked files into the Recycle Bin and takes the rows of the files gone off the list.
void ResultsPage::cmdRecycle_Click() {
    clean::Cleaner(context_.platform, host(), *this).recycleFiles(tickedPaths());
    removeGoneRows();
    recountTicked();
}

}  // namespace dustrel::app
