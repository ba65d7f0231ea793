#include "clean/exact_deletion.h"

#include <memory>

namespace dustrel::clean {

namespace {

// Opens `path` and tells whether the handle holds the file the path names, as listed.
platform::Status openChecked(platform::FileSystem& files, const std::wstring& path,
                             std::unique_ptr<platform::OpenedFile>& file) {
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

platform::Status lookAt(platform::FileSystem& files, const std::wstring& path) {
    std::unique_ptr<platform::OpenedFile> file;
    return openChecked(files, path, file);
}

}  // namespace dustrel::clean
