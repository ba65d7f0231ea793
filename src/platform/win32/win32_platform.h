#pragma once

#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"

namespace dustrel::platform::win32 {

// The real operating system, built once in WinMain and handed down as a Platform.
struct Win32Platform {
    Win32FileSystem files;
    Win32Shell shell;
    Win32Registry registry;
    Win32System system;
    Win32Clock clock;
    Win32Locale locale;

    Platform platform() { return Platform{files, shell, registry, system, clock, locale}; }
};

}  // namespace dustrel::platform::win32
