#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "ui/list_view.h"

namespace dustrel::app {

// The tips that tell what files weigh, in the units and date forms of the user's system.

// A found or deleted file: its size and, when the listing gave one, its last write in local
// time, on two lines.
std::wstring fileTip(platform::Locale& locale, std::uint64_t size, std::uint64_t lastWrite);

// The Delete button's: how many files are ticked and what they take together.
std::wstring tickedTip(platform::Locale& locale, std::size_t count, std::uint64_t bytes);

// A row of the drive list: its total and free sizes, read from the row's own byte counts; none
// for a disk whose sizes could not be read.
std::wstring driveTip(platform::Locale& locale, const ui::ListRow& row);

}  // namespace dustrel::app
