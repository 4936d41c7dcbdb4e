# 32-bit Windows: the release build that ships (it cannot run here).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VEMLI_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
