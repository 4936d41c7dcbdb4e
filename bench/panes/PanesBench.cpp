// Message list benchmark. For each log size it times, in one run:
//   bare walk  - map the file and hop from record to record by wLength;
//   rows       - what a friend selection costs the message list: enumerate
//                the records and build the row index for an order and filter;
//   table      - (Windows) the real pane: LoadMessages until the list has
//                its rows, and the same plus the first paint;
// cold (a fresh open and mapping) and warm (the view already mapped, as for
// an order or filter switch). Heap figures come from counting every
// allocation of the process: the mapping itself is not on the heap.
#include "ChatLogFile.h"
#include "ChatLogFormat.h"
#include "ChatLogWriter.h"
#include "MessageIndex.h"
#include "ReadOnlyFile.h"
#include "ReadOnlyMapping.h"
#include "SampleAccount.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#ifdef PANES_BENCH_GUI
#include "BenchTable.h"
#endif

namespace {

std::atomic<size_t> g_heapNow{0};
std::atomic<size_t> g_heapPeak{0};

void NoteAlloc(size_t n) {
    size_t now = g_heapNow += n;
    size_t peak = g_heapPeak.load();
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
    }
}

} // namespace

// Every allocation carries its size in front so the delete can count it.
void* operator new(size_t n) {
    auto* p = static_cast<size_t*>(std::malloc(n + 16));
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    *p = n;
    NoteAlloc(n);
    return reinterpret_cast<char*>(p) + 16;
}
void operator delete(void* p) noexcept {
    if (p != nullptr) {
        auto* base = reinterpret_cast<size_t*>(static_cast<char*>(p) - 16);
        g_heapNow -= *base;
        std::free(base);
    }
}
void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// Heap peak above the level at the call's start, for one measured step.
struct HeapScope {
    size_t base = g_heapNow.load();
    HeapScope() { g_heapPeak = base; }
    size_t Peak() const { return g_heapPeak.load() - base; }
    size_t Held() const { return g_heapNow.load() - base; }
};

std::string WriteLog(const std::string& dir, int messages) {
    std::string path = dir + "/" + std::to_string(messages) + ".dat";
    ChatLogHeaderFields header{"123456789", "\xd0\xa1\xc3\xf7", "\xd5\xc5\xc8\xfd"};
    CChatLogWriter writer;
    if (!writer.Create(path, header)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    const auto& texts = SampleMessages();
    uint32_t state = 12345;
    int32_t time = 1767225600;
    // Directions: mostly 0 and 1, with 2 and 0xFFFFFFFF among the received.
    const uint32_t received[] = {1, 1, 2, 0xFFFFFFFFu};
    for (int i = 0; i < messages; ++i) {
        state = state * 1103515245u + 12345u;
        uint32_t r = state >> 8;
        time += 1 + static_cast<int32_t>(r % 600);
        uint32_t direction = (r & 1) ? 0 : received[(r >> 1) & 3];
        writer.Append(time, direction, texts[(r >> 4) % texts.size()]);
    }
    writer.Close();
    return path;
}

// The least any listing must do: map and hop from record to record by
// wLength, by the same rule as every reader, keeping nothing.
size_t CountRecords(const unsigned char* view, uint32_t size) {
    size_t records = 0;
    chatlog::VisitChatLogRecords(view, size, [&records](chatlog::ChatLogRecordPos) { ++records; });
    return records;
}

double BareWalk(const std::string& path, size_t* records) {
    auto t0 = Clock::now();
    CReadOnlyFile file;
    CReadOnlyMapping mapping;
    uint64_t size = 0;
    if (!file.OpenExisting(path.c_str()) || !file.QuerySize(size) ||
        !mapping.Map(file, static_cast<uint32_t>(size))) {
        return -1;
    }
    *records = CountRecords(mapping.View(), static_cast<uint32_t>(size));
    return MsSince(t0);
}

double BareWalkWarm(const unsigned char* view, uint32_t size, size_t* records) {
    auto t0 = Clock::now();
    *records = CountRecords(view, size);
    return MsSince(t0);
}

struct Rows {
    double ms;
    size_t rows;
    size_t peak;
    size_t held;
};

// What the message list does on a load: one walk to count the rows, one to
// fill them, straight from the view.
Rows BuildRows(CChatLogFile& log, CMessageIndex& index, int32_t filter, int32_t order) {
    HeapScope heap;
    auto t0 = Clock::now();
    index.Build([&log](auto&& visit) { log.VisitDirectedRecords(visit); }, filter, order);
    Rows r{MsSince(t0), index.RowCount(), heap.Peak(), heap.Held()};
    return r;
}

// What a switch costs the message list while the log is listed: an order
// switch reads the same rows the other way round; a filter switch fills the
// rows in one walk, with the counts of the build before.
Rows SwitchRows(CChatLogFile& log, CMessageIndex& index, int32_t filter, int32_t order,
                bool orderOnly) {
    HeapScope heap;
    auto t0 = Clock::now();
    if (orderOnly) {
        index.SetOrder(order);
    } else {
        index.Refilter([&log](auto&& visit) { log.VisitDirectedRecords(visit); }, filter, order);
    }
    Rows r{MsSince(t0), index.RowCount(), heap.Peak(), heap.Held()};
    return r;
}

// The first design, kept for comparison: every position into a deque first
// (EnumRecords), then the rows from the deque.
Rows BuildRowsViaDeque(CChatLogFile& log, CMessageIndex& index, int32_t filter, int32_t order) {
    HeapScope heap;
    auto t0 = Clock::now();
    {
        chatlog::ChatLogRecordIndex records;
        log.EnumRecords(records);
        index.Build(records, filter, order, chatlog::RecordDirection);
    }
    Rows r{MsSince(t0), index.RowCount(), heap.Peak(), heap.Held()};
    return r;
}

double Best(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

const char* FilterName(int32_t f) {
    return f == kFilterAll ? "all" : f == kFilterSent ? "sent" : "received";
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes = {10000, 100000, 1000000};
    if (argc > 1) {
        sizes.assign({std::atoi(argv[1])});
    }
    std::string dir = (std::filesystem::temp_directory_path() / "panes_bench").string();
    std::filesystem::create_directories(dir);

#ifdef PANES_BENCH_GUI
    CBenchTable table;
    if (!table.Create()) {
        std::fprintf(stderr, "cannot create the message list pane\n");
        return 1;
    }
#endif

    std::printf("%-8s %-6s %-4s %-8s %8s %8s | %8s %6s | %8s %6s | %8s %6s %9s %6s | %5s %5s\n",
                "messages", "state", "ord", "filter", "rows", "walk ms", "rows ms", "ratio",
                "deque ms", "ratio", "table ms", "ratio", "+paint ms", "ratio", "peak", "held");
    for (int n : sizes) {
        const std::string path = WriteLog(dir, n);
        const int reps = n >= 1000000 ? 7 : 11;
        for (int32_t order : {kOrderAscending, kOrderDescending}) {
            for (int32_t filter : {kFilterAll, kFilterSent, kFilterReceived}) {
                // Warm: objects whose view is mapped already, as for an order
                // or filter switch on the selected friend.
                CChatLogFile warmLog;
                CReadOnlyFile warmFile;
                CReadOnlyMapping warmMap;
                uint64_t size64 = 0;
                if (!warmLog.Open(path.c_str()) || !warmFile.OpenExisting(path.c_str()) ||
                    !warmFile.QuerySize(size64) ||
                    !warmMap.Map(warmFile, static_cast<uint32_t>(size64))) {
                    std::fprintf(stderr, "cannot open %s\n", path.c_str());
                    return 1;
                }
                const auto size = static_cast<uint32_t>(size64);
                size_t walked = 0;
                BareWalkWarm(warmMap.View(), size, &walked);
                if (walked != static_cast<size_t>(n)) {
                    std::fprintf(stderr, "walk saw %zu of %d records\n", walked, n);
                    return 1;
                }
                CMessageIndex index;
                BuildRows(warmLog, index, filter, order);

                // state 0 cold (friend selected), 1 order switch, 2 filter switch
                for (int state = 0; state < 3; ++state) {
                    std::vector<double> walk, rows, deque, tableTimes, paintTimes;

                    Rows last{};
                    for (int rep = 0; rep < reps; ++rep) {
                        size_t seen = 0;
                        double tableMs = -1, paintMs = -1;
                        if (state == 0) {
                            walk.push_back(BareWalk(path, &seen));
                            CChatLogFile a, b;
                            a.Open(path.c_str());
                            b.Open(path.c_str());
                            index.Release(); // a fresh pane: no room held yet
                            last = BuildRows(a, index, filter, order);
                            rows.push_back(last.ms);
                            index.Release();
                            deque.push_back(BuildRowsViaDeque(b, index, filter, order).ms);
#ifdef PANES_BENCH_GUI
                            CChatLogFile c;
                            c.Open(path.c_str());
                            table.MeasureLoad(&c, order, filter, &tableMs, &paintMs);
                            if (table.Rows() != last.rows) {
                                std::fprintf(stderr, "table has %zu rows, index %zu\n",
                                             table.Rows(), last.rows);
                                return 1;
                            }
                            table.Unload();
#endif
                        } else {
                            walk.push_back(BareWalkWarm(warmMap.View(), size, &seen));
                            index.Clear();
                            deque.push_back(BuildRowsViaDeque(warmLog, index, filter, order).ms);
                            // From the other order, or from another filter,
                            // as the pane has it before the switch.
                            index.Clear(); // the pane keeps the room of the last load
                            BuildRows(warmLog, index, state == 1 ? filter : kFilterAll,
                                      state == 1 ? 3 - order : order);
                            last = SwitchRows(warmLog, index, filter, order, state == 1);
                            rows.push_back(last.ms);
#ifdef PANES_BENCH_GUI
                            table.MeasureSwitch(&warmLog, order, filter, state == 1, &tableMs,
                                                &paintMs);
                            table.Unload();
#endif
                        }
                        tableTimes.push_back(tableMs);
                        paintTimes.push_back(paintMs);
                    }
                    // The best of the runs: the machine is shared, and other
                    // work only ever adds time, to the walk as much as to the
                    // rest.
                    const double w = Best(walk), r = Best(rows), d = Best(deque),
                                 t = Best(tableTimes), p = Best(paintTimes);
                    static const char* const states[] = {"cold", "order", "filter"};
                    std::printf("%-8d %-6s %-4s %-8s %8zu %8.2f | %8.2f %5.2fx | %8.2f %5.2fx | "
                                "%8.2f %5.2fx %9.2f %5.2fx | %5.1f %5.1f\n",
                                n, states[state], order == 1 ? "asc" : "desc", FilterName(filter),
                                last.rows, w, r, r / w, d, d / w, t, t / w, p, p / w,
                                last.rows ? double(last.peak) / last.rows : 0.0,
                                last.rows ? double(index.MemoryBytes()) / last.rows : 0.0);
                    std::fflush(stdout);
                }
            }
        }
        std::filesystem::remove(path);
    }
    std::printf("rows: cold a build (two walks: count, fill); order: the rows read the other "
                "way round; filter: one walk with the counts of the build before\n");
    std::printf("best of 7 (1M) or 11 runs; cold: a "
                "fresh open and mapping (the file in the page cache); order/filter: the view "
                "mapped, the switch made while the log is listed\n");
    std::printf("peak: heap bytes a row took at most while the rows were built; held: bytes a "
                "row keeps (rows build, beyond the mapping)\n");
    return 0;
}
