#include "scan/scan_driver.h"

#include <algorithm>

#include "scan/junk_categories.h"
#include "scan/search_folder.h"

namespace dustrel::scan {

namespace {

constexpr std::size_t kBuiltInRows = kJunkCategories.size();

}  // namespace

void stopListingAhead(ScanSession& session) {
    if (session.listingAhead != nullptr) {
        session.listingAhead->stop();
    }
}

// One drive's walk, turning its matches into findings.
class Scan::DriveWalk final : public WalkSink {
public:
    DriveWalk(std::uint32_t walk, const Search& search, const ScanSession& session,
              ScanProgress& progress)
        : walk_(walk), search_(search), session_(session), progress_(progress) {}

    void folderListed(const std::wstring& folder) override { progress_.folderReached(folder); }

    bool match(const std::wstring& folder, const platform::FolderEntry& file,
               std::size_t pattern) override {
        if (session_.ScanStopped) {
            progress_.scanStopped();
            return false;
        }
        Finding finding;
        finding.walk = walk_;
        finding.path = folder + file.name;
        finding.size = file.size;
        finding.lastWrite = file.lastWrite;
        finding.row = search_.rows[pattern];
        finding.pattern = search_.places[pattern];
        progress_.fileFound(std::move(finding), search_.labels[pattern]);
        return true;
    }

private:
    std::uint32_t walk_;
    const Search& search_;
    const ScanSession& session_;
    ScanProgress& progress_;
};

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
        DriveWalk walk(walks_++, search, session_, progress_);
        const unsigned workers = listingThreads_ ? listingThreads_(roots[drive]) : 0;
        if (workers == 0) {
            (void)Search_Folder(files_, roots[drive], search.patterns, walk);
        } else {
            ListingAhead ahead(files_, workers);
            // Gone before the threads are: however the walk ends, a way out that comes later
            // must find nothing to stop.
            struct Registered {
                ScanSession& session;
                ~Registered() { session.listingAhead = nullptr; }
            } registered{session_};
            session_.listingAhead = &ahead;
            (void)Search_Folder(ahead, roots[drive], search.patterns, walk);
        }
        progress_.driveDone();
    }
    progress_.searchDone();
}

}  // namespace dustrel::scan
