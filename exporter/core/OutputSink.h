// Where the writers put their text on its way to the output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// A growing text that is handed to a stream in large pieces. Without a stream
// (tests) it only grows.
class COutputSink {
public:
    explicit COutputSink(std::FILE* stream = nullptr) : m_stream(stream) {}
    std::string& Text() { return m_text; }
    // Writes out what has gathered once it is large; cheap to call often.
    void MaybeFlush() {
        if (m_stream && m_text.size() >= kFlushSize)
            Flush();
    }
    void Flush();
    // False once a write to the stream failed.
    bool Ok() const { return m_ok; }
    // "NAME: cannot write", with the system's reason when a write gave one
    // (a full disk says so).
    std::string WriteFailure(const std::string& name) const;
    // Bytes written so far, those still gathered included.
    std::uint64_t Position() const { return m_written + m_text.size(); }
    // Writes `bytes` again over what was written at `position` (a page's
    // link to the page after it, known only when that page begins). False,
    // with nothing changed, when that text is not all there or the stream
    // cannot go back to it.
    bool Overwrite(std::uint64_t position, std::string_view bytes);

private:
    static constexpr std::size_t kFlushSize = 1 << 16;
    std::FILE* m_stream;
    std::string m_text;
    std::uint64_t m_written = 0;
    bool m_ok = true;
    int m_error = 0; // errno of the first write that failed
    void Failed();
};
