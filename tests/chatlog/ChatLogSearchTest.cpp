// The search core over GBK bytes: character boundaries, folding, runs in
// both directions and their ends, and logs cut short or rewritten while
// they are searched. Buffers are exact-size heap copies, so AddressSanitizer
// reports any read past a view.
#include "ChatLogSearch.h"

#include "ChatLogWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct Bytes {
    explicit Bytes(const std::string& s) : size(s.size()), data(new unsigned char[s.size()]) {
        std::memcpy(data.get(), s.data(), s.size());
    }
    const unsigned char* begin() const { return data.get(); }
    const unsigned char* end() const { return data.get() + size; }
    std::size_t size;
    std::unique_ptr<unsigned char[]> data;
};

const std::string kHeader = BuildHeaderBytes({"42", "me", "you"});
const std::string kHa = "\xB9\xFE"; // 哈
const std::string kHe = "\xBA\xC7"; // 呵

std::string Repeat(const std::string& s, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out += s;
    return out;
}

// A record holding `body` as it is (add the NUL to the body for one).
std::string Raw(const std::string& body) {
    return BuildRawRecordBytes(static_cast<std::uint16_t>(12 + body.size()), 7, 0, body);
}

// The reference the core must agree with: text and needle cut into GBK
// characters and compared character by character, single-byte letters
// folded when asked.
std::vector<std::string> Characters(std::string_view s) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < s.size();) {
        auto lead = static_cast<unsigned char>(s[i]);
        std::size_t n = 1;
        if (lead >= 0x81 && lead != 0xFF && i + 1 < s.size()) {
            auto trail = static_cast<unsigned char>(s[i + 1]);
            if (trail >= 0x40 && trail != 0x7F && trail != 0xFF)
                n = 2;
        }
        out.emplace_back(s.substr(i, n));
        i += n;
    }
    return out;
}

bool SameCharacter(const std::string& a, const std::string& b, bool matchCase) {
    if (a == b)
        return true;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return !matchCase && a.size() == 1 && b.size() == 1 && lower(a[0]) == lower(b[0]);
}

// Offset of the first match in a text cut into characters, or -1.
long ReferenceFind(const std::vector<std::string>& t, std::string_view needle, bool matchCase) {
    if (needle.empty() || needle.find('\0') != std::string_view::npos)
        return -1;
    std::vector<std::string> n = Characters(needle);
    std::size_t offset = 0;
    for (std::size_t i = 0; i + n.size() <= t.size(); offset += t[i].size(), ++i) {
        std::size_t k = 0;
        while (k < n.size() && SameCharacter(t[i + k], n[k], matchCase))
            ++k;
        if (k == n.size())
            return static_cast<long>(offset);
    }
    return -1;
}

// The same for a text (already cut at its NUL).
long ReferenceFind(std::string_view text, std::string_view needle, bool matchCase) {
    return ReferenceFind(Characters(text), needle, matchCase);
}

// A log's bytes with the offsets of its records from the first one.
struct Log {
    std::string bytes = kHeader;
    std::vector<std::uint32_t> offsets;
    std::vector<std::string> texts; // each cut at its NUL
    void Add(const std::string& body) {
        offsets.push_back(static_cast<std::uint32_t>(bytes.size() - kHeader.size()));
        bytes += Raw(body);
        texts.push_back(body.substr(0, body.find('\0')));
    }
};

chatlog::RecordRun RunOf(const Bytes& view, const std::vector<std::uint32_t>& offsets) {
    return {view.begin() + kHeader.size(), offsets.data(), offsets.size(), view.end()};
}

std::vector<std::size_t> EveryRecord(const chatlog::CTextSearch& search,
                                     const chatlog::RecordRun& run) {
    std::vector<std::size_t> hits;
    chatlog::FindEveryRecord(search, run, [&](std::size_t i) { hits.push_back(i); });
    return hits;
}

std::vector<std::size_t> Chain(const chatlog::CTextSearch& search, const chatlog::RecordRun& run,
                               bool forward) {
    std::vector<std::size_t> hits;
    for (std::size_t i = chatlog::kNoRecord;
         (i = chatlog::FindNextRecord(search, run, i, forward)) != chatlog::kNoRecord;)
        hits.push_back(i);
    return hits;
}

} // namespace

TEST(ChatLogSearch, OneRecordTable) {
    using std::string;
    struct Case {
        const char* what;
        string body; // the record's text bytes as stored
        string needle;
        bool matchCase;
        long offset; // -1: not found
    } cases[] = {
        {"trail byte is no letter", string("\x81\x41\0", 3), "A", true, -1},
        {"trail byte is not folded", string("\x81\x61\0", 3), "A", false, -1},
        {"letter after a two-byte character",
         string("\x81\x41"
                "A\0",
                4),
         "A", true, 2},
        {"odd run of lead bytes", string("\x81\x81\x81\x41\0", 5), "A", false, -1},
        {"even run of lead bytes", string("\x81\x81\x41\0", 4), "a", false, 2},
        {"needle starting on a trail byte", string("\xB0\xA1\xB0\xA1\0", 5), "\xA1\xB0", true, -1},
        {"later place on a boundary", string("\xD6\xB0\xA1!\xB0\xA1\0", 7), "\xB0\xA1", true, 4},
        {"needle ending on a lead byte, its trail follows", string("a\xB0\xA1\0", 4), "a\xB0", true,
         -1},
        {"needle ending on a lead byte, text ends there", string("a\xB0\0", 3), "a\xB0", true, 0},
        {"lone lead byte before ASCII", string("\xB0!\0", 3), "\xB0", true, 0},
        {"two-byte character with a letter trail", string("\x81\x61\0", 3), "\x81\x41", false, -1},
        {"hit at the end, before the NUL", string("say hello\0", 10), "hello", true, 4},
        {"hit at the end of a record without NUL", "say hello", "hello", true, 4},
        {"text after the NUL is not searched", string("ab\0hello", 8), "hello", true, -1},
        {"needle longer than the text", string("hi\0", 3), "hi there", true, -1},
        {"smallest record, empty text", string("\0", 1), "a", false, -1},
        {"smallest record, one byte and no NUL", "a", "a", true, 0},
        {"ASCII folded", string("Say HeLLo\0", 10), "hello", false, 4},
        {"match case", string("Say HeLLo\0", 10), "hello", true, -1},
        {"full-width letters compared as they are", string("\xA3\xC1\0", 3), "\xA3\xE1", false, -1},
        {"full-width letter", string("x\xA3\xC1\0", 4), "\xA3\xC1", false, 1},
        {"Chinese", string("\xC4\xE3\xBA\xC3\xC2\xF0\0", 7), "\xBA\xC3", true, 2},
        {"empty needle", string("abc\0", 4), "", false, -1},
        {"needle holding a NUL", string("ab\0", 3), string("b\0", 2), true, -1},
        // Long needles over text that repeats their beginning at every
        // place: the byte scan gives up, the two-way search decides.
        {"long needle at the start", Repeat(kHa, 3000), Repeat(kHa, 1000), true, 0},
        {"long needle after a letter", "x" + Repeat(kHa, 3000), Repeat(kHa, 1000), true, 1},
        {"long needle differing in its middle", Repeat(kHa, 3000),
         Repeat(kHa, 499) + kHe + Repeat(kHa, 500), true, -1},
        {"long needle differing in its middle, found late",
         Repeat(kHa, 2000) + kHe + Repeat(kHa, 1000), Repeat(kHa, 499) + kHe + Repeat(kHa, 500),
         true, 3002},
        {"long folded needle", string(3000, 'a'), string(255, 'A'), false, 0},
        {"long folded needle, found late", string(1500, 'a') + "B" + string(1500, 'a'),
         string(100, 'a') + "b" + string(100, 'a'), false, 1400},
        {"long needle of letters against trail bytes",
         Repeat("\x81"
                "A",
                1000),
         "A" + Repeat("\x81"
                      "A",
                      300),
         false, -1},
        {"long needle of letters, found late after trail bytes",
         Repeat("\x81"
                "A",
                1000) +
             "a" +
             Repeat("\x81"
                    "A",
                    400),
         "A" + Repeat("\x81"
                      "A",
                      300),
         false, 2000},
        {"long needle ending on a lead byte, its trail follows", Repeat(kHa, 1000),
         Repeat(kHa, 300) + "\xB9", true, -1},
        {"long needle ending on a lead byte, text ends there", Repeat(kHa, 1000) + "\xB9",
         Repeat(kHa, 300) + "\xB9", true, 1400},
    };
    for (const Case& c : cases) {
        const string text = c.body.substr(0, c.body.find('\0'));
        ASSERT_EQ(ReferenceFind(text, c.needle, c.matchCase), c.offset) << c.what;
        // The record alone, and twice amid others in a log, found by the
        // whole-log walk, the run and the search backwards.
        Bytes record(Raw(c.body));
        Log log;
        for (const string& body : {string("zz\0", 3), c.body, c.body, string("zz\0", 3)})
            log.Add(body);
        Bytes view(log.bytes);
        const chatlog::RecordRun run = RunOf(view, log.offsets);
        const std::vector<std::size_t> expected =
            c.offset >= 0 ? std::vector<std::size_t>{1, 2} : std::vector<std::size_t>{};
        for (bool wide : {true, false}) {
            SCOPED_TRACE(string(c.what) + (wide ? " (wide)" : " (narrow)"));
            chatlog::CTextSearch search(c.needle, c.matchCase, wide);
            EXPECT_EQ(search.MatchesNothing(),
                      c.needle.empty() || c.needle.find('\0') != string::npos);
            chatlog::TextMatch match;
            ASSERT_EQ(search.FindInRecord(record.begin(), match), c.offset >= 0);
            if (c.offset >= 0) {
                EXPECT_EQ(match.offset, static_cast<std::uint32_t>(c.offset));
                EXPECT_EQ(match.length, c.needle.size());
            }
            std::vector<std::size_t> inLog;
            chatlog::FindInLog(
                search, view.begin(), static_cast<std::uint32_t>(view.size),
                [&](chatlog::ChatLogRecordPos p) {
                    inLog.push_back(static_cast<std::size_t>(
                        std::find(log.offsets.begin(), log.offsets.end(), p - run.first) -
                        log.offsets.begin()));
                });
            EXPECT_EQ(inLog, expected);
            EXPECT_EQ(EveryRecord(search, run), expected);
            std::vector<std::size_t> backward = Chain(search, run, false);
            EXPECT_EQ(std::vector<std::size_t>(backward.rbegin(), backward.rend()), expected);
        }
    }
}

TEST(ChatLogSearch, NeverAcrossARecordsEnd) {
    // The first record has no NUL: its text runs to its end, where the next
    // record's wLength (16: 0x10 0x00) follows.
    Log log;
    log.Add("abc");
    log.Add(std::string("xyz\0", 4));
    Bytes view(log.bytes);
    const chatlog::RecordRun run = RunOf(view, log.offsets);
    struct Case {
        std::string needle;
        std::vector<std::size_t> hits;
    } cases[] = {{"bc", {0}}, {"c\x10", {}}, {"yz", {1}}};
    for (const Case& c : cases) {
        chatlog::CTextSearch search(c.needle, true);
        ASSERT_NE(std::search(view.begin(), view.end(), c.needle.begin(), c.needle.end()),
                  view.end())
            << "bytes are in the view";
        EXPECT_EQ(EveryRecord(search, run), c.hits) << c.needle;
        EXPECT_EQ(Chain(search, run, true), c.hits) << c.needle;
    }
}

TEST(ChatLogSearch, DirectionsAndEnds) {
    Log log;
    for (const char* text : {"alpha", "beta", "ALPHA beta", "gamma"})
        log.Add(std::string(text) + '\0');
    Bytes view(log.bytes);
    const chatlog::RecordRun run = RunOf(view, log.offsets);
    const std::size_t none = chatlog::kNoRecord;
    struct Case {
        const char* needle;
        bool matchCase;
        std::size_t from;
        bool forward;
        std::size_t found;
    } cases[] = {
        {"alpha", false, none, true, 0},  {"alpha", false, 0, true, 2},
        {"alpha", false, 2, true, none},  {"alpha", false, none, false, 2},
        {"alpha", false, 2, false, 0},    {"alpha", false, 0, false, none},
        {"alpha", true, 0, true, none},   {"ALPHA", true, none, false, 2},
        {"gamma", false, 3, true, none},  {"gamma", false, none, false, 3},
        {"gamma", false, 3, false, none}, {"beta", false, 99, true, none},
        {"beta", false, 99, false, 2},    {"delta", false, none, true, none},
    };
    for (const Case& c : cases) {
        chatlog::CTextSearch search(c.needle, c.matchCase);
        EXPECT_EQ(chatlog::FindNextRecord(search, run, c.from, c.forward), c.found)
            << c.needle << " from " << c.from << (c.forward ? " down" : " up");
    }
    EXPECT_EQ(chatlog::FindNextRecord(chatlog::CTextSearch(), run, none, true), none);
}

namespace {

// Every way the core can be asked, checked against the reference over a
// log: whole log, every record of a run and of a filtered run, the chain in
// both directions over its first records, one record; with the wide scan
// and the narrow one.
void ExpectAgreement(const Log& log, const std::vector<std::string>& needles,
                     std::size_t headCount) {
    Bytes view(log.bytes);
    std::vector<std::uint32_t> everyOther;
    for (std::size_t i = 0; i < log.offsets.size(); i += 2)
        everyOther.push_back(log.offsets[i]);
    const chatlog::RecordRun run = RunOf(view, log.offsets);
    const chatlog::RecordRun filtered = RunOf(view, everyOther);
    // find next/previous starts afresh at every hit: asked over fewer
    // records.
    chatlog::RecordRun head = run;
    head.count = headCount;
    std::vector<std::vector<std::string>> characters;
    for (const std::string& text : log.texts)
        characters.push_back(Characters(text));

    for (const std::string& needle : needles) {
        for (int mode = 0; mode < 4; ++mode) {
            const bool matchCase = mode & 1, wide = mode & 2;
            SCOPED_TRACE(needle.substr(0, 40) + (matchCase ? " (case)" : "") +
                         (wide ? " (wide)" : ""));
            chatlog::CTextSearch search(needle, matchCase, wide);
            std::vector<std::size_t> expected, expectedFiltered, expectedHead;
            for (std::size_t i = 0; i < log.texts.size(); ++i)
                if (ReferenceFind(characters[i], needle, matchCase) >= 0) {
                    expected.push_back(i);
                    if (i % 2 == 0)
                        expectedFiltered.push_back(i / 2);
                    if (i < head.count)
                        expectedHead.push_back(i);
                }
            ASSERT_FALSE(expectedHead.empty());
            ASSERT_LT(expected.size(), log.texts.size());
            EXPECT_EQ(EveryRecord(search, run), expected);
            EXPECT_EQ(EveryRecord(search, filtered), expectedFiltered);
            EXPECT_EQ(Chain(search, head, true), expectedHead);
            std::vector<std::size_t> backward = Chain(search, head, false);
            EXPECT_EQ(std::vector<std::size_t>(backward.rbegin(), backward.rend()), expectedHead);

            std::vector<chatlog::ChatLogRecordPos> inLog;
            chatlog::FindInLog(search, view.begin(), static_cast<std::uint32_t>(view.size),
                               [&](chatlog::ChatLogRecordPos p) { inLog.push_back(p); });
            ASSERT_EQ(inLog.size(), expected.size());
            for (std::size_t k = 0; k < expected.size(); ++k) {
                chatlog::ChatLogRecordPos record = run.first + log.offsets[expected[k]];
                EXPECT_EQ(inLog[k], record);
                chatlog::TextMatch match;
                ASSERT_TRUE(search.FindInRecord(record, match));
                EXPECT_EQ(static_cast<long>(match.offset),
                          ReferenceFind(characters[expected[k]], needle, matchCase));
            }
        }
    }
}

} // namespace

// Many short records of a few kinds of character, over 640 KB.
TEST(ChatLogSearch, AgreesWithTheReferenceOverALog) {
    const std::vector<std::string> pieces = {"a",        "A",        "b",    "\x81\x41",
                                             "\x81\x61", "\xB0\xA1", "\xB0", "!"};
    std::mt19937 random(20);
    Log log;
    while (log.bytes.size() < 640 * 1024) {
        std::string body;
        for (int k = static_cast<int>(random() % 24); k > 0; --k)
            body += pieces[random() % pieces.size()];
        if (body.empty() || random() % 4)
            body += '\0'; // else the text runs to the record's end
        log.Add(body);
    }
    ExpectAgreement(log, {"a", "A", "\x81\x41", "\xB0\xA1", "ab!", "\xB0", "A\x81\x61"}, 300);
}

// Long records that repeat a few characters with a rare one among them, and
// long needles made of the same, each also planted in a record of its own:
// where the byte scan gives up and the two-way search takes over, within a
// record or several records ahead.
TEST(ChatLogSearch, AgreesWithTheReferenceOnRepetitiveText) {
    const std::vector<std::string> runs = {kHa, "a", "A",
                                           "\x81"
                                           "A",
                                           "\xB9"};
    const std::vector<std::string> rare = {kHe, "b", "B",
                                           "\x81"
                                           "a",
                                           "x"};
    const std::vector<std::string> needles = {Repeat(kHa, 40),
                                              Repeat(kHa, 20) + kHe + Repeat(kHa, 20),
                                              std::string(60, 'a'),
                                              std::string(30, 'a') + "B" + std::string(30, 'a'),
                                              "A" + Repeat("\x81"
                                                           "A",
                                                           30),
                                              Repeat("\x81"
                                                     "A",
                                                     30) +
                                                  "a",
                                              Repeat(kHa, 30) + "\xB9"};
    std::mt19937 random(28);
    Log log;
    for (int r = 0; r < 40; ++r) {
        std::string body = "hi";
        if (random() % 4) {
            const std::size_t kind = random() % runs.size();
            for (int k = static_cast<int>(random() % 300); k > 0; --k)
                body += random() % 97 ? runs[kind] : rare[random() % rare.size()];
        }
        if (random() % 4)
            body += '\0';
        log.Add(body);
    }
    for (const std::string& needle : needles)
        log.Add("hi " + needle + " hi");
    ExpectAgreement(log, needles, log.texts.size());
}

// A log cut short (the view ends inside a record, as when the file shrank
// or the mapping is smaller than the walk assumed) and a log whose record
// lengths another program rewrote after the walk: every record is read
// within the view, whatever its wLength says by then.
TEST(ChatLogSearch, CutShortOrRewrittenLogs) {
    Log log;
    for (int i = 0; i < 6; ++i)
        log.Add("needle " + std::to_string(i) + '\0');
    const chatlog::CTextSearch search("needle", true);
    for (std::size_t cut = log.bytes.size() - 1; cut > log.bytes.size() - 30; --cut) {
        Bytes view(log.bytes.substr(0, cut));
        std::size_t walked = 0, found = 0;
        chatlog::VisitChatLogRecords(view.begin(), static_cast<std::uint32_t>(view.size),
                                     [&](chatlog::ChatLogRecordPos) { ++walked; });
        chatlog::FindInLog(search, view.begin(), static_cast<std::uint32_t>(view.size),
                           [&](chatlog::ChatLogRecordPos) { ++found; });
        EXPECT_EQ(found, walked) << cut;
        // The run still names every record; the cut one is searched as far
        // as the view goes.
        std::size_t inView = 0;
        for (std::uint32_t offset : log.offsets)
            inView += kHeader.size() + offset + 12 + 6 <= cut;
        EXPECT_EQ(EveryRecord(search, RunOf(view, log.offsets)).size(), inView) << cut;
    }

    struct Rewrite {
        std::size_t record;
        std::uint16_t length;
    } rewrites[] = {{5, 0xFFFF}, {2, 0xFFFF}, {2, 0}, {0, 13}, {3, 0xFFFE}};
    for (const Rewrite& r : rewrites) {
        Bytes view(log.bytes);
        const chatlog::RecordRun run = RunOf(view, log.offsets);
        unsigned char* at = view.data.get() + kHeader.size() + log.offsets[r.record];
        std::memcpy(at, &r.length, 2);
        // Only the rewritten record may change its answer.
        for (const std::vector<std::size_t>& hits :
             {EveryRecord(search, run), Chain(search, run, true), Chain(search, run, false)}) {
            std::size_t others = 0;
            for (std::size_t i : hits)
                others += i != r.record;
            EXPECT_EQ(others, log.offsets.size() - 1) << r.record << " " << r.length;
        }
        chatlog::TextMatch match;
        search.FindInRecord(at, chatlog::RecordLengthWithin(at, view.end()), match);
    }

    // Rewritten between the walk's check and the use: the walk goes on with
    // the length it read, and the text is read within that length.
    Bytes view(log.bytes);
    std::vector<std::string> texts;
    chatlog::VisitChatLogRecordLengths(
        view.begin(), static_cast<std::uint32_t>(view.size),
        [&](chatlog::ChatLogRecordPos record, std::uint16_t length) {
            const std::uint16_t huge = 0xFFFF;
            std::memcpy(const_cast<unsigned char*>(record), &huge, 2);
            texts.emplace_back(chatlog::RecordContent(record, length));
        });
    EXPECT_EQ(texts, log.texts);
    Bytes again(log.bytes);
    std::size_t found = 0;
    chatlog::FindInLog(search, again.begin(), static_cast<std::uint32_t>(again.size),
                       [&](chatlog::ChatLogRecordPos record) {
                           const std::uint16_t huge = 0xFFFF;
                           std::memcpy(const_cast<unsigned char*>(record), &huge, 2);
                           ++found;
                       });
    EXPECT_EQ(found, log.offsets.size());
}

// The 32-bit build too scans sixteen bytes at once where the processor can
// (every x86 processor this runs on can), and can be kept from it.
TEST(ChatLogSearch, WideScanWhereTheProcessorHasIt) {
#if defined(__i386__) || defined(__x86_64__)
    EXPECT_TRUE(chatlog::CpuHasSse2());
#endif
    EXPECT_EQ(chatlog::CTextSearch("a", false).WideScan(), chatlog::CpuHasSse2());
    EXPECT_FALSE(chatlog::CTextSearch("a", false, false).WideScan());
}
