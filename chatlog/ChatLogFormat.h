// The chat log file format: the 80-byte header, the length-prefixed message
// record, and the bounded readers every caller goes through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "The chat log readers assume a little-endian target, as the files are."
#endif

namespace chatlog {

#pragma pack(push, 1)
// The first 80 bytes of every log file, exactly as the client writes them.
struct ChatLogHeader {
    char magic[4];                // kChatLogMagic, never checked
    std::uint16_t wVersion;       // kChatLogVersion, never checked
    unsigned char byReserved[16]; // ignored
    char szFriendKey[16];         // the friend's account key
    char szOwnerName[21];         // nickname of the signed-in user
    char szFriendName[21];        // nickname of the friend
};

// The fixed part of a message record plus the first byte of its text; a
// record is wLength bytes in all and may start at any offset.
struct ChatLogRecord {
    std::uint16_t wLength;      // whole record, this field included
    unsigned char wReserved[2]; // ignored
    std::int32_t tTime;         // Unix time
    std::uint32_t dwDirection;  // 0 sent by the owner, else received
    char szContent[1];          // text, NUL-terminated inside the record
};
#pragma pack(pop)

// The layouts are the files', whatever the word size of the build: checked
// here so that the 32-bit and the 64-bit build both refuse to compile a
// layout that moved.
static_assert(sizeof(ChatLogHeader) == 80, "header is 80 bytes on disk");
static_assert(offsetof(ChatLogHeader, wVersion) == 4 && offsetof(ChatLogHeader, byReserved) == 6 &&
                  offsetof(ChatLogHeader, szFriendKey) == 22 &&
                  offsetof(ChatLogHeader, szOwnerName) == 38 &&
                  offsetof(ChatLogHeader, szFriendName) == 59,
              "header fields where the client writes them");
static_assert(sizeof(ChatLogRecord) == 13, "fixed part plus the text's NUL");
static_assert(offsetof(ChatLogRecord, wReserved) == 2 && offsetof(ChatLogRecord, tTime) == 4 &&
                  offsetof(ChatLogRecord, dwDirection) == 8 &&
                  offsetof(ChatLogRecord, szContent) == 12,
              "record fields where the client writes them");

constexpr std::uint32_t kChatLogHeaderSize = sizeof(ChatLogHeader);

// What the client writes into every header it makes. The viewer reads a log
// whatever they hold; the exporter names a log that differs as foreign.
constexpr char kChatLogMagic[4] = {'D', 'R', 'C', 'C'};
constexpr std::uint16_t kChatLogVersion = 1;

// The code page of every text in a chat log and of its file's name: GBK.
constexpr unsigned kChatLogCodePage = 936;

// The size a log is handled with: a 4 GiB log or larger must not look like a
// small one (its low 32 bits may be a bare header), so the size is clamped,
// never cut. Such a log cannot be mapped whole anyway.
constexpr std::uint32_t ClampedLogSize(std::uint64_t size) {
    return size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(size);
}
static_assert(ClampedLogSize(0) == 0 && ClampedLogSize(0xFFFFFFFFu) == 0xFFFFFFFFu &&
                  ClampedLogSize(0x100000000ull) == 0xFFFFFFFFu &&
                  ClampedLogSize(0x100000000ull + kChatLogHeaderSize) == 0xFFFFFFFFu &&
                  ClampedLogSize(~0ull) == 0xFFFFFFFFu,
              "sizes past 32 bits are clamped, not cut, in both word sizes");

constexpr std::size_t kChatLogRecordFixedSize = 12;
// 12 fixed bytes and at least the text's NUL; anything shorter cannot hold
// its fields, so a walk ends there.
constexpr std::uint16_t kChatLogMinRecordLength = sizeof(ChatLogRecord);

// A record position: the address of a record inside a mapped view, valid
// while that view stays mapped.
using ChatLogRecordPos = const unsigned char*;
using ChatLogRecordIndex = std::deque<ChatLogRecordPos>;

// The header a log object holds before any file is read: kChatLogMagic,
// kChatLogVersion, every other byte zero.
ChatLogHeader MakeFreshChatLogHeader();

// Text of a fixed-width field, cut at its first NUL or at the field's end
// when the NUL is missing; never reads past the field.
std::string_view BoundedText(const char* field, std::size_t width);

// Header fields, bounded to their widths.
std::string_view HeaderFriendKey(const ChatLogHeader& header);
std::string_view HeaderOwnerName(const ChatLogHeader& header);
std::string_view HeaderFriendName(const ChatLogHeader& header);

// Record fields, read unaligned and little-endian at a position that a walk
// delivered (so wLength >= 13 and the whole record lies in the view).
std::uint16_t RecordLength(ChatLogRecordPos record);
std::int32_t RecordTime(ChatLogRecordPos record);
std::uint32_t RecordDirection(ChatLogRecordPos record);
inline bool IsSentRecord(ChatLogRecordPos record) {
    return RecordDirection(record) == 0;
}
// The message text, cut at its NUL or at the record's end; empty for a
// record too short to carry text. Reads wLength again: only for records of
// a view nobody else writes (tests, logs this process made).
std::string_view RecordContent(ChatLogRecordPos record);
// The same text within `length` bytes of record, the length the walk read.
// Another program may rewrite a log while it is mapped (the client appends
// to it), so a length read twice may differ: every reader uses the value
// the walk checked, and a rewritten log gives odd text, never a read
// outside the record.
std::string_view RecordContent(ChatLogRecordPos record, std::uint16_t length);
// wLength read once and cut to the bytes of the view from record on: for a
// position kept from an earlier walk, whose length may have changed since.
// 0 when not even wLength lies inside the view.
std::uint16_t RecordLengthWithin(ChatLogRecordPos record, const unsigned char* viewEnd);
// The one check of every walk: the record's wLength, read once, when a
// whole record lies there within the `available` bytes from `record` on;
// 0 (the walk ends there) for a length shorter than a record's fields or
// longer than what is left, or fewer bytes left than the smallest record
// (which also keeps the wLength read itself inside them).
inline std::uint16_t CheckedRecordLength(ChatLogRecordPos record, std::size_t available) {
    if (available < kChatLogMinRecordLength)
        return 0;
    const std::uint16_t length = RecordLength(record);
    return length >= kChatLogMinRecordLength && length <= available ? length : 0;
}
// The sender's nickname: the owner's for sent records, the friend's else.
std::string_view RecordSender(const ChatLogHeader& header, ChatLogRecordPos record);

// Walks the records of a view of `size` bytes (header included) and appends
// the position of every complete record in file order. Ends at the first
// record that runs past the end or is shorter than 13 bytes; the records
// before it are kept. Never reads outside [view, view + size).
void WalkChatLogRecords(const unsigned char* view, std::uint32_t size, ChatLogRecordIndex& index);

// The walk for callers that keep less than a position per record: calls
// visit(position, length) for every complete record, in file order, with
// the length it checked. wLength is read once per record: the walk goes on
// with that value whatever visit does or the view holds by then.
template <class Visit>
void VisitChatLogRecordLengths(const unsigned char* view, std::uint32_t size, Visit&& visit) {
    if (!view || size <= kChatLogHeaderSize)
        return;
    std::uint32_t position = kChatLogHeaderSize;
    std::uint32_t remaining = size - kChatLogHeaderSize;
    for (;;) {
        const std::uint16_t length = CheckedRecordLength(view + position, remaining);
        if (length == 0)
            break;
        visit(static_cast<ChatLogRecordPos>(view + position), length);
        position += length;
        remaining -= length;
    }
}

// The same walk calling visit(position) alone.
template <class Visit>
void VisitChatLogRecords(const unsigned char* view, std::uint32_t size, Visit&& visit) {
    VisitChatLogRecordLengths(view, size,
                              [&visit](ChatLogRecordPos record, std::uint16_t) { visit(record); });
}

} // namespace chatlog
