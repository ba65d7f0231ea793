#include "scan/scan_driver.h"

#include <algorithm>

#include "scan/junk_categories.h"
#include "scan/search_folder.h"

namespace dustrel::scan {

namespace {

constexpr std::size_t kBuiltInRows = kJunkCategories.size();

// One drive's walk, turning its matches into findings.
class DriveWalk final : public WalkSink {
public:
    DriveWalk(Finding place, const std::vector<std::uint32_t>& rows,
              const std::vector<std::uint32_t>& places, const std::vector<std::wstring>& labels,
              const ScanSession& session, ScanProgress& progress)
        : place_(std::move(place)),
          rows_(rows),
          places_(places),
          labels_(labels),
          session_(session),
          progress_(progress) {}

    void folderListed(const std::wstring& folder) override { progress_.folderReached(folder); }

    bool match(const std::wstring& folder, const platform::FolderEntry& file,
               std::size_t pattern) override {
        if (session_.ScanStopped) {
            progress_.scanStopped();
            return false;
        }
        Finding finding = place_;
        finding.path = folder + file.name;
        finding.size = file.size;
        finding.lastWrite = file.lastWrite;
        finding.row = rows_[pattern];
        finding.pattern = places_[pattern];
        progress_.fileFound(std::move(finding), labels_[pattern]);
        return true;
    }

private:
    Finding place_;
    const std::vector<std::uint32_t>& rows_;
    const std::vector<std::uint32_t>& places_;
    const std::vector<std::wstring>& labels_;
    const ScanSession& session_;
    ScanProgress& progress_;
};

}  // namespace

void Scan::Search::add(std::size_t row, std::size_t place, std::wstring_view pattern,
                       std::wstring_view label) {
    patterns.emplace_back(pattern);
    rows.push_back(static_cast<std::uint32_t>(row));
    places.push_back(static_cast<std::uint32_t>(place));
    labels.emplace_back(label);
}

void Scan::run() {
    Search_Files();
    if (rows_ > kBuiltInRows) {
        Search_Custom_Files();
    }
    progress_.scanEnded(session_.ScanStopped ? ScanEnd::Stopped : ScanEnd::Finished);
}

void Scan::Search_Files() {
    const ScanRequest ticks = progress_.searchStarted();
    rows_ = ticks.rows.size();
    Search search;
    for (std::size_t row = 0; row < std::min(kBuiltInRows, rows_); ++row) {
        if (!ticks.rows[row].checked) {
            continue;
        }
        const JunkCategory& category = kJunkCategories[row];
        for (std::size_t p = 0; p < category.patterns.size(); ++p) {
            search.add(row, p, category.patterns[p], category.name);
        }
    }
    searchDrives(ticks.roots, search);
}

void Scan::Search_Custom_Files() {
    const ScanRequest ticks = progress_.searchStarted();
    rows_ = ticks.rows.size();
    Search search;
    for (std::size_t row = kBuiltInRows; row < rows_; ++row) {
        const std::size_t item = row - kBuiltInRows;
        if (!ticks.rows[row].checked || item >= ticks.customExtensions.size()) {
            continue;
        }
        search.add(row, 0, customPattern(ticks.customExtensions[item]), ticks.rows[row].text);
    }
    searchDrives(ticks.roots, search);
}

// Walks the checked drives for `search`; the user may go on to Delete whatever came of it.
void Scan::searchDrives(const std::vector<std::wstring>& roots, const Search& search) {
    for (std::size_t drive = 0; drive < roots.size() && !search.patterns.empty(); ++drive) {
        if (session_.ScanStopped) {
            break;
        }
        Finding place;
        place.walk = walks_++;
        DriveWalk walk(std::move(place), search.rows, search.places, search.labels, session_,
                       progress_);
        (void)Search_Folder(files_, roots[drive], search.patterns, walk);
        progress_.driveDone();
    }
    progress_.searchDone();
}

}  // namespace dustrel::scan
