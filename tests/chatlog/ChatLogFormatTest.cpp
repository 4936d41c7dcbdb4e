// The record walk and the bounded readers over plain byte buffers.
#include "ChatLogFormat.h"

#include "ChatLogWriter.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// An exact-size heap copy, so AddressSanitizer catches any read past it.
struct Bytes {
    explicit Bytes(const std::string& s) : size(s.size()), data(new unsigned char[s.size() + 1]) {
        std::memcpy(data.get(), s.data(), s.size());
    }
    std::size_t size;
    std::unique_ptr<unsigned char[]> data;
};

std::vector<std::size_t> WalkOffsets(const std::string& file) {
    Bytes bytes(file);
    chatlog::ChatLogRecordIndex index;
    chatlog::WalkChatLogRecords(bytes.data.get(), static_cast<std::uint32_t>(bytes.size), index);
    std::vector<std::size_t> offsets;
    for (chatlog::ChatLogRecordPos p : index)
        offsets.push_back(static_cast<std::size_t>(p - bytes.data.get()));
    return offsets;
}

std::string Header() {
    return BuildHeaderBytes({"42", "me", "you"});
}
std::string Rec(const std::string& text) {
    return BuildRecordBytes(100, 0, text);
}

} // namespace

TEST(ChatLogLayout, FieldOffsetsAndSizes) {
    struct {
        std::size_t actual, expected;
        const char* what;
    } fields[] = {
        {offsetof(chatlog::ChatLogHeader, magic), 0, "magic"},
        {offsetof(chatlog::ChatLogHeader, wVersion), 4, "wVersion"},
        {offsetof(chatlog::ChatLogHeader, byReserved), 6, "byReserved"},
        {offsetof(chatlog::ChatLogHeader, szFriendKey), 22, "szFriendKey"},
        {offsetof(chatlog::ChatLogHeader, szOwnerName), 38, "szOwnerName"},
        {offsetof(chatlog::ChatLogHeader, szFriendName), 59, "szFriendName"},
        {sizeof(chatlog::ChatLogHeader), 80, "header size"},
        {offsetof(chatlog::ChatLogRecord, wLength), 0, "wLength"},
        {offsetof(chatlog::ChatLogRecord, wReserved), 2, "wReserved"},
        {offsetof(chatlog::ChatLogRecord, tTime), 4, "tTime"},
        {offsetof(chatlog::ChatLogRecord, dwDirection), 8, "dwDirection"},
        {offsetof(chatlog::ChatLogRecord, szContent), 12, "szContent"},
    };
    for (const auto& f : fields)
        EXPECT_EQ(f.actual, f.expected) << f.what;
}

TEST(ChatLogLayout, FreshHeader) {
    chatlog::ChatLogHeader h = chatlog::MakeFreshChatLogHeader();
    const auto* raw = reinterpret_cast<const unsigned char*>(&h);
    EXPECT_EQ(std::string(raw, raw + 6), std::string("DRCC\x01\x00", 6));
    for (std::size_t i = 6; i < sizeof h; ++i)
        ASSERT_EQ(raw[i], 0) << "byte " << i;
}

// Every field read at every alignment: the bytes are laid out by hand,
// little-endian, independent of the writer.
TEST(ChatLogLayout, RecordFieldsAtEveryOffset) {
    const unsigned char record[] = {0x11, 0x00,             // wLength 17
                                    0xAA, 0xBB,             // wReserved
                                    0x78, 0x56, 0x34, 0x92, // tTime 0x92345678 (negative)
                                    0xFF, 0xFF, 0xFF, 0xFF, // dwDirection 0xFFFFFFFF
                                    'a',  'b',  'c',  'd',  0};
    for (std::size_t shift = 0; shift < 8; ++shift) {
        std::vector<unsigned char> buffer(shift + sizeof record);
        std::memcpy(buffer.data() + shift, record, sizeof record);
        chatlog::ChatLogRecordPos p = buffer.data() + shift;
        EXPECT_EQ(chatlog::RecordLength(p), 17) << shift;
        EXPECT_EQ(chatlog::RecordTime(p), static_cast<std::int32_t>(0x92345678u)) << shift;
        EXPECT_EQ(chatlog::RecordDirection(p), 0xFFFFFFFFu) << shift;
        EXPECT_FALSE(chatlog::IsSentRecord(p)) << shift;
        EXPECT_EQ(chatlog::RecordContent(p), "abcd") << shift;
    }
}

TEST(ChatLogWalk, Table) {
    const std::string h = Header();
    const std::string r1 = Rec("abc");   // 16 bytes
    const std::string r2 = Rec("hello"); // 18 bytes
    const std::string minimal = Rec(""); // 13 bytes: the smallest record
    struct Case {
        const char* what;
        std::string file;
        std::vector<std::size_t> offsets;
    } cases[] = {
        {"nothing", "", {}},
        {"79 bytes", h.substr(0, 79), {}},
        {"header only", h, {}},
        {"header and one stray byte", h + "x", {}},
        {"one record filling the file", h + r1, {80}},
        {"smallest record", h + minimal, {80}},
        {"three records", h + r1 + r2 + r1, {80, 96, 114}},
        {"last record short by one byte", h + r1 + r2.substr(0, r2.size() - 1), {80}},
        {"tail shorter than a fixed part", h + r1 + r2.substr(0, 5), {80}},
        {"tail of a single byte", h + r1 + "\x40", {80}},
        {"wLength 0 ends the walk", h + r1 + BuildRawRecordBytes(0, 1, 1, "zzzzzz") + r1, {80}},
        {"wLength 12 ends the walk", h + r1 + BuildRawRecordBytes(12, 1, 1, "") + r1, {80}},
        {"wLength 1 at the start", h + BuildRawRecordBytes(1, 1, 1, "abc") + r1, {}},
        {"wLength 13 without NUL is a record", h + BuildRawRecordBytes(13, 1, 1, "q"), {80}},
        {"wLength beyond the file", h + BuildRawRecordBytes(0xFFFF, 1, 1, "abc"), {}},
        {"odd offsets", h + Rec("ab") + Rec("abcd") + Rec("a"), {80, 95, 112}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WalkOffsets(c.file), c.offsets) << c.what;
}

TEST(ChatLogWalk, AppendsToWhatTheIndexHolds) {
    Bytes bytes(Header() + Rec("x"));
    chatlog::ChatLogRecordIndex index;
    chatlog::WalkChatLogRecords(bytes.data.get(), static_cast<std::uint32_t>(bytes.size), index);
    chatlog::WalkChatLogRecords(bytes.data.get(), static_cast<std::uint32_t>(bytes.size), index);
    ASSERT_EQ(index.size(), 2u);
    EXPECT_EQ(index[0], index[1]);
    chatlog::ChatLogRecordIndex none;
    chatlog::WalkChatLogRecords(nullptr, 500, none);
    EXPECT_TRUE(none.empty());
}

TEST(ChatLogText, BoundedFields) {
    struct Case {
        std::string field;
        std::size_t width;
        std::string expected;
    } cases[] = {
        {std::string("abc\0def", 7), 7, "abc"},
        {"abcdefg", 7, "abcdefg"}, // no NUL: cut at the field's end
        {std::string("\0abc", 4), 4, ""},
        {std::string("\xd5\xc5\xc8\xfd\0\0", 6), 6, "\xd5\xc5\xc8\xfd"},
    };
    for (const Case& c : cases) {
        Bytes bytes(c.field);
        EXPECT_EQ(chatlog::BoundedText(reinterpret_cast<const char*>(bytes.data.get()), c.width),
                  c.expected);
    }
    EXPECT_TRUE(chatlog::BoundedText(nullptr, 5).empty());
}

TEST(ChatLogText, HeaderFieldsWithoutNul) {
    ChatLogHeaderFields fields;
    fields.friendKey = "1234567890123456";    // 16: fills szFriendKey
    fields.ownerName = std::string(21, 'o');  // fills szOwnerName
    fields.friendName = std::string(30, 'f'); // longer than the field
    std::string bytes = BuildHeaderBytes(fields);
    ASSERT_EQ(bytes.size(), 80u);
    chatlog::ChatLogHeader h;
    std::memcpy(&h, bytes.data(), 80);
    EXPECT_EQ(chatlog::HeaderFriendKey(h), "1234567890123456");
    EXPECT_EQ(chatlog::HeaderOwnerName(h), std::string(21, 'o'));
    EXPECT_EQ(chatlog::HeaderFriendName(h), std::string(21, 'f'));
}

TEST(ChatLogText, ContentCutAtTheRecordEnd) {
    // The record ends right after "abcd" (no NUL), and the next one follows:
    // its bytes must not leak into the text.
    std::string file = Header() + BuildRawRecordBytes(16, 5, 1, "abcd") + Rec("next");
    Bytes bytes(file);
    chatlog::ChatLogRecordIndex index;
    chatlog::WalkChatLogRecords(bytes.data.get(), static_cast<std::uint32_t>(bytes.size), index);
    ASSERT_EQ(index.size(), 2u);
    EXPECT_EQ(chatlog::RecordContent(index[0]), "abcd");
    EXPECT_EQ(chatlog::RecordContent(index[1]), "next");
}

TEST(ChatLogText, SenderFollowsDirection) {
    chatlog::ChatLogHeader h;
    std::memcpy(&h, BuildHeaderBytes({"7", "owner", "friend"}).data(), 80);
    const std::uint32_t directions[] = {0, 1, 2, 0x80000000u, 0xFFFFFFFFu};
    for (std::uint32_t d : directions) {
        std::string r = BuildRecordBytes(0, d, "t");
        auto* p = reinterpret_cast<chatlog::ChatLogRecordPos>(r.data());
        EXPECT_EQ(chatlog::RecordDirection(p), d);
        EXPECT_EQ(chatlog::RecordSender(h, p), d == 0 ? "owner" : "friend") << d;
    }
}
