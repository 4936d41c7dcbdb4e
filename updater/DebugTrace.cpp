#include "DebugTrace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace updater {

void DebugTrace(const char* format, ...) {
    char line[1024] = "updater: ";
    const std::size_t prefix = sizeof "updater: " - 1;
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + prefix, sizeof line - prefix - 1, format, args);
    va_end(args);
    OutputDebugStringA(line);
}

} // namespace updater
