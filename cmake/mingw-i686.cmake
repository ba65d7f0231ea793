# Cross toolchain: 32-bit Windows, the program as shipped.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DUSTREL_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
