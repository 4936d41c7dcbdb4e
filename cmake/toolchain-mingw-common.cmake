# Shared part of the MinGW-w64 toolchain files; VEMLI_TRIPLE names the target.
# The posix-thread compilers: the win32-thread ones lack std::thread, and
# GoogleTest does not build with them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VEMLI_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VEMLI_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VEMLI_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VEMLI_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: Wine (and a user's machine) needs no MinGW DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
