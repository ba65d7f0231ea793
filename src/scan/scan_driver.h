#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "scan/name_pattern.h"
#include "scan/search_folder.h"
#include "ui/form.h"
#include "ui/update_pace.h"

namespace dustrel::scan {

// The main window's controls that a scan reads and writes.
struct ScanControls {
    ui::Form& form;
    ui::ListView& ListDrive;
    ui::ListView& lstOptions;
    ui::Frame& Frame3;
    ui::ListView& ListFiles;
    ui::ProgressBar& PBar;
    ui::Label& lblExt;
    ui::Label& lblPath;
    ui::Button& cmdBack;
    ui::Button& cmdDelete;
    ui::Button& cmdStopScan;
    ui::PictureBox& picMessage;
};

// What lasts from one scan handler to the next: the main window owns it.
struct ScanSession {
    // The stop request: set by Stop Scan, read by the walks.
    bool ScanStopped = false;
    // Whether a scan is under way; Stop Scan does nothing outside one, and a scan never starts
    // inside another.
    bool running = false;
};

// The scan: the results page's Next and Stop Scan, and the searches they run. Made for one
// handler call; everything that lasts is in the controls and the state.
class ScanDriver {
public:
    // `customExtensions`: the extension of each custom row of the category list, in row order.
    ScanDriver(ScanControls controls, ScanSession& session,
               std::vector<std::wstring> customExtensions, platform::Platform& platform,
               ui::UiHost& host)
        : c_(controls),
          session_(session),
          customExtensions_(std::move(customExtensions)),
          platform_(platform),
          host_(host) {}

    // Next on the category page: runs a whole scan and returns when it is over.
    void cmdNext1_Click();
    // Asks the running scan to stop at its next match.
    void cmdStopScan_Click();

    // The built-in categories on the checked drives: one walk per drive for all checked
    // categories.
    void Search_Files();
    // The checked custom items on the checked drives: one walk per drive for all of them.
    void Search_Custom_Files();

private:
    struct Search {
        std::vector<NamePattern> patterns;
        std::vector<std::wstring> labels;
    };

    void searchDrives(const Search& search);
    void walkDrives(const Search& search);
    void enterStoppedState();
    void serviceQueue();

    ScanControls c_;
    ScanSession& session_;
    std::vector<std::wstring> customExtensions_;
    platform::Platform& platform_;
    ui::UiHost& host_;
    ui::ServicePace servicePace_;
};

// The bar between scans: range 1 to 100, disabled and hidden.
void hideProgressBar(ui::ProgressBar& bar);

}  // namespace dustrel::scan
