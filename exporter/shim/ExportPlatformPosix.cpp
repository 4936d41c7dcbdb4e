// PLATFORM SHIM, POSIX side: see ExportPlatform.h.
#include "ExportPlatform.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

volatile std::sig_atomic_t s_stopSignal = 0;

void OnStopSignal(int signal) {
    s_stopSignal = signal;
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

} // namespace

namespace exporter {

void WatchStopRequests() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : kStopSignals)
        sigaction(signal, &action, nullptr);
}

bool StopRequested() {
    return s_stopSignal != 0;
}

void EndAsStopped() {
    int signal = s_stopSignal ? s_stopSignal : SIGTERM;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    _exit(128 + signal);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void PrepareStandardStreams() {}

bool IsStandardErrorTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

std::uintptr_t MemoryPageSize() {
    static const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    return page;
}

void ReleaseMappedPages(std::uintptr_t first, std::size_t size) {
    madvise(reinterpret_cast<void*>(first), size, MADV_DONTNEED);
}

unsigned long CurrentProcessId() {
    return static_cast<unsigned long>(getpid());
}

std::FILE* CreateNewFile(const std::filesystem::path& path,
                         const std::filesystem::path& destination) {
    // A private history exported over a file of mode 0600 stays 0600, and is
    // never more widely readable while it is written either: the file is
    // born with the old file's permissions (the umask may only narrow them,
    // so they are set exactly afterwards). A new file: 0666 less the umask.
    struct stat old;
    bool replaces = stat(destination.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    mode_t mode = replaces ? (old.st_mode & 0777) : 0666;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return nullptr;
    std::FILE* stream = nullptr;
    if (!replaces || fchmod(fd, mode) == 0)
        stream = fdopen(fd, "wb");
    if (!stream) {
        int saved = errno;
        close(fd);
        unlink(path.c_str());
        errno = saved;
    }
    return stream;
}

int ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace exporter
