// Writes chat log files the way the client does, and the damaged variants
// the viewer must survive. Used by tests, benchmarks, the demo and the
// chatlog-writer program; never by the viewer itself.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// What goes into a log's 80-byte header. A text as long as its field (16 or
// 21 bytes) or longer fills the field without a NUL, which is how the
// damaged cases are made.
struct ChatLogHeaderFields {
    std::string friendKey;
    std::string ownerName;
    std::string friendName;
    std::string magic = "DRCC";
    std::uint16_t version = 1;
};

// The 80 header bytes.
std::string BuildHeaderBytes(const ChatLogHeaderFields& fields);
// A well-formed record: 12 fixed bytes, the text and its NUL. The text must
// be shorter than 65523 bytes.
std::string BuildRecordBytes(std::int32_t time, std::uint32_t direction, std::string_view text);
// A record with a wLength of the caller's choice and `body` written as is
// (no NUL added), for records that lie about their size or lack the NUL.
std::string BuildRawRecordBytes(std::uint16_t wLength, std::int32_t time, std::uint32_t direction,
                                std::string_view body);

// Buffered writer of one log file.
class CChatLogWriter {
public:
    CChatLogWriter() = default;
    ~CChatLogWriter() { Close(); }
    CChatLogWriter(const CChatLogWriter&) = delete;
    CChatLogWriter& operator=(const CChatLogWriter&) = delete;

    // Creates (or empties) the file and writes its header.
    bool Create(const std::string& path, const ChatLogHeaderFields& header);
    // Opens an existing log for appending, as the client does while the
    // viewer may have it open (reading and writing shared).
    bool OpenAppend(const std::string& path);
    bool Append(std::int32_t time, std::uint32_t direction, std::string_view text);
    bool AppendBytes(std::string_view bytes);
    // Pushes buffered bytes to the file so other readers see them.
    bool Flush();
    // Flushes and closes; false if any write failed since Create/OpenAppend.
    bool Close();
    bool IsOpen() const { return m_file != nullptr; }

private:
    bool OpenFile(const std::string& path, const char* mode);

    std::FILE* m_file = nullptr;
    bool m_failed = false;
};

// One message as the client logs it.
struct ChatLogMessage {
    std::int32_t time = 0;
    std::uint32_t direction = 0; // 0 sent, anything else received
    std::string text;            // GBK, without NUL
};

// Writes a whole log: header, then one record per message in order.
bool WriteChatLogFile(const std::string& path, const ChatLogHeaderFields& header,
                      const std::vector<ChatLogMessage>& messages);

// Writes a whole file from bytes; false on any failure.
bool WriteFileBytes(const std::string& path, std::string_view bytes);
