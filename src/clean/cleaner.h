#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "ui/ui_host.h"

namespace dustrel::clean {

// What a Delete or a Recycle reports of the files it came to.
class CleaningReport {
public:
    virtual ~CleaningReport() = default;
    // Deleted for good by this Delete; its log line has been handed to the system.
    virtual void fileDeleted(const std::wstring& path) = 0;
    // No longer there: moved into the Recycle Bin, or gone by other hands before its turn.
    virtual void fileGone(const std::wstring& path) = 0;
};

// What a Delete leaves to be told to the user.
struct DeleteSummary {
    // Files still there, or not to be touched (see DeletionOutcome::Kept).
    std::size_t kept = 0;
    // The program's own file was ticked; it is never deleted.
    bool ownExecutableTicked = false;
};

// The results page's two cleaning actions on the ticked files' paths, in row order. A path is
// one file only by its exact text; a file found by two patterns comes twice and is acted on,
// reported and logged once. The window is serviced between files.
class Cleaner {
public:
    Cleaner(const platform::Platform& platform, ui::UiHost& host, CleaningReport& report)
        : platform_(platform), host_(host), report_(report) {}

    // Deletes the files for good, all but the program's own, one by one through their own
    // handles, logging each as it goes.
    DeleteSummary deleteFiles(const std::vector<std::wstring>& ticked);
    // Moves the files into the Recycle Bin, one shell call each.
    void recycleFiles(const std::vector<std::wstring>& ticked);

private:
    const platform::Platform& platform_;
    ui::UiHost& host_;
    CleaningReport& report_;
};

}  // namespace dustrel::clean
