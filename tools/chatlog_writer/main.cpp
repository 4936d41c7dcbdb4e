// chatlog-writer: writes a generated account folder of chat logs, as the
// client would, for the demo, the tests and the benchmarks.
#include "SampleAccount.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: chatlog-writer --dir DIR [options]\n"
                 "  writes DIR/<ownerkey>/ChatLog/<friendkey>.dat\n"
                 "  --owner A:B        the owner's two numbers (key \"%%u%%u\" of A&0xFFFF, B);"
                 " default 1:23456789\n"
                 "  --friends N        friends (default 3)\n"
                 "  --messages M       messages per friend (default 20)\n"
                 "  --big-friend K     the first friend gets K messages instead\n"
                 "  --damaged          add damaged logs and misnamed entries\n"
                 "  --seed S           generator seed (default 1)\n"
                 "  --quiet            print only the summary line\n");
}

bool ParseUnsigned(const char* text, unsigned long long max, unsigned long long& value) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return *end == '\0' && text[0] != '-' && value <= max;
}

} // namespace

int main(int argc, char** argv) {
    SampleAccountOptions options;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        unsigned long long value = 0;
        if (arg == "--dir" && next) {
            options.baseDir = next;
            ++i;
        } else if (arg == "--owner" && next) {
            std::string text = next;
            std::size_t colon = text.find(':');
            unsigned long long a = 0, b = 0;
            if (colon == std::string::npos ||
                !ParseUnsigned(text.substr(0, colon).c_str(), 0xFFFFFFFFull, a) ||
                !ParseUnsigned(text.substr(colon + 1).c_str(), 0xFFFFFFFFull, b)) {
                Usage();
                return 2;
            }
            options.ownerFirst = static_cast<std::uint32_t>(a);
            options.ownerSecond = static_cast<std::uint32_t>(b);
            ++i;
        } else if ((arg == "--friends" || arg == "--messages" || arg == "--big-friend" ||
                    arg == "--seed") &&
                   ParseUnsigned(next, 100000000ull, value)) {
            if (arg == "--friends")
                options.friends = static_cast<int>(value);
            else if (arg == "--messages")
                options.messagesPerFriend = static_cast<int>(value);
            else if (arg == "--big-friend")
                options.bigFriendMessages = static_cast<int>(value);
            else
                options.seed = static_cast<std::uint32_t>(value);
            ++i;
        } else if (arg == "--damaged") {
            options.damaged = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else {
            Usage();
            return 2;
        }
    }
    if (options.baseDir.empty()) {
        Usage();
        return 2;
    }

    auto start = std::chrono::steady_clock::now();
    SampleAccountResult result;
    std::string error;
    if (!WriteSampleAccount(options, result, error)) {
        std::fprintf(stderr, "chatlog-writer: %s\n", error.c_str());
        return 1;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!quiet) {
        std::printf("owner key %s (numbers %u:%u)\nfolder %s\n", result.ownerKey.c_str(),
                    options.ownerFirst, options.ownerSecond, result.folder.c_str());
        for (const SampleFriend& f : result.friends)
            std::printf("friend %s (numbers %u:%u) %d messages\n", f.key.c_str(), f.first, f.second,
                        f.messages);
        for (const SampleDamagedEntry& d : result.damaged)
            std::printf("extra %-12s %s\n", d.fileName.c_str(), d.what.c_str());
    }
    std::printf("wrote %llu messages for %zu friends in %.2f s\n",
                static_cast<unsigned long long>(result.totalMessages), result.friends.size(),
                seconds);
    return 0;
}
