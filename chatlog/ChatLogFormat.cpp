#include "ChatLogFormat.h"

#include <cstring>

namespace chatlog {

ChatLogHeader MakeFreshChatLogHeader() {
    ChatLogHeader header;
    std::memset(&header, 0, sizeof header);
    std::memcpy(header.magic, kChatLogMagic, sizeof kChatLogMagic);
    header.wVersion = kChatLogVersion;
    return header;
}

std::string_view BoundedText(const char* field, std::size_t width) {
    if (!field)
        return {};
    const void* nul = std::memchr(field, 0, width);
    std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : width;
    return std::string_view(field, length);
}

std::string_view HeaderFriendKey(const ChatLogHeader& header) {
    return BoundedText(header.szFriendKey, sizeof header.szFriendKey);
}

std::string_view HeaderOwnerName(const ChatLogHeader& header) {
    return BoundedText(header.szOwnerName, sizeof header.szOwnerName);
}

std::string_view HeaderFriendName(const ChatLogHeader& header) {
    return BoundedText(header.szFriendName, sizeof header.szFriendName);
}

namespace {

// memcpy keeps unaligned reads defined on every target.
template <typename T> T ReadAt(ChatLogRecordPos record, std::size_t offset) {
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

} // namespace

std::uint16_t RecordLength(ChatLogRecordPos record) {
    return ReadAt<std::uint16_t>(record, offsetof(ChatLogRecord, wLength));
}

std::int32_t RecordTime(ChatLogRecordPos record) {
    return ReadAt<std::int32_t>(record, offsetof(ChatLogRecord, tTime));
}

std::uint32_t RecordDirection(ChatLogRecordPos record) {
    return ReadAt<std::uint32_t>(record, offsetof(ChatLogRecord, dwDirection));
}

std::string_view RecordContent(ChatLogRecordPos record) {
    return RecordContent(record, RecordLength(record));
}

std::string_view RecordContent(ChatLogRecordPos record, std::uint16_t length) {
    if (length <= kChatLogRecordFixedSize)
        return {};
    return BoundedText(reinterpret_cast<const char*>(record) + kChatLogRecordFixedSize,
                       length - kChatLogRecordFixedSize);
}

std::uint16_t RecordLengthWithin(ChatLogRecordPos record, const unsigned char* viewEnd) {
    if (!record || viewEnd <= record || viewEnd - record < 2)
        return 0;
    const std::uint16_t length = RecordLength(record);
    const std::ptrdiff_t available = viewEnd - record;
    return available < length ? static_cast<std::uint16_t>(available) : length;
}

std::string_view RecordSender(const ChatLogHeader& header, ChatLogRecordPos record) {
    return IsSentRecord(record) ? HeaderOwnerName(header) : HeaderFriendName(header);
}

void WalkChatLogRecords(const unsigned char* view, std::uint32_t size, ChatLogRecordIndex& index) {
    VisitChatLogRecords(view, size, [&index](ChatLogRecordPos record) { index.push_back(record); });
}

} // namespace chatlog
