#include "clean/cleaner.h"

#include <unordered_set>

#include "clean/deletion_log.h"
#include "clean/exact_deletion.h"
#include "clean/recycle_bin.h"
#include "platform/path_text.h"
#include "platform/program_info.h"
#include "ui/update_pace.h"

namespace dustrel::clean {

namespace {

// The program's own file, by its name with ".exe" and by the file it actually runs from, which
// differ only for a copy renamed to another extension. Letter case is ignored: a guard may
// refuse more than it must.
class OwnExecutable {
public:
    explicit OwnExecutable(platform::System& system)
        : named_(platform::executableFolder(system) + L"\\" + platform::applicationName(system) +
                 L".exe"),
          running_(system.executablePath()) {}

    bool is(const std::wstring& path) const {
        return platform::equalsNoCase(path, named_) || platform::equalsNoCase(path, running_);
    }

private:
    std::wstring named_;
    std::wstring running_;
};

// Each path once, in the order given.
std::vector<std::wstring> eachOnce(const std::vector<std::wstring>& paths) {
    std::unordered_set<std::wstring> seen;
    std::vector<std::wstring> once;
    for (const std::wstring& path : paths) {
        if (seen.insert(path).second) {
            once.push_back(path);
        }
    }
    return once;
}

}  // namespace

DeleteSummary Cleaner::deleteFiles(const std::vector<std::wstring>& ticked) {
    DeleteSummary summary;
    const OwnExecutable ownExecutable(platform_.system);
    DeletionLog log(platform_, logFileName(platform_.clock.now()));
    ui::ServicePace pace;
    for (const std::wstring& path : eachOnce(ticked)) {
        if (ownExecutable.is(path)) {
            summary.ownExecutableTicked = true;
            continue;
        }
        // Between two files, never during one: by then the log holds every file gone, so the
        // program may end here (the Windows session too) and lose no record.
        if (pace.due(platform_.clock.milliseconds())) {
            host_.doEvents();
        }
        switch (deleteExactly(platform_.files, path)) {
            case DeletionOutcome::Deleted:
                log.add(path);
                report_.fileDeleted(path);
                break;
            case DeletionOutcome::AlreadyGone:
                report_.fileGone(path);
                break;
            case DeletionOutcome::Kept:
                ++summary.kept;
                break;
        }
    }
    return summary;
}

void Cleaner::recycleFiles(const std::vector<std::wstring>& ticked) {
    for (const std::wstring& path : eachOnce(ticked)) {
        // Only the shell can put a file into the Recycle Bin, and it reads the path again by
        // itself: the file is looked at just before, and a path that reads as another file is
        // not handed over.
        const platform::Status before = lookAt(platform_.files, path);
        if (before == platform::Status::NotFound) {
            report_.fileGone(path);
        }
        if (!platform::ok(before) || !platform::isOrdinaryPath(path)) {
            continue;
        }
        host_.waitFor([&] { (void)RecycleFiles(platform_.shell, {path}); });
        if (lookAt(platform_.files, path) == platform::Status::NotFound) {
            report_.fileGone(path);
        }
    }
}

}  // namespace dustrel::clean
