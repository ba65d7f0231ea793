#pragma once

#include <string>
#include <string_view>

namespace dustrel::platform {

// Upper-cases one character the way Windows compares names, for the scripts a Windows volume
// commonly holds (Latin, Greek, Cyrillic, full-width Latin). Other characters are their own case.
wchar_t upperCase(wchar_t c);
std::wstring upperCase(std::wstring_view text);
bool equalsNoCase(std::wstring_view a, std::wstring_view b);

// The file name of a path without its folder and without its last extension:
// L"C:\\Program Files\\Dustrel\\Dustrel.exe" gives L"Dustrel".
std::wstring fileTitle(std::wstring_view path);
// The folder part of a path, without the trailing backslash: L"C:\\Program Files\\Dustrel".
std::wstring folderOf(std::wstring_view path);

// The Sysnative alias of a path under "<windowsDir>\System32", else the path itself. A 32-bit
// process on 64-bit Windows that hands a path to code it cannot keep from being redirected uses
// the alias to reach the real System32.
std::wstring sysnativeAlias(const std::wstring& path, const std::wstring& windowsDir);

// The extended-length ("\\?\") form of a long, fully qualified path, so that deep folders stay
// reachable past MAX_PATH; shorter or relative paths are returned as they are.
std::wstring longPathForm(const std::wstring& path);

}  // namespace dustrel::platform
