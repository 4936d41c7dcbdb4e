#include "ChatLogFile.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

CChatLogFile::CChatLogFile() : m_header(chatlog::MakeFreshChatLogHeader()) {
    m_path[0] = '\0';
}

CChatLogFile::State CChatLogFile::GetState() const {
    if (!IsOpen())
        return State::Closed;
    return IsMapped() ? State::Mapped : State::Open;
}

bool CChatLogFile::Open(const char* path) {
    if (!path || !*path)
        return false;
    std::size_t length = std::strlen(path);
    if (length >= kChatLogMaxPath)
        return false;
    // Open before Close: a path that names no file leaves this object as it
    // was.
    CReadOnlyFile file;
    if (!file.OpenExisting(path))
        return false;
    Close();
    std::memcpy(m_path, path, length + 1);
    m_hFile.Swap(file);
    return FinishOpen();
}

bool CChatLogFile::Open(const wchar_t* path) {
    if (!path || !*path)
        return false;
    if (std::wcslen(path) >= kChatLogMaxPath)
        return false;
    CReadOnlyFile file;
    if (!file.OpenExisting(path))
        return false;
    Close();
    m_path[0] = '\0';
    m_hFile.Swap(file);
    return FinishOpen();
}

bool CChatLogFile::FinishOpen() {
    std::uint64_t size = 0;
    if (!m_hFile.QuerySize(size))
        return false;
    m_fileSize = chatlog::ClampedLogSize(size);
    if (m_fileSize < chatlog::kChatLogHeaderSize)
        return false;
    return ReadHeader();
}

bool CChatLogFile::ReadHeader() {
    chatlog::ChatLogHeader header;
    std::size_t got = 0;
    if (!m_hFile.ReadFromStart(&header, sizeof header, got) || got != sizeof header)
        return false;
    m_header = header;
    return true;
}

void CChatLogFile::EnumRecords(chatlog::ChatLogRecordIndex& index) {
    std::uint32_t limit = 0;
    if (const unsigned char* view = MapForWalk(limit))
        chatlog::WalkChatLogRecords(view, limit, index);
}

const unsigned char* CChatLogFile::MapForWalk(std::uint32_t& limit) {
    if (!IsOpen() || m_fileSize <= chatlog::kChatLogHeaderSize)
        return nullptr;
    // The client may shrink the file after the open; a view past the end of
    // a file faults on POSIX (SIGBUS), so never map or walk beyond what the
    // file holds now.
    std::uint64_t current = 0;
    if (!m_hFile.QuerySize(current))
        return nullptr;
    if (!m_view) {
        auto size = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_fileSize, current));
        if (size <= chatlog::kChatLogHeaderSize || !m_hMapping.Map(m_hFile, size, m_prefault))
            return nullptr;
        m_view = m_hMapping.View();
    }
    limit = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_hMapping.Size(), current));
    return m_view;
}

bool CChatLogFile::ReadableSize(std::uint32_t& size) const {
    size = 0;
    std::uint64_t current = 0;
    if (!IsOpen() || !m_hFile.QuerySize(current))
        return false;
    size = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_fileSize, current));
    return true;
}

bool CChatLogFile::ReadAt(std::uint32_t offset, void* buffer, std::size_t count,
                          std::size_t& got) const {
    got = 0;
    if (offset >= m_fileSize)
        return IsOpen();
    // What was appended since the open is not read, as a view would not see it.
    const std::size_t before = m_fileSize - offset;
    return m_hFile.ReadAt(offset, buffer, std::min(count, before), got);
}

void CChatLogFile::ReleaseView() {
    m_hMapping.Unmap();
    m_view = nullptr;
}

void CChatLogFile::Close() {
    ReleaseView();
    m_hFile.Close();
}
