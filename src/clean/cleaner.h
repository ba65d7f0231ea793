#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/platform.h"
#include "ui/form.h"

namespace dustrel::clean {

// The main window's controls that the cleaning actions read and write.
struct CleanControls {
    ui::Form& form;
    ui::ListView& ListFiles;
    ui::ListView& lstFilesDelete;
    ui::Frame& Frame1;
};

// Whether a row list holds anything.
inline bool ArrayHasItems(const std::vector<std::size_t>& rows) {
    return !rows.empty();
}

// The results page's two cleaning actions. Made for one handler call; everything that lasts is
// in the controls. A row is its exact path: two rows are one file only when their texts are
// identical. The files ticked when the action starts are the ones acted on. A row goes when its
// file has gone, and stays, still ticked, while its file is there or its fate cannot be told.
class Cleaner {
public:
    Cleaner(CleanControls controls, const platform::Platform& platform, ui::UiHost& host)
        : c_(controls), platform_(platform), host_(host) {}

    // Deletes the ticked files for good, all but the program's own, one by one through their
    // own handles, logging each as it goes; lists them on the deleted-files page and shows it.
    // The window is serviced between files.
    void cmdDelete_Click();
    // Moves the ticked files into the Recycle Bin, one shell call each, and takes the rows of
    // the files gone off the list.
    void cmdRecycle_Click();

private:
    using Paths = std::unordered_set<std::wstring>;

    // The ticked rows' paths, each once, in row order; with `ownExecutableTicked`, all but the
    // program's own file, whose tick it reports.
    std::vector<std::wstring> tickedPaths(bool* ownExecutableTicked);
    // Takes off the list every row, ticked or not, that names a file in `gone`.
    void removeRowsOf(const Paths& gone);
    void tellUser(const std::wstring& text);

    CleanControls c_;
    const platform::Platform& platform_;
    ui::UiHost& host_;
};

}  // namespace dustrel::clean
