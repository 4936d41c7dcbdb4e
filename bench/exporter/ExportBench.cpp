// chatlog-export against the least any export must do. One log of N messages
// (default 1,000,000) goes to CSV through the real program, started as a
// child process, to a file and to the null device, in both orders; in the
// same run a bare loop walks the same mapped file (wLength only). Then an
// account of 5,000 friends goes to CSV. The fastest of a few rounds.
//
//   export_bench [EXPORTER] [MESSAGES] [ROUNDS]
// EXPORTER defaults to chatlog-export beside the build's exporter folder.
#include "BenchPlatform.h"
#include "BenchSupport.h"
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

// The fastest round: on a machine shared with other work, the round least
// disturbed by it. Both sides of every ratio are taken the same way.
double Fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// Runs the exporter with its standard output thrown away; its exit code, and
// in `cpuMs` the processor time it used.
int RunExporter(const std::string& exe, const std::vector<std::string>& args, double& cpuMs) {
    std::vector<std::string> line{exe};
    line.insert(line.end(), args.begin(), args.end());
    return RunProgram(line, NullDevice(), cpuMs);
}

struct Timing {
    double wallMs;
    double cpuMs;
};

// The fastest round by wall time and the least processor time of any round.
Timing TimeExporter(const std::string& exe, const std::vector<std::string>& args, int rounds,
                    int expectedCode = 0) {
    std::vector<double> walls, cpus;
    for (int r = 0; r < rounds; ++r) {
        double cpu = 0;
        auto t0 = Clock::now();
        int code = RunExporter(exe, args, cpu);
        auto t1 = Clock::now();
        if (code != expectedCode) {
            std::fprintf(stderr, "bench: the exporter ended with %d\n", code);
            std::exit(1);
        }
        walls.push_back(Millis(t0, t1));
        cpus.push_back(cpu);
    }
    return {Fastest(walls), Fastest(cpus)};
}

// One friend's log of `messages` messages spread evenly over `months`
// months of 30.44 days from 2023-01-01, a few seconds' jitter apart.
bool WriteSpreadLog(const std::string& path, int messages, int months) {
    ChatLogHeaderFields header;
    header.friendKey = "180000000";
    header.ownerName = SampleNicknames()[0];
    header.friendName = SampleNicknames()[1];
    CChatLogWriter writer;
    if (!writer.Create(path, header))
        return false;
    const std::int64_t start = 1672531200; // 2023-01-01 00:00:00 UTC
    const double step = months * 30.44 * 86400.0 / messages;
    const auto& texts = SampleMessages();
    std::uint32_t random = 12345;
    for (int i = 0; i < messages; ++i) {
        random = random * 1664525u + 1013904223u;
        auto time =
            static_cast<std::int32_t>(start + static_cast<std::int64_t>(i * step) + (random >> 28));
        if (!writer.Append(time, (random >> 20) % 3 == 0 ? 0 : 1,
                           texts[(random >> 8) % texts.size()]))
            return false;
    }
    return writer.Close();
}

} // namespace

int main(int argc, char** argv) {
    fs::path self = fs::absolute(argv[0]);
    std::string exe = argc > 1 && *argv[1]
                          ? argv[1]
                          : (self.parent_path() / ".." / ".." / "exporter" / VEMLI_EXPORTER_EXE)
                                .lexically_normal()
                                .string();
    int messages = argc > 2 ? std::atoi(argv[2]) : 1000000;
    int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    fs::path dir = fs::temp_directory_path() /
                   ("export_bench_" + std::to_string(Clock::now().time_since_epoch().count()));
    std::error_code ec;

    SampleAccountOptions options;
    options.baseDir = (dir / "one").string();
    options.friends = 1;
    options.messagesPerFriend = messages;
    SampleAccountResult account;
    std::string error;
    if (!WriteSampleAccount(options, account, error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return 1;
    }
    const std::string path = account.friends[0].path;
    std::printf("log: %d messages, %llu bytes; exporter %s\n", messages,
                static_cast<unsigned long long>(fs::file_size(path)), exe.c_str());

    std::vector<double> bare;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        CReadOnlyFile file;
        file.OpenExisting(path.c_str());
        std::uint64_t size = 0;
        file.QuerySize(size);
        CReadOnlyMapping mapping;
        mapping.Map(file, static_cast<std::uint32_t>(size));
        std::size_t walked = BareWalk(mapping.View(), mapping.Size());
        auto t1 = Clock::now();
        if (walked != static_cast<std::size_t>(messages)) {
            std::fprintf(stderr, "bench: bare walk found %zu records\n", walked);
            return 1;
        }
        bare.push_back(Millis(t0, t1));
    }
    double bareMs = Fastest(bare);
    std::string csv = (dir / "out.csv").string();
    std::printf(
        "fastest of %d rounds                      time        per message   ratio to bare walk\n",
        rounds);
    std::printf("bare walk (open+map+wLength loop)   %9.1f ms  %9.1f ns\n", bareMs,
                bareMs * 1e6 / messages);
    struct Run {
        const char* what;
        std::vector<std::string> args;
    };
    const Run runs[] = {
        {"CSV to a file (whole-or-nothing)", {path, "--format", "csv", "-o", csv}},
        {"CSV to the null device", {path, "--format", "csv"}},
        {"CSV, reverse order, to a file", {path, "--format", "csv", "--order", "desc", "-o", csv}},
        {"JSON to a file", {path, "--format", "json", "-o", csv + ".json"}},
        {"--grep (nothing matches)", {path, "--grep", "no such text here"}},
    };
    for (const Run& run : runs) {
        // A search that finds nothing ends with exit code 1, as grep does.
        bool search = std::string(run.what).find("grep") != std::string::npos;
        Timing t = TimeExporter(exe, run.args, rounds, search ? 1 : 0);
        std::printf("%-35s %9.1f ms  %9.1f ns  %8.1fx   cpu %7.1f ms (%.1fx)\n", run.what, t.wallMs,
                    t.wallMs * 1e6 / messages, t.wallMs / bareMs, t.cpuMs, t.cpuMs / bareMs);
    }
    std::printf("CSV file: %llu bytes\n", static_cast<unsigned long long>(fs::file_size(csv)));

    SampleAccountOptions many;
    many.baseDir = (dir / "many").string();
    many.friends = 5000;
    many.messagesPerFriend = 20;
    if (!WriteSampleAccount(many, account, error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return 1;
    }
    Timing many3 = TimeExporter(
        exe, {(fs::path(account.folder).parent_path()).string(), "--format", "csv", "-o", csv}, 3);
    std::printf(
        "5,000 friends x 20 messages to one CSV file: %.1f ms, cpu %.1f ms (fastest of 3)\n",
        many3.wallMs, many3.cpuMs);
    Timing folder = TimeExporter(exe,
                                 {(fs::path(account.folder).parent_path()).string(), "--format",
                                  "csv", "-o", (dir / "folder").string() + "/"},
                                 1);
    std::printf("the same to a folder (5,000 files and the index): %.1f ms, cpu %.1f ms\n",
                folder.wallMs, folder.cpuMs);

    // Web pages: the whole history on one page against pages by month.
    const std::string spread = (dir / "spread" / "180000000.dat").string();
    fs::create_directories(dir / "spread", ec);
    if (!WriteSpreadLog(spread, messages, 36)) {
        std::fprintf(stderr, "bench: cannot write %s\n", spread.c_str());
        return 1;
    }
    fs::path keep = argc > 4 ? fs::u8path(argv[4]) : dir / "months";
    const Run pages[] = {
        {"HTML, one page",
         {spread, "--format", "html", "--utc", "-o", (dir / "one.html").string()}},
        {"HTML, a page per month",
         {spread, "--format", "html", "--utc", "-o", keep.string() + "/"}},
        {"HTML, pages of 10,000",
         {spread, "--format", "html", "--utc", "--split", "10000", "-o",
          (dir / "tenk").string() + "/"}},
    };
    std::vector<double> walls[3], cpus[3];
    for (int r = 0; r < rounds; ++r) {
        for (int k = 0; k < 3; ++k) {
            double cpu = 0;
            auto t0 = Clock::now();
            if (RunExporter(exe, pages[k].args, cpu) != 0) {
                std::fprintf(stderr, "bench: %s failed\n", pages[k].what);
                return 1;
            }
            walls[k].push_back(Millis(t0, Clock::now()));
            cpus[k].push_back(cpu);
        }
    }
    std::uintmax_t largest = 0;
    std::string largestName;
    for (const auto& entry : fs::recursive_directory_iterator(keep, ec)) {
        if (entry.path().filename() != "index.html" && entry.is_regular_file(ec) &&
            entry.file_size(ec) > largest) {
            largest = entry.file_size(ec);
            largestName = entry.path().string();
        }
    }
    std::printf("%d messages over 36 months to web pages, rounds in turns (fastest of %d):\n",
                messages, rounds);
    for (int k = 0; k < 3; ++k)
        std::printf("%-35s %9.1f ms  cpu %7.1f ms   %.2fx the one page (cpu %.2fx)\n",
                    pages[k].what, Fastest(walls[k]), Fastest(cpus[k]),
                    Fastest(walls[k]) / Fastest(walls[0]), Fastest(cpus[k]) / Fastest(cpus[0]));
    std::printf("one page: %llu bytes; largest month page: %s, %llu bytes\n",
                static_cast<unsigned long long>(fs::file_size(dir / "one.html", ec)),
                largestName.c_str(), static_cast<unsigned long long>(largest));
    fs::remove_all(dir, ec);
    return 0;
}
