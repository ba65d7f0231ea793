#include "platform/path_text.h"

#include <cstddef>

namespace dustrel::platform {

namespace {

// Paths at least this long may fail without the extended-length prefix: CreateDirectoryW leaves
// room for an 8.3 name below MAX_PATH (260 - 12).
constexpr std::size_t kLongPathLength = 248;

constexpr std::wstring_view kDeviceNames[] = {
    L"CON",       L"PRN",       L"AUX",       L"NUL",       L"COM1",      L"COM2",
    L"COM3",      L"COM4",      L"COM5",      L"COM6",      L"COM7",      L"COM8",
    L"COM9",      L"LPT1",      L"LPT2",      L"LPT3",      L"LPT4",      L"LPT5",
    L"LPT6",      L"LPT7",      L"LPT8",      L"LPT9",      L"COM\u00B9", L"COM\u00B2",
    L"COM\u00B3", L"LPT\u00B9", L"LPT\u00B2", L"LPT\u00B3", L"CONIN$",    L"CONOUT$"};

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool isDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool startsWithDriveRoot(std::wstring_view path) {
    return path.size() >= 3 && isDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\';
}

bool isUsableName(std::wstring_view name) {
    // "." and ".." name no entry of their own: they lead to the folder itself or its parent.
    if (name.empty() || name == L"." || name == L"..") {
        return false;
    }
    for (const wchar_t c : name) {
        if (static_cast<unsigned long>(c) < 0x20 ||
            std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos) {
            return false;
        }
    }
    return true;
}

// Windows 10 reads a name as a device when the part before its first dot, without trailing
// blanks, is a device's name, whatever follows: "con.tmp" and "nul .log" are devices.
bool isDeviceName(std::wstring_view name) {
    std::wstring_view base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.remove_suffix(1);
    }
    for (const std::wstring_view device : kDeviceNames) {
        if (equalsNoCase(base, device)) {
            return true;
        }
    }
    return false;
}

// Calls `visit` with each name after the drive root; false as soon as one returns false.
template <class Visit>
bool everyName(std::wstring_view path, Visit visit) {
    std::size_t start = 3;
    while (start <= path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            end = path.size();
        }
        if (!visit(path.substr(start, end - start))) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::wstring_view trimTrailingSeparators(std::wstring_view path) {
    while (!path.empty() && isSeparator(path.back())) {
        path.remove_suffix(1);
    }
    return path;
}

// The prefix disables the system's own clean-up of a path, so only paths that need none get it.
bool needsNoNormalising(std::wstring_view path) {
    if (path.find(L'/') != std::wstring_view::npos) {
        return false;
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) {
            end = path.size();
        }
        const std::wstring_view part = path.substr(start, end - start);
        if (part == L"." || part == L"..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

wchar_t upperCase(wchar_t c) {
    const unsigned long u = static_cast<unsigned long>(c);
    if (u < 0x80) {
        return (u >= 'a' && u <= 'z') ? static_cast<wchar_t>(u - 0x20) : c;
    }
    if ((u >= 0xE0 && u <= 0xFE && u != 0xF7) || (u >= 0x3B1 && u <= 0x3CB && u != 0x3C2) ||
        (u >= 0x430 && u <= 0x44F) || (u >= 0xFF41 && u <= 0xFF5A)) {
        return static_cast<wchar_t>(u - 0x20);
    }
    if (u == 0xFF) {
        return static_cast<wchar_t>(0x178);
    }
    // Latin Extended-A pairs its cases upper-then-lower, except in two runs that start odd. The
    // bounds are each run's first and last small letter.
    if ((u >= 0x101 && u <= 0x12F) || (u >= 0x133 && u <= 0x137) || (u >= 0x14B && u <= 0x177)) {
        return (u % 2 == 1) ? static_cast<wchar_t>(u - 1) : c;
    }
    if ((u >= 0x13A && u <= 0x148) || (u >= 0x17A && u <= 0x17E)) {
        return (u % 2 == 0) ? static_cast<wchar_t>(u - 1) : c;
    }
    if (u == 0x3C2) {
        return static_cast<wchar_t>(0x3A3);
    }
    if (u == 0x3AC) {
        return static_cast<wchar_t>(0x386);
    }
    if (u >= 0x3AD && u <= 0x3AF) {
        return static_cast<wchar_t>(u - 0x25);
    }
    if (u == 0x3CC) {
        return static_cast<wchar_t>(0x38C);
    }
    if (u == 0x3CD || u == 0x3CE) {
        return static_cast<wchar_t>(u - 0x3F);
    }
    if (u >= 0x450 && u <= 0x45F) {
        return static_cast<wchar_t>(u - 0x50);
    }
    return c;
}

std::wstring upperCase(std::wstring_view text) {
    std::wstring result(text);
    for (wchar_t& c : result) {
        c = upperCase(c);
    }
    return result;
}

bool equalsNoCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperCase(a[i]) != upperCase(b[i])) {
            return false;
        }
    }
    return true;
}

std::wstring sysnativeAlias(const std::wstring& path, const std::wstring& windowsDir) {
    const std::wstring_view root = trimTrailingSeparators(windowsDir);
    if (root.empty()) {
        return path;
    }
    constexpr std::wstring_view kSystem32 = L"System32";
    const std::size_t headLength = root.size() + 1 + kSystem32.size();
    if (path.size() < headLength) {
        return path;
    }
    const std::wstring_view view(path);
    if (!equalsNoCase(view.substr(0, root.size()), root) || !isSeparator(view[root.size()]) ||
        !equalsNoCase(view.substr(root.size() + 1, kSystem32.size()), kSystem32)) {
        return path;
    }
    if (path.size() > headLength && !isSeparator(path[headLength])) {
        return path;  // a sibling such as "System32x"
    }
    return path.substr(0, root.size() + 1) + L"Sysnative" + path.substr(headLength);
}

std::wstring exactPathForm(const std::wstring& path) {
    if (path.size() < 3 || !needsNoNormalising(path)) {
        return path;
    }
    if (isDriveLetter(path[0]) && path[1] == L':' && path[2] == L'\\') {
        return L"\\\\?\\" + path;
    }
    if (path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' && path[2] != L'.') {
        return L"\\\\?\\UNC\\" + path.substr(2);
    }
    return path;
}

bool isOrdinaryPath(std::wstring_view path) {
    if (path.size() >= kLongPathLength || !startsWithDriveRoot(path)) {
        return false;
    }
    return everyName(path, [](std::wstring_view name) {
        return isUsableName(name) && name.back() != L'.' && name.back() != L' ' &&
               !isDeviceName(name);
    });
}

bool hasUsableNames(std::wstring_view path) {
    return startsWithDriveRoot(path) && everyName(path, isUsableName);
}

std::wstring fileTitle(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/:");
    std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring_view::npos && dot > 0) {
        name = name.substr(0, dot);
    }
    return std::wstring(name);
}

std::wstring folderOf(std::wstring_view path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) {
        return {};
    }
    return std::wstring(path.substr(0, slash));
}

}  // namespace dustrel::platform
