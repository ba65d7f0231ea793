#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/app_context.h"
#include "app/frm_main_layout.h"
#include "clean/cleaner.h"
#include "scan/scan_driver.h"
#include "ui/form.h"
#include "ui/update_pace.h"

namespace dustrel::app {

// The results page: runs the scan and the cleaning actions and shows what they report. Made
// for one handler call; everything that lasts is in the controls and the program's state.
class ResultsPage final : public scan::ScanProgress, public clean::CleaningReport {
public:
    ResultsPage(ui::Form& form, FrmMainControls& controls, AppContext& context)
        : form_(form), c_(controls), context_(context) {}

    // Next on the category page: runs a whole scan and returns when it is over.
    void cmdNext1_Click();
    // Asks the running scan to stop at its next match.
    void cmdStopScan_Click();
    void cmdDelete_Click();
    void cmdRecycle_Click();

    // Empties the list and forgets what it showed.
    void clearResults();

    // The user ticked or cleared one row of the results list.
    void ListFiles_ItemCheck(std::size_t item);
    // Counts the ticked rows again, after a change to many at once.
    void recountTicked();
    // The tips of a row of the results list and of the deleted-files list.
    std::wstring foundFileTip(const ui::ListRow& row);
    std::wstring deletedFileTip(const ui::ListRow& row);

    // scan::ScanProgress
    scan::ScanRequest searchStarted() override;
    void searchDone() override;
    void folderReached(const std::wstring& folder) override;
    void fileFound(scan::Finding finding, const std::wstring& label) override;
    void driveDone() override;
    void scanStopped() override;
    void scanEnded(scan::ScanEnd end) override;

    // clean::CleaningReport
    void fileDeleted(const std::wstring& path) override;
    void fileGone(const std::wstring& path) override;

private:
    ui::UiHost& host() { return form_.host(); }
    std::vector<scan::Finding>& findings() { return context_.state.findings; }
    // The ticked rows' paths, remembering the finding each names.
    std::vector<std::wstring> tickedPaths();
    void showTicked();
    // Takes off the list every row, ticked or not, that names a file gone.
    void removeGoneRows();
    void tellUser(const std::wstring& text);

    ui::Form& form_;
    FrmMainControls& c_;
    AppContext& context_;
    ui::ServicePace servicePace_;
    // The walk of the last file found.
    std::uint32_t walk_ = 0;
    std::unordered_set<std::wstring> gone_;
    std::vector<std::wstring> deleted_;
    std::unordered_map<std::wstring, std::uint64_t> tickedTags_;
};

// The bar between scans: range 1 to 100, disabled and hidden.
void hideProgressBar(ui::ProgressBar& bar);

}  // namespace dustrel::app
