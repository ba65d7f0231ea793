#pragma once

#include "platform/file_system.h"

namespace dustrel::platform::win32 {

// The real file system, as a 32-bit process on 64-bit Windows would see it without redirection.
class Win32FileSystem final : public FileSystem {
public:
    Status listFolder(const std::wstring& folder, std::vector<FolderEntry>& entries) override;
    bool exists(const std::wstring& path) override;
    bool isDirectory(const std::wstring& path) override;
    Status createFolder(const std::wstring& path) override;
    Status writeFile(const std::wstring& path, std::string_view bytes, WriteMode mode) override;
    Status readFile(const std::wstring& path, std::string& bytes) override;
    Status deleteFile(const std::wstring& path) override;
    Status openForDeletion(const std::wstring& path, std::unique_ptr<OpenedFile>& file) override;
};

}  // namespace dustrel::platform::win32
