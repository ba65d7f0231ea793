#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace dustrel::app {

// Program-wide state, owned by the application and handed to the windows by reference.
struct AppState {
    // The stop request of a running scan.
    bool ScanStopped = false;
    // A scan is under way (its walks service the window, so handlers run inside it).
    bool scanRunning = false;
    // The custom-extension list as stored, decoded, and its parts by entry.
    std::wstring CustomExtValue;
    std::vector<std::wstring> CustomEntries;
    std::vector<std::wstring> CustomNames;
    std::vector<std::wstring> CustomExtensions;
    // The custom entry behind each custom category row, in row order (row 7 + k pairs with
    // entry CustomRowEntries[k]).
    std::vector<std::size_t> CustomRowEntries;
    // One letter per drive present, in letter order.
    std::vector<std::wstring> DriveLetters;
};

struct AppContext {
    platform::Platform platform;
    AppState state;
};

}  // namespace dustrel::app
