#include "OutputSink.h"

void COutputSink::Flush() {
    if (!m_stream || m_text.empty())
        return;
    if (std::fwrite(m_text.data(), 1, m_text.size(), m_stream) != m_text.size())
        m_ok = false;
    m_text.clear();
}
