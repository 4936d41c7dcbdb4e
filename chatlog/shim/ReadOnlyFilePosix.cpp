// PLATFORM SHIM: see ReadOnlyFile.h. POSIX descriptors.
#include "ReadOnlyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

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

bool CReadOnlyFile::OpenExisting(const wchar_t* path) {
    Close();
    if (!path || !*path)
        return false;
    // POSIX names are bytes; a wide name is taken as Unicode and opened by
    // its UTF-8 form, the encoding of the systems this build runs on.
    std::string narrow;
    for (const wchar_t* at = path; *at; ++at) {
        auto c = static_cast<std::uint32_t>(*at);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c < 0x80) {
            narrow += static_cast<char>(c);
        } else if (c < 0x800) {
            narrow += static_cast<char>(0xC0 | (c >> 6));
            narrow += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            narrow += static_cast<char>(0xE0 | (c >> 12));
            narrow += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            narrow += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            narrow += static_cast<char>(0xF0 | (c >> 18));
            narrow += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            narrow += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            narrow += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return OpenExisting(narrow.c_str());
}

bool CReadOnlyFile::QuerySize(std::uint64_t& size) const {
    struct stat info;
    if (!IsOpen() || ::fstat(static_cast<int>(m_handle), &info) != 0 || info.st_size < 0)
        return false;
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool CReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count,
                           std::size_t& got) const {
    got = 0;
    if (!IsOpen() || offset > static_cast<std::uint64_t>(INT64_MAX) - count)
        return false;
    auto* out = static_cast<unsigned char*>(buffer);
    while (got < count) {
        ssize_t n = ::pread(static_cast<int>(m_handle), out + got, count - got,
                            static_cast<off_t>(offset + got));
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
