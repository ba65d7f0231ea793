#pragma once

#include <string>
#include <vector>

#include "platform/system.h"
#include "ui/list_view.h"

namespace dustrel::app {

// The letters of the drives present, "A" to "Z" in order.
std::vector<std::wstring> GetDriveLetters(platform::System& system);

// One row per fixed disk among `letters`: its root ("C:\"), "Disk Drive", the total bytes and the
// total free bytes as whole decimal numbers. A disk whose sizes cannot be read gets empty size
// cells.
void listFixedDisks(platform::System& system, const std::vector<std::wstring>& letters,
                    ui::ListView& list);

}  // namespace dustrel::app
