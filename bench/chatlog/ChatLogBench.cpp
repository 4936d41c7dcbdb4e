// EnumRecords on a log of 1,000,000 messages against the physical limit: a
// bare loop over the same mapped bytes that reads wLength and nothing else.
//
// "Cold" is the first listing after Open: a fresh object, mapping made and
// pages touched for the first time in this process (the OS page cache may
// still hold the file; it cannot be dropped here). "Warm" lists again on the
// mapped view.
#include "BenchSupport.h"
#include "ChatLogFile.h"
#include "ChatLogWriter.h"
#include "ReadOnlyFile.h"
#include "ReadOnlyMapping.h"
#include "SampleAccount.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

volatile std::size_t g_sink;

} // namespace

int main(int argc, char** argv) {
    int messages = argc > 1 ? std::atoi(argv[1]) : 1000000;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    fs::path dir = fs::temp_directory_path() / "chatlog_bench";
    std::error_code ec;
    fs::remove_all(dir, ec);

    SampleAccountOptions options;
    options.baseDir = dir.string();
    options.friends = 1;
    options.messagesPerFriend = messages;
    SampleAccountResult account;
    std::string error;
    auto w0 = Clock::now();
    if (!WriteSampleAccount(options, account, error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return 1;
    }
    auto w1 = Clock::now();
    const std::string path = account.friends[0].path;
    std::printf("log: %d messages, %llu bytes, written in %.0f ms\n", messages,
                static_cast<unsigned long long>(fs::file_size(path)), Millis(w0, w1));

    std::vector<double> coldEnum, warmEnum, coldBare, warmBare;
    std::size_t listed = 0, walked = 0;
    for (int r = 0; r < rounds; ++r) {
        {
            auto t0 = Clock::now();
            CChatLogFile log;
            log.Open(path.c_str());
            chatlog::ChatLogRecordIndex index;
            log.EnumRecords(index);
            auto t1 = Clock::now();
            coldEnum.push_back(Millis(t0, t1));
            listed = index.size();
            // The message list drops its old index before it lists again, so
            // the warm run gets the memory back instead of fresh pages.
            index = chatlog::ChatLogRecordIndex();

            chatlog::ChatLogRecordIndex again;
            auto t2 = Clock::now();
            log.EnumRecords(again);
            auto t3 = Clock::now();
            warmEnum.push_back(Millis(t2, t3));
        }
        {
            auto t0 = Clock::now();
            CReadOnlyFile file;
            file.OpenExisting(path.c_str());
            std::uint64_t size = 0;
            file.QuerySize(size);
            CReadOnlyMapping mapping;
            mapping.Map(file, static_cast<std::uint32_t>(size));
            walked = BareWalk(mapping.View(), mapping.Size());
            auto t1 = Clock::now();
            coldBare.push_back(Millis(t0, t1));

            auto t2 = Clock::now();
            g_sink = BareWalk(mapping.View(), mapping.Size());
            auto t3 = Clock::now();
            warmBare.push_back(Millis(t2, t3));
        }
    }
    if (listed != static_cast<std::size_t>(messages) || walked != listed) {
        std::fprintf(stderr, "bench: listed %zu, bare walk %zu, expected %d\n", listed, walked,
                     messages);
        return 1;
    }
    double ce = Median(coldEnum), cb = Median(coldBare), we = Median(warmEnum),
           wb = Median(warmBare);
    std::printf("median of %d rounds        EnumRecords   bare wLength loop   ratio\n", rounds);
    std::printf("cold (open+map+walk)   %10.2f ms  %14.2f ms  %6.2fx\n", ce, cb, ce / cb);
    std::printf("warm (walk again)      %10.2f ms  %14.2f ms  %6.2fx\n", we, wb, we / wb);
    std::printf("first cold listing in the process (fresh heap pages for the index): %.2f ms\n",
                coldEnum.front());
    std::printf("per record: EnumRecords warm %.1f ns, bare %.1f ns\n", we * 1e6 / messages,
                wb * 1e6 / messages);
    fs::remove_all(dir, ec);
    return 0;
}
