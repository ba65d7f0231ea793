#pragma once

#include <optional>
#include <string>

namespace dustrel::testing {

// A name no other test run uses at the same time.
std::wstring uniqueName();

// A new folder in the temporary folder, named `prefix` and a unique name.
std::wstring makeTempFolder(const std::wstring& prefix);

// A file's bytes, empty when it cannot be read.
std::string bytesOf(const std::wstring& path);

// Under Wine: the Unix path of a Windows path (empty elsewhere), and what a shell script run on
// the Unix side printed, or nothing when it failed. Names and links the Win32 functions cannot
// make or remove are made and removed there.
std::string unixPath(const std::wstring& path);
std::optional<std::string> runUnix(const std::string& script);

}  // namespace dustrel::testing
