// libFuzzer target: arbitrary bytes as a chat log file. Walks them in
// memory and through CChatLogFile on a real (memory-backed) file, checks
// that every record and every text stays inside the bytes, and that both
// walks agree.
#include "ChatLogFile.h"
#include "ChatLogFormat.h"
#include "ChatLogNames.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

std::vector<std::size_t> CheckedOffsets(const chatlog::ChatLogRecordIndex& index,
                                        const unsigned char* base, std::size_t size) {
    std::vector<std::size_t> offsets;
    std::size_t expected = chatlog::kChatLogHeaderSize;
    for (chatlog::ChatLogRecordPos p : index) {
        Check(p >= base + chatlog::kChatLogHeaderSize && p < base + size, "record inside the file");
        std::size_t offset = static_cast<std::size_t>(p - base);
        Check(offset == expected, "records back to back");
        std::uint16_t length = chatlog::RecordLength(p);
        Check(length >= chatlog::kChatLogMinRecordLength, "record long enough for its fields");
        Check(offset + length <= size, "record ends inside the file");
        std::string_view text = chatlog::RecordContent(p);
        Check(text.data() == reinterpret_cast<const char*>(p) + 12, "text after the fixed part");
        Check(text.size() <= length - 12u, "text inside its record");
        Check(text.find('\0') == std::string_view::npos, "text cut at its NUL");
        (void)chatlog::RecordTime(p);
        (void)chatlog::RecordDirection(p);
        offsets.push_back(offset);
        expected = offset + length;
    }
    return offsets;
}

int MemoryFile() {
    static int fd = memfd_create("chatlog", 0);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // In memory: libFuzzer's buffer has exactly `size` bytes, so ASan sees
    // any read past the end.
    chatlog::ChatLogRecordIndex index;
    chatlog::WalkChatLogRecords(data, static_cast<std::uint32_t>(size), index);
    std::vector<std::size_t> inMemory = CheckedOffsets(index, data, size);

    if (size >= chatlog::kChatLogHeaderSize) {
        chatlog::ChatLogHeader header;
        std::memcpy(&header, data, sizeof header);
        Check(chatlog::HeaderFriendKey(header).size() <= 16, "friend key inside its field");
        Check(chatlog::HeaderOwnerName(header).size() <= 21, "owner name inside its field");
        Check(chatlog::HeaderFriendName(header).size() <= 21, "friend name inside its field");
    }

    // The same bytes as a file, opened, header read and mapped for real.
    int fd = MemoryFile();
    if (fd >= 0 && ftruncate(fd, 0) == 0 &&
        pwrite(fd, data, size, 0) == static_cast<ssize_t>(size)) {
        char path[64];
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
        CChatLogFile log;
        bool opened = log.Open(path);
        Check(opened == (size >= chatlog::kChatLogHeaderSize),
              "opens exactly the files of 80 bytes or more");
        if (opened)
            Check(std::memcmp(&log.Header(), data, chatlog::kChatLogHeaderSize) == 0,
                  "header copied");
        chatlog::ChatLogRecordIndex mapped;
        log.EnumRecords(mapped);
        if (!mapped.empty()) {
            const unsigned char* view = mapped.front() - chatlog::kChatLogHeaderSize;
            Check(CheckedOffsets(mapped, view, size) == inMemory, "file walk equals memory walk");
        } else {
            Check(inMemory.empty(), "file walk found the same records");
        }
    }

    // The name rule and the key never read past their input either.
    std::string name(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 300));
    (void)chatlog::IsChatLogFileName(name.c_str());
    (void)chatlog::IsDigitString(name.c_str());
    if (size >= 8) {
        std::uint32_t a, b;
        std::memcpy(&a, data, 4);
        std::memcpy(&b, data + 4, 4);
        std::string key = chatlog::FormatAccountKey(a, b);
        Check(key.size() >= 2 && key.size() <= 15 && chatlog::IsDigitString(key.c_str()),
              "key shape");
    }
    return 0;
}
