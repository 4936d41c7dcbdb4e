#include "DebugTrace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace updater {

void DebugTrace(const char* format, ...) {
    char line[1024] = "updater: ";
    const std::size_t prefix = sizeof "updater: " - 1;
    va_list args;
    va_start(args, format);
    // One line each, its end kept even when the text is cut.
    std::vsnprintf(line + prefix, sizeof line - prefix - 1, format, args);
    va_end(args);
    std::strcat(line, "\n");
    OutputDebugStringA(line);
}

} // namespace updater
