// PLATFORM SHIM, POSIX side: see MappedReadGuard.h. The SIGBUS handler maps
// a page of zeros over the page that faulted when it lies in a guarded
// view, and the read that faulted runs again on it; any other SIGBUS ends
// the process as before. The guarded views sit in a fixed table of atomic
// slots, which a signal handler may read.
#include "MappedReadGuard.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace {

struct Slot {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> shrunk{false};
};

constexpr int kSlots = 64;
Slot s_slots[kSlots];

void OnBusError(int signal, siginfo_t* info, void*) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Slot& slot : s_slots) {
        if (address < slot.begin.load() || address >= slot.end.load())
            continue;
        const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        void* start = reinterpret_cast<void*>(address / page * page);
        if (mmap(start, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) ==
            MAP_FAILED)
            break;
        slot.shrunk = true;
        return;
    }
    // Not ours: the default action, when the read faults again.
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
}

void InstallHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, nullptr);
    });
}

} // namespace

CMappedReadGuard::CMappedReadGuard(const unsigned char* view, std::size_t size) {
    if (!view || size == 0)
        return;
    InstallHandler();
    for (int i = 0; i < kSlots; ++i) {
        std::uintptr_t free = 0;
        if (s_slots[i].end.compare_exchange_strong(free, 1)) {
            s_slots[i].shrunk = false;
            s_slots[i].begin = reinterpret_cast<std::uintptr_t>(view);
            s_slots[i].end = reinterpret_cast<std::uintptr_t>(view) + size;
            m_slot = i;
            return;
        }
    }
}

CMappedReadGuard::~CMappedReadGuard() {
    if (m_slot < 0)
        return;
    // Matches nothing before the slot is free for another guard.
    s_slots[m_slot].begin = ~static_cast<std::uintptr_t>(0);
    s_slots[m_slot].end = 0;
}

bool CMappedReadGuard::Shrunk() const {
    return m_slot >= 0 && s_slots[m_slot].shrunk.load();
}
