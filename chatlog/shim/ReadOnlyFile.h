// PLATFORM SHIM. Together with ReadOnlyMapping this is the only code of the
// chat log core that talks to the operating system: Win32 files on Windows,
// POSIX descriptors elsewhere. It only ever reads, and never creates a file.
#pragma once

#include <cstddef>
#include <cstdint>

class CReadOnlyFile {
public:
    CReadOnlyFile() = default;
    ~CReadOnlyFile() { Close(); }
    CReadOnlyFile(const CReadOnlyFile&) = delete;
    CReadOnlyFile& operator=(const CReadOnlyFile&) = delete;

    // Opens an existing regular file for reading, sharing reading and writing
    // with other processes so the client can keep appending. A missing file,
    // a directory or anything that is not a plain file fails. On Windows the
    // narrow path is GBK text (code page 936), whatever the ANSI code page.
    bool OpenExisting(const char* path);
    // The same for a wide path, as a wide directory listing yields it (on
    // POSIX taken as Unicode and opened by its UTF-8 name).
    bool OpenExisting(const wchar_t* path);
    bool IsOpen() const { return m_handle != kInvalid; }
    // Current size in bytes; false if it cannot be read.
    bool QuerySize(std::uint64_t& size) const;
    // Reads up to `count` bytes from `offset`; `got` is what arrived (less
    // only where the file ends).
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count, std::size_t& got) const;
    bool ReadFromStart(void* buffer, std::size_t count, std::size_t& got) const {
        return ReadAt(0, buffer, count, got);
    }
    void Close();
    void Swap(CReadOnlyFile& other) {
        std::intptr_t handle = m_handle;
        m_handle = other.m_handle;
        other.m_handle = handle;
    }

    // The native handle (HANDLE or descriptor), for the mapping.
    std::intptr_t Native() const { return m_handle; }

private:
    // INVALID_HANDLE_VALUE and a closed descriptor are both -1.
    static constexpr std::intptr_t kInvalid = -1;
    std::intptr_t m_handle = kInvalid;
};
