#include "clean/cleaner.h"

#include "app/program_info.h"
#include "clean/deletion_log.h"
#include "clean/recycle_bin.h"
#include "platform/path_text.h"

namespace dustrel::clean {

namespace {

// Rows of one file are told apart from rows of another as Windows tells names apart.
std::wstring keyOf(const std::wstring& path) {
    return platform::upperCase(path);
}

// The program's own file, by its name with ".exe" and by the file it actually runs from, which
// differ only for a copy renamed to another extension.
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

bool Cleaner::isFile(const std::wstring& path) {
    return platform_.files.exists(path) && !platform_.files.isDirectory(path);
}

void Cleaner::removeRowsOf(const Keys& gone) {
    if (gone.empty()) {
        return;
    }
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < c_.ListFiles.rowCount(); ++i) {
        if (gone.count(keyOf(c_.ListFiles.row(i).text)) != 0) {
            rows.push_back(i);
        }
    }
    if (ArrayHasItems(rows)) {
        c_.ListFiles.removeRows(std::move(rows));
    }
}

void Cleaner::tellUser(const std::wstring& text) {
    host_.messageBox(text, app::kProgramTitle, ui::kMbOk | ui::kMbIconStop);
}

void Cleaner::cmdDelete_Click() {
    auto& list = c_.ListFiles;
    if (list.checkedCount() == 0) {
        tellUser(L"Please Select At Least One File To Delete");
        return;
    }

    // Each ticked file once, in row order: the shell fails a whole operation that names a file
    // twice, after deleting it.
    const OwnExecutable ownExecutable(platform_.system);
    bool ownExecutableTicked = false;
    std::vector<std::wstring> ticked;
    Keys tickedKeys;
    for (std::size_t i = 0; i < list.rowCount(); ++i) {
        const ui::ListRow& row = list.row(i);
        if (!row.checked) {
            continue;
        }
        if (ownExecutable.is(row.text)) {
            ownExecutableTicked = true;
            continue;
        }
        if (tickedKeys.insert(keyOf(row.text)).second) {
            ticked.push_back(row.text);
        }
    }

    const std::wstring logName = logFileName(platform_.clock.now());

    // A file that has already gone is left out: the shell would stop at it, or ask about it.
    std::vector<std::wstring> handed;
    for (const std::wstring& path : ticked) {
        if (isFile(path)) {
            handed.push_back(path);
        }
    }
    if (!handed.empty()) {
        c_.form.setMousePointer(ui::MousePointer::Hourglass);
        // Its answer says nothing reliable about single files; the files themselves do.
        (void)DeleteFiles(platform_.shell, handed);
        c_.form.setMousePointer(ui::MousePointer::Default);
    }

    std::vector<std::wstring> deleted;
    Keys deletedKeys;
    std::size_t remaining = 0;
    for (const std::wstring& path : ticked) {
        if (platform_.files.exists(path)) {
            ++remaining;
        } else {
            deleted.push_back(path);
            deletedKeys.insert(keyOf(path));
        }
    }

    if (!deleted.empty()) {
        removeRowsOf(deletedKeys);
        for (const std::wstring& path : deleted) {
            c_.lstFilesDelete.addRow(path);
        }
        // A log that cannot be written is not reported, as the files are gone either way.
        (void)writeDeletionLog(platform_, logName, deleted);
    }
    if (remaining > 0) {
        tellUser(std::to_wstring(remaining) + L" Files Could Not Be Deleted");
    }
    if (ownExecutableTicked) {
        tellUser(L"Dustrel.exe Cannot Be Removed");
    }
    c_.Frame1.zOrder(ui::ZOrderPosition::Front);
}

void Cleaner::cmdRecycle_Click() {
    auto& list = c_.ListFiles;
    Keys gone;
    Keys handled;
    for (std::size_t i = 0; i < list.rowCount(); ++i) {
        if (!list.row(i).checked) {
            continue;
        }
        // A copy: the shell's progress window lets the list change while it works.
        const std::wstring path = list.row(i).text;
        if (!handled.insert(keyOf(path)).second) {
            continue;
        }
        if (isFile(path)) {
            (void)RecycleFiles(platform_.shell, {path});
        }
        if (!platform_.files.exists(path)) {
            gone.insert(keyOf(path));
        }
    }
    removeRowsOf(gone);
}

}  // namespace dustrel::clean
