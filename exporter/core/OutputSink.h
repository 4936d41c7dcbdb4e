// Where the writers put their text on its way to the output.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

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

private:
    static constexpr std::size_t kFlushSize = 1 << 16;
    std::FILE* m_stream;
    std::string m_text;
    bool m_ok = true;
};
