// The one way the updater turns a Windows error code into text: WinINet's own
// texts where the code is one of its, the system's otherwise.
#pragma once

#include <windows.h>

#include <cstddef>

namespace updater {

// The text of `error` without its line ends, cut to `size` bytes; false (and
// `out` empty) when no text is known.
bool FormatErrorText(DWORD error, char* out, std::size_t size);

} // namespace updater
