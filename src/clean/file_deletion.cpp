#include "clean/file_deletion.h"

#include "clean/exact_lookup.h"
#include "clean/recycle_bin.h"
#include "platform/path_text.h"

namespace dustrel::clean {

FileDeletion::FileDeletion(const platform::Platform& platform, std::vector<std::wstring> paths)
    : platform_(platform) {
    ExactLookup lookup(platform_.files);
    for (std::wstring& path : paths) {
        switch (lookup.of(path)) {
            case Presence::Gone:
                alreadyGone_.push_back(std::move(path));
                break;
            case Presence::File:
                if (platform::isOrdinaryPath(path)) {
                    forShell_.push_back(path);
                    tried_.push_back(std::move(path));
                } else if (platform::hasUsableNames(path)) {
                    tried_.push_back(std::move(path));
                } else {
                    untouchable_.push_back(std::move(path));
                }
                break;
            case Presence::Doubtful:
                untouchable_.push_back(std::move(path));
                break;
        }
    }
}

void FileDeletion::runShell() {
    if (!forShell_.empty()) {
        // Its answer says nothing reliable about single files; the files themselves do.
        (void)DeleteFiles(platform_.shell, forShell_);
    }
}

void FileDeletion::deleteOneByOne() {
    // The shell may have stopped at a file it could not delete, leaving the rest; and a folder on
    // the way may have become a link meanwhile. Everything is looked at afresh.
    ExactLookup lookup(platform_.files);
    for (const std::wstring& path : tried_) {
        if (lookup.of(path) == Presence::File) {
            (void)platform_.files.deleteFile(path);
        }
    }
}

DeletionResult FileDeletion::result() const {
    DeletionResult result;
    result.alreadyGone = alreadyGone_;
    result.remaining = untouchable_;
    ExactLookup lookup(platform_.files);
    for (const std::wstring& path : tried_) {
        (lookup.of(path) == Presence::Gone ? result.deleted : result.remaining).push_back(path);
    }
    return result;
}

}  // namespace dustrel::clean
