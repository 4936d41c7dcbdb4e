# 64-bit Windows: the build whose programs and tests run here under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VEMLI_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
