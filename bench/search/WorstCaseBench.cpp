// The needles that made a byte-by-byte check of every candidate take time
// quadratic in the text: long needles over texts where their first and last
// bytes stand at almost every place. Each case is timed as the viewer and
// the exporter ask: every record of a run (the message list), the whole
// log (在所有好友中查找), the next and the previous matching record from the
// ends (Find), and, on the host build, `chatlog-export LOG --grep` as a
// child process. The fastest of a few rounds; a round over 60 s ends its
// case's rounds.
//
//   search_worst_bench [ROUNDS]
#include "BenchPlatform.h"
#include "BenchSupport.h"
#include "ChatLogSearch.h"
#include "ChatLogWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kHa = "\xb9\xfe"; // 哈
const std::string kHe = "\xba\xc7"; // 呵

std::string Repeat(const std::string& s, std::size_t times) {
    std::string out;
    out.reserve(s.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += s;
    return out;
}

// A log in memory: `total` bytes of records each holding `text`.
struct MemoryLog {
    std::string bytes;
    std::vector<std::uint32_t> offsets;
    MemoryLog(const std::string& text, std::size_t total) {
        bytes = BuildHeaderBytes({"10001", "me", "you"});
        const std::string record = BuildRecordBytes(1767225600, 0, text);
        while (bytes.size() + record.size() <= total) {
            offsets.push_back(
                static_cast<std::uint32_t>(bytes.size() - chatlog::kChatLogHeaderSize));
            bytes += record;
        }
    }
    const unsigned char* View() const {
        return reinterpret_cast<const unsigned char*>(bytes.data());
    }
    chatlog::RecordRun Run() const {
        return {View() + chatlog::kChatLogHeaderSize, offsets.data(), offsets.size(),
                View() + bytes.size()};
    }
};

struct Case {
    const char* what;
    std::string needle;
    bool matchCase;
};

double Time(int rounds, const std::function<std::size_t()>& body, std::size_t& result) {
    double best = 0;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = Clock::now();
        result = body();
        const double ms = Millis(t0, Clock::now());
        best = r == 0 || ms < best ? ms : best;
        if (ms > 60000)
            break;
    }
    return best;
}

void RunLog(const char* title, const MemoryLog& log, const std::vector<Case>& cases, int rounds) {
    std::printf("\n%s: %zu records, %zu bytes\n", title, log.offsets.size(), log.bytes.size());
    std::printf("%-26s %-5s %7s %10s %10s %10s %10s\n", "needle", "case", "hits", "every ms",
                "log ms", "next ms", "prev ms");
    const chatlog::RecordRun run = log.Run();
    for (const Case& c : cases) {
        const chatlog::CTextSearch search(c.needle, c.matchCase);
        std::size_t every = 0, inLog = 0, next = 0, prev = 0;
        const double everyMs = Time(
            rounds,
            [&] {
                std::size_t hits = 0;
                chatlog::FindEveryRecord(search, run, [&](std::size_t) { ++hits; });
                return hits;
            },
            every);
        const double logMs = Time(
            rounds,
            [&] {
                std::size_t hits = 0;
                chatlog::FindInLog(search, log.View(), static_cast<std::uint32_t>(log.bytes.size()),
                                   [&](chatlog::ChatLogRecordPos) { ++hits; });
                return hits;
            },
            inLog);
        const double nextMs = Time(
            rounds, [&] { return chatlog::FindNextRecord(search, run, chatlog::kNoRecord, true); },
            next);
        const double prevMs = Time(
            rounds, [&] { return chatlog::FindNextRecord(search, run, chatlog::kNoRecord, false); },
            prev);
        std::printf("%-26s %-5s %7zu %10.1f %10.1f %10.1f %10.1f", c.what,
                    c.matchCase ? "yes" : "no", every, everyMs, logMs, nextMs, prevMs);
        const bool none = every == 0;
        if (inLog != every || (next == chatlog::kNoRecord) != none ||
            (prev == chatlog::kNoRecord) != none)
            std::printf("   answers differ");
        std::printf("\n");
    }
}

// chatlog-export --grep over a log file of long messages of 哈.
void RunExporter(const char* argv0, int rounds) {
    if (!IsHostBuild()) {
        std::printf("\nchatlog-export is timed on the host build only\n");
        return;
    }
    const fs::path dir = fs::temp_directory_path() / "search_worst_bench";
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    const std::string logPath = (dir / "1.dat").string();
    const std::string message = Repeat(kHa, 2000);
    CChatLogWriter writer;
    if (!writer.Create(logPath, {"10001", "me", "you"})) {
        std::fprintf(stderr, "bench: cannot write %s\n", logPath.c_str());
        return;
    }
    std::size_t messages = 0;
    for (; messages * (message.size() + 13) < 42u * 1000 * 1000; ++messages)
        writer.Append(1767225600 + static_cast<std::int32_t>(messages), 0, message);
    writer.Close();
    const std::string exporter =
        (fs::path(argv0).parent_path() / ".." / ".." / "exporter" / VEMLI_EXPORTER_EXE)
            .lexically_normal()
            .string();
    std::printf("\nchatlog-export --grep: %zu messages of 2,000 \xb9\xfe, %llu bytes\n", messages,
                static_cast<unsigned long long>(fs::file_size(logPath)));
    const std::string ha = "\xe5\x93\x88"; // 哈 in UTF-8
    const std::string he = "\xe5\x91\xb5"; // 呵
    const Case cases[] = {{"2 x ha", Repeat(ha, 2), false},
                          {"1,000 x ha", Repeat(ha, 1000), false},
                          {"499 ha, he, 500 ha", Repeat(ha, 499) + he + Repeat(ha, 500), false}};
    for (const Case& c : cases) {
        int code = 0;
        std::size_t ignored = 0;
        const double ms = Time(
            rounds,
            [&] {
                double cpuMs = 0;
                code = RunProgram({exporter, logPath, "--grep", c.needle}, NullDevice(), cpuMs);
                return std::size_t{0};
            },
            ignored);
        std::printf("%-26s %10.1f ms (exit %d)\n", c.what, ms, code);
    }
    fs::remove_all(dir, ec);
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    const std::size_t total = 63u * 1000 * 1000;
    {
        const MemoryLog log(Repeat(kHa, 32500), total);
        RunLog("63 MB of \xb9\xfe, 65,000-byte messages", log,
               {{"2 x ha", Repeat(kHa, 2), false},
                {"1,000 x ha", Repeat(kHa, 1000), false},
                {"499 ha, he, 500 ha", Repeat(kHa, 499) + kHe + Repeat(kHa, 500), false}},
               rounds);
    }
    {
        const MemoryLog log(std::string(65000, 'a'), total);
        RunLog("63 MB of 'a', 65,000-byte messages", log,
               {{"255 x a", std::string(255, 'a'), false},
                {"255 x A", std::string(255, 'A'), true},
                {"127 a, b, 127 a", std::string(127, 'a') + "b" + std::string(127, 'a'), false}},
               rounds);
    }
    RunExporter(argv[0], rounds);
    return 0;
}
