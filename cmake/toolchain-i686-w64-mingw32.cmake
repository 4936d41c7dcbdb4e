# 32-bit Windows: the release build that ships. Its programs and tests run
# under Wine's 32-bit loader where the machine executes 32-bit programs
# (scripts/test.sh asks before it runs the suite).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VEMLI_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh --win32)
