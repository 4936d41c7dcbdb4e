// PLATFORM SHIM: see ReadOnlyFile.h.
#include "ReadOnlyFile.h"

#include "ChatLogFormat.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#ifdef _WIN32

bool CReadOnlyFile::OpenExisting(const char* path) {
    if (!path)
        return false;
    // Chat log paths are GBK like every text of the client; converting with
    // GBK explicitly opens them right on any ANSI code page.
    int chars = MultiByteToWideChar(kChatLogCodePage, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (chars <= 0)
        return false;
    std::vector<wchar_t> wide(static_cast<std::size_t>(chars));
    if (MultiByteToWideChar(kChatLogCodePage, MB_ERR_INVALID_CHARS, path, -1, wide.data(), chars) !=
        chars)
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

bool CReadOnlyFile::ReadFromStart(void* buffer, std::size_t count, std::size_t& got) const {
    got = 0;
    if (!IsOpen() || count > 0xFFFFFFFFu)
        return false;
    HANDLE handle = reinterpret_cast<HANDLE>(m_handle);
    if (SetFilePointer(handle, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    DWORD read = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(count), &read, nullptr))
        return false;
    got = read;
    return true;
}

void CReadOnlyFile::Close() {
    // Opened for reading only: there is nothing to flush.
    if (IsOpen())
        CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = kInvalid;
}

#else

bool CReadOnlyFile::OpenExisting(const char* path) {
    Close();
    if (!path || !*path)
        return false;
    // O_NONBLOCK so that a FIFO in the folder cannot hang the reader; no
    // O_CREAT, so a vanished log stays vanished.
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    m_handle = fd;
    return true;
}

bool CReadOnlyFile::QuerySize(std::uint64_t& size) const {
    struct stat info;
    if (!IsOpen() || ::fstat(static_cast<int>(m_handle), &info) != 0 || info.st_size < 0)
        return false;
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool CReadOnlyFile::ReadFromStart(void* buffer, std::size_t count, std::size_t& got) const {
    got = 0;
    if (!IsOpen())
        return false;
    auto* out = static_cast<unsigned char*>(buffer);
    while (got < count) {
        ssize_t n =
            ::pread(static_cast<int>(m_handle), out + got, count - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

void CReadOnlyFile::Close() {
    if (IsOpen())
        ::close(static_cast<int>(m_handle));
    m_handle = kInvalid;
}

#endif
