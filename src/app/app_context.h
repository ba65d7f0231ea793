#pragma once

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
