// PLATFORM SHIM: see ExportPlatform.h.
#include "ExportPlatform.h"

#include "ExportInputs.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace exporter {

namespace {

#ifdef _WIN32
std::string ToUtf8(const wchar_t* wide) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return std::string();
    std::string text(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], bytes, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(bytes - 1));
    return text;
}

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}
#endif

} // namespace

#ifdef _WIN32
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(ToUtf8(argv[i]));
    return args;
}
#else
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}
#endif

void PrepareStandardStreams() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
    if (IsConsole(STD_OUTPUT_HANDLE) || IsConsole(STD_ERROR_HANDLE)) {
        // The code page belongs to the console, not to this process: give the
        // user's back at exit.
        static UINT previous = GetConsoleOutputCP();
        SetConsoleOutputCP(CP_UTF8);
        std::atexit([] { SetConsoleOutputCP(previous); });
    }
#endif
}

bool IsStandardErrorTerminal() {
#ifdef _WIN32
    return IsConsole(STD_ERROR_HANDLE);
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

} // namespace exporter

void CReadPageReleaser::Touch(const unsigned char* record, std::size_t length) {
    const unsigned char* end = record + length;
    if (!m_low) {
        m_low = record;
        m_high = end;
        return;
    }
    m_low = std::min(m_low, record);
    m_high = std::max(m_high, end);
    if (static_cast<std::size_t>(m_high - m_low) < kSpan)
        return;
    Release(m_low, record);
    Release(end, m_high);
    m_low = record;
    m_high = end;
}

void CReadPageReleaser::Release(const unsigned char* from, const unsigned char* to) {
#ifdef _WIN32
    static const std::uintptr_t page = [] {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return static_cast<std::uintptr_t>(info.dwPageSize);
    }();
#else
    static const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
#endif
    // Whole pages strictly inside the range: the pages at its ends may hold
    // the record being read.
    std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(from) + page - 1) / page * page;
    std::uintptr_t last = reinterpret_cast<std::uintptr_t>(to) / page * page;
    if (first >= last)
        return;
#ifdef _WIN32
    // Unlocking pages that are not locked takes them out of the working set.
    VirtualUnlock(reinterpret_cast<void*>(first), last - first);
#else
    madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
#endif
}

bool CAtomicOutputFile::Create(const fs::path& destination, std::string& error) {
    Discard();
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    unsigned long pid = GetCurrentProcessId();
#else
    unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    // In the destination's folder, so the rename never crosses file systems.
    fs::path temporary = destination;
    temporary.replace_filename(fs::u8path("." + exporter::PathText(destination.filename()) +
                                          ".tmp-" + std::to_string(pid) + "-" +
                                          std::to_string(counter++)));
#ifdef _WIN32
    m_stream = _wfopen(temporary.c_str(), L"wb");
#else
    m_stream = std::fopen(temporary.c_str(), "wbx");
#endif
    if (!m_stream) {
        error = exporter::PathText(destination) + ": cannot write: " + std::strerror(errno);
        return false;
    }
    m_destination = destination;
    m_temporary = temporary;
    return true;
}

bool CAtomicOutputFile::Commit(std::string& error) {
    if (!m_stream) {
        error = exporter::PathText(m_destination) + ": nothing to write";
        return false;
    }
    // Flushed to the system, not synced to the disk: the rename makes the file
    // appear whole to every reader, and a sync per file would cost more than
    // the export itself for an account of thousands of friends.
    bool ok = std::fflush(m_stream) == 0 && !std::ferror(m_stream);
    int saved = errno;
    ok = std::fclose(m_stream) == 0 && ok;
    m_stream = nullptr;
    if (ok) {
#ifdef _WIN32
        ok =
            MoveFileExW(m_temporary.c_str(), m_destination.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
        saved = ok ? 0 : EACCES;
#else
        ok = std::rename(m_temporary.c_str(), m_destination.c_str()) == 0;
        saved = errno;
#endif
    }
    if (!ok) {
        error = exporter::PathText(m_destination) + ": cannot write: " + std::strerror(saved);
        Discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void CAtomicOutputFile::Discard() {
    if (m_stream) {
        std::fclose(m_stream);
        m_stream = nullptr;
    }
    if (!m_temporary.empty()) {
        std::error_code ec;
        fs::remove(m_temporary, ec);
        m_temporary.clear();
    }
}
