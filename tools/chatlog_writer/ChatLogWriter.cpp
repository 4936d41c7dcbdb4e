#include "ChatLogWriter.h"

#include <algorithm>
#include <cstring>

namespace {

void PutU16(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void PutU32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// A field of `width` bytes: the text, then NULs; a text that does not fit
// fills the field and has no NUL.
void PutField(std::string& out, std::string_view text, std::size_t width) {
    std::size_t n = std::min(text.size(), width);
    out.append(text.data(), n);
    out.append(width - n, '\0');
}

} // namespace

std::string BuildHeaderBytes(const ChatLogHeaderFields& fields) {
    std::string out;
    out.reserve(80);
    PutField(out, fields.magic, 4);
    PutU16(out, fields.version);
    out.append(16, '\0');
    PutField(out, fields.friendKey, 16);
    PutField(out, fields.ownerName, 21);
    PutField(out, fields.friendName, 21);
    return out;
}

std::string BuildRawRecordBytes(std::uint16_t wLength, std::int32_t time, std::uint32_t direction,
                                std::string_view body) {
    std::string out;
    out.reserve(12 + body.size());
    PutU16(out, wLength);
    PutU16(out, 0);
    PutU32(out, static_cast<std::uint32_t>(time));
    PutU32(out, direction);
    out.append(body.data(), body.size());
    return out;
}

std::string BuildRecordBytes(std::int32_t time, std::uint32_t direction, std::string_view text) {
    std::string out = BuildRawRecordBytes(static_cast<std::uint16_t>(12 + text.size() + 1), time,
                                          direction, text);
    out.push_back('\0');
    return out;
}

bool CChatLogWriter::OpenFile(const std::string& path, const char* mode) {
    Close();
    m_failed = false;
    m_file = std::fopen(path.c_str(), mode);
    if (!m_file)
        return false;
    // A big buffer: a million records go out in a few hundred writes.
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    return true;
}

bool CChatLogWriter::Create(const std::string& path, const ChatLogHeaderFields& header) {
    return OpenFile(path, "wb") && AppendBytes(BuildHeaderBytes(header));
}

bool CChatLogWriter::OpenAppend(const std::string& path) {
    return OpenFile(path, "ab");
}

bool CChatLogWriter::Append(std::int32_t time, std::uint32_t direction, std::string_view text) {
    if (text.size() > 0xFFFF - 13) {
        m_failed = true;
        return false;
    }
    return AppendBytes(BuildRecordBytes(time, direction, text));
}

bool CChatLogWriter::AppendBytes(std::string_view bytes) {
    if (!m_file)
        return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        m_failed = true;
    return !m_failed;
}

bool CChatLogWriter::Flush() {
    if (!m_file)
        return false;
    if (std::fflush(m_file) != 0)
        m_failed = true;
    return !m_failed;
}

bool CChatLogWriter::Close() {
    if (!m_file)
        return !m_failed;
    if (std::fclose(m_file) != 0)
        m_failed = true;
    m_file = nullptr;
    return !m_failed;
}

bool WriteChatLogFile(const std::string& path, const ChatLogHeaderFields& header,
                      const std::vector<ChatLogMessage>& messages) {
    CChatLogWriter writer;
    if (!writer.Create(path, header))
        return false;
    for (const ChatLogMessage& m : messages) {
        if (!writer.Append(m.time, m.direction, m.text))
            return false;
    }
    return writer.Close();
}

bool WriteFileBytes(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    return ok;
}
