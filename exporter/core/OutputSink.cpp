#include "OutputSink.h"

#include <cerrno>
#include <cstring>

void COutputSink::Flush() {
    if (!m_stream || m_text.empty())
        return;
    if (std::fwrite(m_text.data(), 1, m_text.size(), m_stream) != m_text.size())
        Failed();
    m_written += m_text.size();
    m_text.clear();
}

bool COutputSink::Overwrite(std::uint64_t position, std::string_view bytes) {
    if (position + bytes.size() > Position())
        return false;
    if (position >= m_written) {
        m_text.replace(static_cast<std::size_t>(position - m_written), bytes.size(), bytes);
        return true;
    }
    // Already in the stream: back to it and forth to the end again. A long
    // reaches 2 GiB on every platform, far beyond where such a link stands.
    constexpr std::uint64_t kSeekable = 0x7FFFFFFF;
    if (!m_stream || position > kSeekable)
        return false;
    Flush();
    if (std::fseek(m_stream, static_cast<long>(position), SEEK_SET) != 0)
        return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_stream) != bytes.size())
        Failed();
    if (std::fseek(m_stream, 0, SEEK_END) != 0)
        Failed();
    return m_ok;
}

void COutputSink::Failed() {
    if (m_ok)
        m_error = errno;
    m_ok = false;
}

std::string COutputSink::WriteFailure(const std::string& name) const {
    return name + ": cannot write" +
           (m_error != 0 ? ": " + std::string(std::strerror(m_error)) : "");
}
