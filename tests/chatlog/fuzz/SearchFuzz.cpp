// libFuzzer target: the search core against a plain reference on the same
// bytes. The input makes a needle and a log of records (either may repeat
// a short piece many times, the texts where long needles cost most); every
// entry point must name exactly the records, and the offsets, that a
// character-by-character comparison finds, with the wide scan and without.
// The log lies in a buffer of its exact size, so ASan sees any read past it.
#include "ChatLogSearch.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "search differs from the reference: %s\n", what);
        std::abort();
    }
}

struct Input {
    const std::uint8_t* at;
    const std::uint8_t* end;
    std::uint8_t Byte() { return at < end ? *at++ : 0; }
    // A descriptor byte: high bit set, a piece of 1-4 bytes repeated up to
    // `most` times; else that many bytes as they are.
    std::string Text(unsigned most) {
        const std::uint8_t d = Byte();
        std::string piece;
        const std::size_t size = d & 0x80 ? (d & 3) + 1 : d;
        while (piece.size() < size && at < end)
            piece += static_cast<char>(*at++);
        if (!(d & 0x80))
            return piece;
        std::string out;
        for (unsigned r = Byte() % most + 1; r > 0; --r)
            out += piece;
        return out;
    }
};

// Characters of GBK text: a lead byte 0x81-0xFE and a trail byte 0x40-0xFE
// other than 0x7F make one, every other byte is one.
std::vector<std::string_view> Characters(std::string_view s) {
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto lead = static_cast<unsigned char>(s[i]);
        std::size_t n = 1;
        if (lead >= 0x81 && lead != 0xFF && i + 1 < s.size()) {
            const auto trail = static_cast<unsigned char>(s[i + 1]);
            n = trail >= 0x40 && trail != 0x7F && trail != 0xFF ? 2 : 1;
        }
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

__attribute__((no_sanitize("coverage"))) bool Same(std::string_view a, std::string_view b,
                                                   bool matchCase) {
    if (a == b)
        return true;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return !matchCase && a.size() == 1 && b.size() == 1 && lower(a[0]) == lower(b[0]);
}

// Byte offset of the first match in `text` (cut at its NUL), or -1. Plain
// and slow on repetitive text: kept out of the coverage the fuzzer steers by.
__attribute__((no_sanitize("coverage"))) long
Reference(std::string_view text, const std::vector<std::string_view>& needle, bool matchCase) {
    const std::vector<std::string_view> t = Characters(text);
    std::size_t offset = 0;
    for (std::size_t i = 0; i + needle.size() <= t.size(); offset += t[i].size(), ++i) {
        std::size_t k = 0;
        while (k < needle.size() && Same(t[i + k], needle[k], matchCase))
            ++k;
        if (k == needle.size())
            return static_cast<long>(offset);
    }
    return -1;
}

template <class Get> std::vector<std::size_t> Chain(Get next) {
    std::vector<std::size_t> out;
    for (std::size_t i = chatlog::kNoRecord; (i = next(i)) != chatlog::kNoRecord;)
        out.push_back(i);
    return out;
}

void CheckAll(const std::string& needle, bool matchCase, bool wide, const unsigned char* view,
              std::size_t size, const std::vector<std::uint32_t>& offsets,
              const std::vector<long>& expected) {
    const chatlog::CTextSearch search(needle, matchCase, wide);
    const chatlog::RecordRun run{view + 80, offsets.data(), offsets.size(), view + size};
    std::vector<std::size_t> hits;
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (expected[i] >= 0)
            hits.push_back(i);

    std::vector<std::size_t> every, inLog, even, evenHits;
    chatlog::FindEveryRecord(search, run, [&](std::size_t i) { every.push_back(i); });
    Check(every == hits, "every record of the run");
    chatlog::FindInLog(search, view, static_cast<std::uint32_t>(size),
                       [&](chatlog::ChatLogRecordPos p) {
                           std::size_t i = 0;
                           while (i < offsets.size() && run.first + offsets[i] != p)
                               ++i;
                           inLog.push_back(i);
                       });
    Check(inLog == hits, "whole log");
    std::vector<std::uint32_t> evenOffsets;
    for (std::size_t i = 0; i < offsets.size(); i += 2)
        evenOffsets.push_back(offsets[i]);
    const chatlog::RecordRun evenRun{run.first, evenOffsets.data(), evenOffsets.size(),
                                     run.viewEnd};
    chatlog::FindEveryRecord(search, evenRun, [&](std::size_t i) { even.push_back(i * 2); });
    for (std::size_t i : hits)
        if (i % 2 == 0)
            evenHits.push_back(i);
    Check(even == evenHits, "every record of a filtered run");
    Check(Chain([&](std::size_t i) { return chatlog::FindNextRecord(search, run, i, true); }) ==
              hits,
          "find next");
    std::vector<std::size_t> up =
        Chain([&](std::size_t i) { return chatlog::FindNextRecord(search, run, i, false); });
    Check(std::vector<std::size_t>(up.rbegin(), up.rend()) == hits, "find previous");
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        chatlog::TextMatch match;
        const bool found = search.FindInRecord(run.first + offsets[i], match);
        Check(found == (expected[i] >= 0), "one record");
        Check(!found || (match.offset == static_cast<std::uint32_t>(expected[i]) &&
                         match.length == needle.size()),
              "the match's place in its record");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, data + size};
    const std::uint8_t flags = in.Byte();
    const bool matchCase = flags & 1;
    const std::string needle = in.Text(32);
    std::string log(80, '\0');
    std::vector<std::uint32_t> offsets;
    std::vector<std::string> texts;
    while (in.at < in.end && offsets.size() < 32) {
        std::string text = in.Text(128);
        if (text.empty())
            text += '\0'; // the smallest record the walk takes: its fields and a NUL
        offsets.push_back(static_cast<std::uint32_t>(log.size() - 80));
        const auto length = static_cast<std::uint16_t>(12 + text.size());
        log += static_cast<char>(length & 0xFF);
        log += static_cast<char>(length >> 8);
        log.append(10, '\0');
        log += text;
        texts.push_back(text.substr(0, text.find('\0')));
    }
    const bool nothing = needle.empty() || needle.find('\0') != std::string::npos;
    const std::vector<std::string_view> needleCharacters = Characters(needle);
    std::vector<long> expected;
    for (const std::string& text : texts)
        expected.push_back(nothing ? -1 : Reference(text, needleCharacters, matchCase));

    std::vector<unsigned char> view(log.begin(), log.end()); // exact size
    for (bool wide : {true, false})
        CheckAll(needle, matchCase, wide, view.data(), view.size(), offsets, expected);
    return 0;
}
