// The search core against ripgrep. One log of N messages (default
// 1,000,000; the sample texts, with a rare marker every 100,000th) is
// written, and the same messages as one UTF-8 text file, one message a line.
// For needles that are absent, rare and frequent, with and without match
// case, the number of matching messages is counted:
//   run   FindEveryRecord over the records as the message list holds them
//         (view mapped, offsets taken before the clock starts);
//   log   FindInLog from opening the file: map, walk and search;
//   rg    `rg -c -F [-i]` over the text file, a child process;
//   export `chatlog-export LOG --grep NEEDLE` to the null device.
// The fastest of a few rounds each (the machine is shared).
//
//   search_bench [MESSAGES] [ROUNDS]
#include "BenchPlatform.h"
#include "BenchSupport.h"
#include "ChatLogFile.h"
#include "ChatLogSearch.h"
#include "ChatLogWriter.h"
#include "ReadOnlyFile.h"
#include "ReadOnlyMapping.h"
#include "SampleAccount.h"
#include "TextDecode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

double Fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// The rare marker and how often it stands in the log.
constexpr const char* kRare = "Zebra crossing \xb0\xdf\xc2\xed\xcf\xdf"; // 斑马线
constexpr int kRareEvery = 100000;

struct Needle {
    const char* what;
    std::string gbk;
    bool matchCase;
};

// Runs a program with its standard output into `out` (a file path, or the
// null device); its exit code, or -1 when it cannot be started.
int Run(const std::vector<std::string>& args, const std::string& out) {
    double cpuMs = 0;
    return RunProgram(args, out, cpuMs);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool HaveRipgrep() {
    return Run({"rg", "--version"}, NullDevice()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    const int messages = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    const fs::path dir = fs::temp_directory_path() / "search_bench";
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    const std::string logPath = (dir / "1.dat").string();
    const std::string textPath = (dir / "messages.txt").string();

    // The log, and the same messages in UTF-8 with each one's line ends as
    // spaces, so that rg's matching lines are the matching messages.
    {
        const auto& samples = SampleMessages();
        CGbkDecoder decoder;
        std::vector<std::string> lines;
        for (const std::string& s : samples) {
            std::string line = decoder.Decode(s);
            std::replace(line.begin(), line.end(), '\r', ' ');
            std::replace(line.begin(), line.end(), '\n', ' ');
            lines.push_back(line + "\n");
        }
        const std::string rareLine = decoder.Decode(kRare) + "\n";
        CChatLogWriter writer;
        std::ofstream text(textPath, std::ios::binary);
        if (!writer.Create(logPath, {"10001", "me", "you"}) || !text) {
            std::fprintf(stderr, "bench: cannot write into %s\n", dir.string().c_str());
            return 1;
        }
        std::uint32_t random = 1;
        for (int i = 0; i < messages; ++i) {
            random = random * 1664525u + 1013904223u;
            const std::size_t pick = (random >> 8) % samples.size();
            const bool rare = i % kRareEvery == kRareEvery / 2;
            writer.Append(1767225600 + i, i & 1, rare ? std::string(kRare) : samples[pick]);
            text << (rare ? rareLine : lines[pick]);
        }
        if (!writer.Close() || !text.flush()) {
            std::fprintf(stderr, "bench: cannot write into %s\n", dir.string().c_str());
            return 1;
        }
    }
    std::printf("log: %d messages, %llu bytes; text file %llu bytes\n", messages,
                static_cast<unsigned long long>(fs::file_size(logPath)),
                static_cast<unsigned long long>(fs::file_size(textPath)));

    const Needle needles[] = {
        {"absent", "Elephant", true},
        {"absent", "Elephant", false},
        {"rare", "Zebra", true},
        {"rare", "zebra", false},
        {"frequent", "see you", true},
        {"frequent", "SEE YOU", false},
        {"frequent CJK", "\xd0\xbb\xd0\xbb", true}, // 谢谢
        {"frequent CJK", "\xd0\xbb\xd0\xbb", false},
    };

    // The records as the message list holds them.
    CChatLogFile held;
    if (!held.Open(logPath.c_str())) {
        std::fprintf(stderr, "bench: cannot open %s\n", logPath.c_str());
        return 1;
    }
    std::vector<std::uint32_t> offsets;
    const unsigned char* first = nullptr;
    const unsigned char* viewEnd = nullptr;
    held.VisitRecords([&](chatlog::ChatLogRecordPos record) {
        if (!first)
            first = record;
        offsets.push_back(static_cast<std::uint32_t>(record - first));
        viewEnd = record + chatlog::RecordLength(record);
    });
    const chatlog::RecordRun run{first, offsets.data(), offsets.size(), viewEnd};

    const bool ripgrep = IsHostBuild() && HaveRipgrep();
    if (!IsHostBuild())
        std::printf("rg and chatlog-export are compared on the host build only\n");
    else if (!ripgrep)
        std::printf("rg (ripgrep) is not installed: the comparison is left out. The bench "
                    "installs nothing; on Debian: apt-get install ripgrep\n");
    const std::string exporter =
        (fs::path(argv[0]).parent_path() / ".." / ".." / "exporter" / VEMLI_EXPORTER_EXE)
            .lexically_normal()
            .string();

    std::printf("\n%-12s %-5s %8s %9s %9s %9s %9s %7s %7s %7s\n", "needle", "case", "hits",
                "run ms", "log ms", "rg ms", "export ms", "run/rg", "log/rg", "exp/rg");
    for (const Needle& n : needles) {
        const chatlog::CTextSearch search(n.gbk, n.matchCase);
        std::vector<double> runMs, logMs, rgMs, exportMs;
        std::size_t runHits = 0, logHits = 0;
        for (int r = 0; r < rounds; ++r) {
            auto t0 = Clock::now();
            std::size_t hits = 0;
            chatlog::FindEveryRecord(search, run, [&](std::size_t) { ++hits; });
            auto t1 = Clock::now();
            runMs.push_back(Millis(t0, t1));
            runHits = hits;

            t0 = Clock::now();
            hits = 0;
            {
                CReadOnlyFile file;
                CReadOnlyMapping mapping;
                std::uint64_t bytes = 0;
                if (file.OpenExisting(logPath.c_str()) && file.QuerySize(bytes)) {
                    const std::uint32_t size = chatlog::ClampedLogSize(bytes);
                    if (mapping.Map(file, size))
                        chatlog::FindInLog(search, mapping.View(), size,
                                           [&](chatlog::ChatLogRecordPos) { ++hits; });
                }
            }
            t1 = Clock::now();
            logMs.push_back(Millis(t0, t1));
            logHits = hits;
        }
        double rg = 0, exported = 0;
        long rgHits = -1;
        CGbkDecoder decoder;
        const std::string utf8 = decoder.Decode(n.gbk);
        if (ripgrep) {
            const std::string countFile = (dir / "count.txt").string();
            std::vector<std::string> args = {"rg", "-c", "-F"};
            if (!n.matchCase)
                args.push_back("-i");
            args.insert(args.end(), {"--", utf8, textPath});
            for (int r = 0; r < rounds; ++r) {
                auto t0 = Clock::now();
                Run(args, countFile);
                auto t1 = Clock::now();
                rgMs.push_back(Millis(t0, t1));
            }
            rgHits = std::atol(ReadAll(countFile).c_str());
            rg = Fastest(rgMs);
        }
        // The exporter folds ASCII letters always, as its --grep says.
        if (IsHostBuild() && !n.matchCase) {
            for (int r = 0; r < rounds; ++r) {
                auto t0 = Clock::now();
                const int code = Run({exporter, logPath, "--grep", utf8}, NullDevice());
                auto t1 = Clock::now();
                if (code != (logHits ? 0 : 1)) {
                    std::fprintf(stderr, "bench: %s ended with %d\n", exporter.c_str(), code);
                    return 1;
                }
                exportMs.push_back(Millis(t0, t1));
            }
            exported = Fastest(exportMs);
        }
        std::printf("%-12s %-5s %8zu %9.1f %9.1f", n.what, n.matchCase ? "yes" : "no", runHits,
                    Fastest(runMs), Fastest(logMs));
        if (ripgrep)
            std::printf(" %9.1f", rg);
        else
            std::printf(" %9s", "-");
        if (exported > 0)
            std::printf(" %9.1f", exported);
        else
            std::printf(" %9s", "-");
        if (ripgrep) {
            std::printf(" %7.2f %7.2f", Fastest(runMs) / rg, Fastest(logMs) / rg);
            if (exported > 0)
                std::printf(" %7.2f", exported / rg);
        }
        if (logHits != runHits || (ripgrep && rgHits != static_cast<long>(runHits)))
            std::printf("   counts differ: log %zu, rg %ld", logHits, rgHits);
        std::printf("\n");
    }
    held.Close();
    fs::remove_all(dir, ec);
    return 0;
}
