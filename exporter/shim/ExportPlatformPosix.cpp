// PLATFORM SHIM, POSIX side: see ExportPlatform.h.
#include "ExportPlatform.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

namespace exporter {

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

std::FILE* CreateNewFile(const std::filesystem::path& path) {
    return std::fopen(path.c_str(), "wbx");
}

int ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace exporter
