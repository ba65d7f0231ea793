#pragma once

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace dustrel::platform {

// Everything the program reaches outside itself, handed down by reference.
struct Platform {
    FileSystem& files;
    Shell& shell;
    Registry& registry;
    System& system;
    Clock& clock;
    Locale& locale;
};

}  // namespace dustrel::platform
