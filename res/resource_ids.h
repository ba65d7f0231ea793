#pragma once

// Resource ids shared by res/dustrel.rc and the C++ code (kept free of anything but
// #defines, since the resource compiler reads it too).
#define IDI_APP 1
#define IDB_SIDE 101
