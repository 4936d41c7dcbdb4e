// PLATFORM SHIM: see ReadOnlyFile.h. Win32 files.
#include "ChatLogFormat.h"
#include "ReadOnlyFile.h"

#include <windows.h>

#include <vector>

bool CReadOnlyFile::OpenExisting(const char* path) {
    if (!path)
        return false;
    // Chat log paths are GBK like every text of the client; converting with
    // GBK explicitly opens them right on any ANSI code page.
    int chars =
        MultiByteToWideChar(chatlog::kChatLogCodePage, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (chars <= 0)
        return false;
    std::vector<wchar_t> wide(static_cast<std::size_t>(chars));
    if (MultiByteToWideChar(chatlog::kChatLogCodePage, MB_ERR_INVALID_CHARS, path, -1, wide.data(),
                            chars) != chars)
        return false;
    return OpenExisting(wide.data());
}

bool CReadOnlyFile::OpenExisting(const wchar_t* path) {
    Close();
    if (!path || !*path)
        return false;
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    // OPEN_EXISTING: the viewer must never create a log that vanished between
    // the listing and this call.
    HANDLE handle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(handle);
    return true;
}

bool CReadOnlyFile::QuerySize(std::uint64_t& size) const {
    LARGE_INTEGER value;
    if (!IsOpen() || !GetFileSizeEx(reinterpret_cast<HANDLE>(m_handle), &value) ||
        value.QuadPart < 0)
        return false;
    size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
}

bool CReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count,
                           std::size_t& got) const {
    got = 0;
    if (!IsOpen() || count > 0xFFFFFFFFu)
        return false;
    // The offset goes with the read itself: no file pointer is shared
    // between reads.
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(m_handle), buffer, static_cast<DWORD>(count), &read,
                  &at))
        return GetLastError() == ERROR_HANDLE_EOF; // at or past the end: nothing
    got = read;
    return true;
}

void CReadOnlyFile::Close() {
    // Opened for reading only: there is nothing to flush.
    if (IsOpen())
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = kInvalid;
}
