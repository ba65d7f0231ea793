#include "clean/cleaner.h"

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

}  // namespace

std::vector<std::wstring> Cleaner::tickedPaths(bool* ownExecutableTicked) {
    const OwnExecutable ownExecutable(platform_.system);
    std::vector<std::wstring> paths;
    Paths seen;
    const auto& list = c_.ListFiles;
    for (std::size_t i = 0; i < list.rowCount(); ++i) {
        const ui::ListRow& row = list.row(i);
        if (!row.checked) {
            continue;
        }
        if (ownExecutableTicked != nullptr && ownExecutable.is(row.text)) {
            *ownExecutableTicked = true;
            continue;
        }
        // A file found by two patterns is deleted, listed and logged once.
        if (seen.insert(row.text).second) {
            paths.push_back(row.text);
        }
    }
    return paths;
}

void Cleaner::removeRowsOf(const Paths& gone) {
    if (gone.empty()) {
        return;
    }
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < c_.ListFiles.rowCount(); ++i) {
        if (gone.count(c_.ListFiles.row(i).text) != 0) {
            rows.push_back(i);
        }
    }
    if (ArrayHasItems(rows)) {
        c_.ListFiles.removeRows(std::move(rows));
    }
}

void Cleaner::tellUser(const std::wstring& text) {
    host_.messageBox(text, platform::kProgramTitle,
                     {ui::MessageBoxButtons::Ok, ui::MessageBoxIcon::Stop});
}

void Cleaner::cmdDelete_Click() {
    if (c_.ListFiles.checkedCount() == 0) {
        tellUser(L"Please Select At Least One File To Delete");
        return;
    }
    bool ownExecutableTicked = false;
    const std::vector<std::wstring> ticked = tickedPaths(&ownExecutableTicked);
    DeletionLog log(platform_, logFileName(platform_.clock.now()));
    std::vector<std::wstring> deleted;
    Paths gone;
    std::size_t kept = 0;

    c_.form.setMousePointer(ui::MousePointer::Hourglass);
    ui::ServicePace pace;
    for (const std::wstring& path : ticked) {
        // Between two files, never during one: by then the log holds every file gone, so the
        // program may end here (the Windows session too) and lose no record.
        if (pace.due(platform_.clock.milliseconds())) {
            host_.doEvents();
        }
        switch (deleteExactly(platform_.files, path)) {
            case DeletionOutcome::Deleted:
                log.add(path);
                deleted.push_back(path);
                gone.insert(path);
                break;
            case DeletionOutcome::AlreadyGone:
                gone.insert(path);
                break;
            case DeletionOutcome::Kept:
                ++kept;
                break;
        }
    }
    c_.form.setMousePointer(ui::MousePointer::Default);

    removeRowsOf(gone);
    for (const std::wstring& path : deleted) {
        c_.lstFilesDelete.addRow(path);
    }
    if (kept > 0) {
        tellUser(std::to_wstring(kept) + L" Files Could Not Be Deleted");
    }
    if (ownExecutableTicked) {
        tellUser(L"Dustrel.exe Cannot Be Removed");
    }
    c_.Frame1.zOrder(ui::ZOrderPosition::Front);
}

void Cleaner::cmdRecycle_Click() {
    Paths gone;
    for (const std::wstring& path : tickedPaths(nullptr)) {
        // Only the shell can put a file into the Recycle Bin, and it reads the path again by
        // itself: the file is looked at just before, and a path that reads as another file is
        // not handed over.
        const platform::Status before = lookAt(platform_.files, path);
        if (before == platform::Status::NotFound) {
            gone.insert(path);
        }
        if (!platform::ok(before) || !platform::isOrdinaryPath(path)) {
            continue;
        }
        host_.waitFor([&] { (void)RecycleFiles(platform_.shell, {path}); });
        if (lookAt(platform_.files, path) == platform::Status::NotFound) {
            gone.insert(path);
        }
    }
    removeRowsOf(gone);
}

}  // namespace dustrel::clean
