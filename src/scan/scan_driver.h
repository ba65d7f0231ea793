#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "scan/finding.h"
#include "scan/listing_ahead.h"
#include "scan/name_pattern.h"

namespace dustrel::scan {

enum class ScanEnd { Finished, Stopped };

// A row of the category list as the scan reads it.
struct CategoryRow {
    std::wstring text;
    bool checked = false;
};

// What the user ticked, read when the scan starts.
struct ScanRequest {
    // The checked drives' roots, in list order.
    std::vector<std::wstring> roots;
    // The whole category list: the built-in categories, then one row per custom item.
    std::vector<CategoryRow> rows;
    // The extension of each custom row, in row order.
    std::vector<std::wstring> customExtensions;
};

// What a scan reports as it goes; the results page shows it.
class ScanProgress {
public:
    virtual ~ScanProgress() = default;
    // One of the two searches (the built-in categories, the custom items) starts: answers the
    // ticks of the drive and category lists as they are now.
    virtual ScanRequest searchStarted() = 0;
    // That search has walked every drive (or met a stop).
    virtual void searchDone() = 0;
    // A folder was listed, before its matches: where the window is serviced.
    virtual void folderReached(const std::wstring& folder) = 0;
    // `label` names the finding's category or custom item.
    virtual void fileFound(Finding finding, const std::wstring& label) = 0;
    // One drive's walk has ended; every file it found has been reported.
    virtual void driveDone() = 0;
    // A walk met the stop request at a match, which it drops; no search goes on.
    virtual void scanStopped() = 0;
    // The whole scan is over.
    virtual void scanEnded(ScanEnd end) = 0;
};

// What lasts from one scan handler to the next: the main window owns it.
struct ScanSession {
    // The stop request: set by Stop Scan, read by the walks.
    bool ScanStopped = false;
    // Whether a scan is under way; Stop Scan does nothing outside one, and a scan never starts
    // inside another.
    bool running = false;
    // The threads listing ahead of the drive's walk under way, if it has any.
    ListingAhead* listingAhead = nullptr;
};

// Ends the threads listing ahead of the walk under way and drops what they listed. For Stop
// Scan and the ways out of the program, which run inside the walk's servicing of the window
// and may keep it waiting (Stop Scan's notice, a goodbye): no thread lists on meanwhile.
void stopListingAhead(ScanSession& session);

// How many threads may list ahead of the walk of a drive, by its root; 0 for none.
using ListingThreads = std::function<unsigned(const std::wstring& root)>;

// One scan: the built-in categories on the checked drives, one walk per drive for all checked
// categories; then, when the list has custom rows, the checked custom items in the same way.
// Each search reads the ticks when it starts.
class Scan {
public:
    Scan(platform::FileSystem& files, ScanSession& session, ScanProgress& progress,
         ListingThreads listingThreads = {})
        : files_(files),
          session_(session),
          progress_(progress),
          listingThreads_(std::move(listingThreads)) {}

    void run();
    void Search_Files();
    void Search_Custom_Files();

private:
    // The patterns of one search, each with the row it comes from and its label.
    struct Search {
        std::vector<NamePattern> patterns;
        std::vector<std::uint32_t> rows;
        std::vector<std::uint32_t> places;
        std::vector<std::wstring> labels;
        void add(std::size_t row, std::size_t place, std::wstring_view pattern,
                 std::wstring_view label);
    };
    class DriveWalk;
    void searchDrives(const std::vector<std::wstring>& roots, const Search& search);

    platform::FileSystem& files_;
    // The category list's rows when last read.
    std::size_t rows_ = 0;
    ScanSession& session_;
    ScanProgress& progress_;
    ListingThreads listingThreads_;
    std::uint32_t walks_ = 0;
};

}  // namespace dustrel::scan
