#include "PartFile.h"

#include <vector>

bool CPartFile::Open(const char* pszPath) {
    m_file.Reset(CreateFileA(pszPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    return m_file.IsValid();
}

ULONGLONG CPartFile::Size() const {
    LARGE_INTEGER size;
    return GetFileSizeEx(m_file.Get(), &size) ? ULONGLONG(size.QuadPart) : 0;
}

bool CPartFile::TruncateTo(ULONGLONG nOffset) {
    LARGE_INTEGER position;
    position.QuadPart = LONGLONG(nOffset);
    return SetFilePointerEx(m_file.Get(), position, nullptr, FILE_BEGIN) &&
           SetEndOfFile(m_file.Get());
}

bool CPartFile::Write(const void* pData, DWORD nSize) {
    DWORD nWritten = 0;
    return WriteFile(m_file.Get(), pData, nSize, &nWritten, nullptr) && nWritten == nSize;
}

bool CPartFile::HashPrefix(CSha256& hash, ULONGLONG nBytes) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(m_file.Get(), start, nullptr, FILE_BEGIN))
        return false;
    std::vector<char> block(64 * 1024);
    while (nBytes > 0) {
        const DWORD nWant = DWORD(nBytes < block.size() ? nBytes : block.size());
        DWORD nRead = 0;
        if (!ReadFile(m_file.Get(), block.data(), nWant, &nRead, nullptr) || nRead != nWant ||
            !hash.Update(block.data(), nRead))
            return false;
        nBytes -= nRead;
    }
    return true;
}
