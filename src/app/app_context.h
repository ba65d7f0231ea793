#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "scan/finding.h"
#include "scan/scan_driver.h"

namespace dustrel::app {

// What the windows share, owned by the application and handed to them by reference.
struct AppState {
    // The scan's stop request and whether one is under way (its walks service the window, so
    // handlers run inside it).
    scan::ScanSession scan;
    // What the last scan found; each row of the results list names one by its tag.
    std::vector<scan::Finding> findings;
    // The ticked rows of the results list and what their files take together, kept as ticks
    // change so that no tick counts the whole list again.
    std::size_t tickedCount = 0;
    std::uint64_t tickedBytes = 0;
    // What the files on the deleted-files list weighed; each row names its own by its tag.
    struct DeletedFile {
        std::uint64_t size = 0;
        std::uint64_t lastWrite = 0;
    };
    std::vector<DeletedFile> deletedFiles;
    // The custom-extension list as stored, decoded; the custom-extension window edits it.
    std::wstring CustomExtValue;
    // The extension of each custom category row, in row order (row 7 + k searches for
    // CustomRowExtensions[k]).
    std::vector<std::wstring> CustomRowExtensions;
};

struct AppContext {
    platform::Platform platform;
    AppState state;
};

}  // namespace dustrel::app
