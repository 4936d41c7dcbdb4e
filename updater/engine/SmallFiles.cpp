#include "SmallFiles.h"

#include "UniqueHandle.h"

#include <windows.h>

namespace {

// 100 ns intervals between 1601-01-01 (FILETIME's origin) and 1970-01-01.
const std::uint64_t kTicks1601To1970 = 116444736000000000ull;

} // namespace

bool updater::ReadSmallFile(const char* pszPath, std::string& text) {
    CKernelHandle file(CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    char buffer[4096];
    DWORD nRead = 0;
    if (!file.IsValid() || !ReadFile(file.Get(), buffer, sizeof buffer, &nRead, nullptr) ||
        nRead == sizeof buffer)
        return false;
    text.assign(buffer, nRead);
    return true;
}

bool updater::WriteSmallFile(const char* pszPath, const std::string& text) {
    CKernelHandle file(CreateFileA(pszPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD nWritten = 0;
    return file.IsValid() &&
           WriteFile(file.Get(), text.data(), DWORD(text.size()), &nWritten, nullptr) &&
           nWritten == text.size();
}

std::int64_t updater::FileAgeSeconds(const char* pszPath) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(pszPath, GetFileExInfoStandard, &data))
        return -1;
    const std::uint64_t nWritten = (std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                   data.ftLastWriteTime.dwLowDateTime;
    const std::uint64_t nNow = updater::TicksSince1970() + kTicks1601To1970;
    return nNow > nWritten ? std::int64_t((nNow - nWritten) / 10000000u) : 0;
}

std::uint64_t updater::TicksSince1970() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t nTicks =
        (std::uint64_t(now.dwHighDateTime) << 32) | std::uint64_t(now.dwLowDateTime);
    return nTicks - kTicks1601To1970;
}
