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

// The form of a fully qualified path that the system takes exactly as written ("\\?\"): no
// trailing dot or space is dropped from a name, no name is read as a device (con, nul...), and
// MAX_PATH does not apply. Relative paths, and paths that need the system's own clean-up ("/",
// "." or ".." in them), are returned as they are.
std::wstring exactPathForm(const std::wstring& path);

// Whether the system's plain (not "\\?\") handling of `path` leaves it naming the same file:
// a drive-letter path shorter than 248 characters whose names are all usable, none ending in a
// dot or a space and none with a device's base name (con.tmp, nul.log, aux.bak).
bool isOrdinaryPath(std::wstring_view path);

// Whether every name of the path after its drive root is one the Win32 functions accept at all:
// no control characters and none of < > : " / | ? * (a Linux or network file system allows them),
// and neither "." nor "..".
bool hasUsableNames(std::wstring_view path);

}  // namespace dustrel::platform
