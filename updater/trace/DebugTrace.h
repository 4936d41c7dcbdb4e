// Developer trace of the updater's run through OutputDebugStringA: the user
// never sees it; a debugger does, and so does Wine with WINEDEBUG=+debugstr.
#pragma once

namespace updater {

// printf-style; every line is prefixed with "updater: ".
void DebugTrace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

} // namespace updater
