#include "clean/cleaner.h"

#include "clean/deletion_log.h"
#include "clean/exact_lookup.h"
#include "clean/file_deletion.h"
#include "clean/recycle_bin.h"
#include "platform/path_text.h"
#include "platform/program_info.h"

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
        // A file found by two patterns is handed on once: the shell fails a whole operation
        // that names a file twice, after deleting it.
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
    FileDeletion deletion(platform_, tickedPaths(&ownExecutableTicked));
    const std::wstring logName = logFileName(platform_.clock.now());
    // A log that cannot be written is not reported: the files are gone either way.
    const auto log = [&](const DeletionResult& result) {
        if (!result.deleted.empty()) {
            (void)writeDeletionLog(platform_, logName, result.deleted);
        }
    };

    c_.form.setMousePointer(ui::MousePointer::Hourglass);
    try {
        host_.waitFor([&deletion] { deletion.runShell(); });
    } catch (const ui::HandlerAbandoned&) {
        // The program ended while the shell worked. What it deleted is gone all the same, and
        // the log is the user's one record of it; nothing else is done.
        log(deletion.result());
        throw;
    }
    deletion.deleteOneByOne();
    const DeletionResult result = deletion.result();
    log(result);
    c_.form.setMousePointer(ui::MousePointer::Default);

    Paths gone(result.deleted.begin(), result.deleted.end());
    gone.insert(result.alreadyGone.begin(), result.alreadyGone.end());
    removeRowsOf(gone);
    for (const std::wstring& path : result.deleted) {
        c_.lstFilesDelete.addRow(path);
    }
    if (!result.remaining.empty()) {
        tellUser(std::to_wstring(result.remaining.size()) + L" Files Could Not Be Deleted");
    }
    if (ownExecutableTicked) {
        tellUser(L"Dustrel.exe Cannot Be Removed");
    }
    c_.Frame1.zOrder(ui::ZOrderPosition::Front);
}

void Cleaner::cmdRecycle_Click() {
    const std::vector<std::wstring> ticked = tickedPaths(nullptr);
    Paths gone;
    std::vector<std::wstring> handed;
    ExactLookup before(platform_.files);
    for (const std::wstring& path : ticked) {
        const Presence presence = before.of(path);
        if (presence == Presence::Gone) {
            gone.insert(path);
        } else if (presence == Presence::File && platform::isOrdinaryPath(path)) {
            // Only the shell can put a file into the Recycle Bin, and it reads paths the plain
            // way: a path that reads as another file is not handed to it.
            handed.push_back(path);
        }
    }
    for (const std::wstring& path : handed) {
        host_.waitFor([&] { (void)RecycleFiles(platform_.shell, {path}); });
    }
    ExactLookup after(platform_.files);
    for (const std::wstring& path : handed) {
        if (after.of(path) == Presence::Gone) {
            gone.insert(path);
        }
    }
    removeRowsOf(gone);
}

}  // namespace dustrel::clean
