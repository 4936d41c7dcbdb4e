#include "TestPlatform.h"

#include <windows.h>

unsigned long TestProcessId() {
    return ::GetCurrentProcessId();
}

bool TruncateFile(const std::string& path, std::uint64_t size) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    bool ok = SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    return ok;
}

bool MappedFileCanShrink() {
    return false;
}

void UseTimeZone(const char*) {}

void UseSystemTimeZone() {}
