#include "clean/exact_deletion.h"

#include <memory>

#include "platform/path_text.h"

namespace dustrel::clean {

namespace {

// Opens `path` and tells whether the handle holds the file the path names, as listed.
platform::Status openChecked(platform::FileSystem& files, const std::wstring& path,
                             std::unique_ptr<platform::OpenedFile>& file) {
    // A name the Win32 functions refuse (what?.tmp on a Linux drive) could only be reached by
    // reading it as another; it is left alone.
    if (!platform::hasUsableNames(path)) {
        return platform::Status::Failed;
    }
    const platform::Status status = files.openForDeletion(path, file);
    if (!platform::ok(status)) {
        return status;
    }
    platform::OpenedFacts facts;
    if (!platform::ok(file->describe(facts)) || facts.directory || facts.link ||
        !facts.atOpenedPath) {
        file.reset();
        return platform::Status::Failed;
    }
    return platform::Status::Ok;
}

}  // namespace

DeletionOutcome deleteExactly(platform::FileSystem& files, const std::wstring& path) {
    std::unique_ptr<platform::OpenedFile> file;
    platform::Status status = openChecked(files, path, file);
    if (platform::ok(status)) {
        status = file->deleteNow();
    }
    switch (status) {
        case platform::Status::Ok:
            return DeletionOutcome::Deleted;
        case platform::Status::NotFound:
            return DeletionOutcome::AlreadyGone;
        default:
            return DeletionOutcome::Kept;
    }
}

bool isPlainFile(platform::FileSystem& files, const std::wstring& path) {
    std::unique_ptr<platform::OpenedFile> file;
    return platform::ok(openChecked(files, path, file));
}

bool isGone(platform::FileSystem& files, const std::wstring& path) {
    std::unique_ptr<platform::OpenedFile> file;
    return openChecked(files, path, file) == platform::Status::NotFound;
}

}  // namespace dustrel::clean
