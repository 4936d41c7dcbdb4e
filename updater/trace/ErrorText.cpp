#include "ErrorText.h"

#include <cstring>

namespace updater {

namespace {

DWORD FormatFrom(HMODULE hModule, DWORD error, char* buffer, DWORD size) {
    const DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS |
                        (hModule ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM);
    return FormatMessageA(flags, hModule, error, 0, buffer, size, nullptr);
}

} // namespace

bool FormatErrorText(DWORD error, char* out, std::size_t size) {
    if (out == nullptr || size == 0) {
        return false;
    }
    out[0] = '\0';
    // FormatMessage fails outright when the text does not fit; format into a
    // roomy buffer and cut it to the caller's size afterwards.
    char text[2048] = "";
    DWORD length = 0;
    if (HMODULE hWinInet = GetModuleHandleA("wininet.dll")) {
        length = FormatFrom(hWinInet, error, text, sizeof text);
    }
    if (length == 0) {
        length = FormatFrom(nullptr, error, text, sizeof text);
    }
    if (length == 0) {
        return false;
    }
    std::size_t n = std::strlen(text);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ')) {
        text[--n] = '\0';
    }
    lstrcpynA(out, text, static_cast<int>(size < 0x7fffffff ? size : 0x7fffffff));
    return out[0] != '\0';
}

} // namespace updater
