#include "AtomicOutputFile.h"

#include "ExportInputs.h"
#include "ExportPlatform.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

bool CAtomicOutputFile::Create(const fs::path& destination, std::string& error) {
    Discard();
    static std::atomic<unsigned> counter{0};
    // In the destination's folder, so the rename never crosses file systems.
    fs::path temporary = destination;
    temporary.replace_filename(fs::u8path("." + exporter::PathText(destination.filename()) +
                                          ".tmp-" + std::to_string(exporter::CurrentProcessId()) +
                                          "-" + std::to_string(counter++)));
    m_stream = exporter::CreateNewFile(temporary, destination);
    if (!m_stream) {
        error = exporter::PathText(destination) + ": cannot write: " + std::strerror(errno);
        return false;
    }
    m_destination = destination;
    m_temporary = temporary;
    return true;
}

bool CAtomicOutputFile::Close(std::string& error) {
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
    if (!ok) {
        error = exporter::PathText(m_destination) + ": cannot write: " + std::strerror(saved);
        Discard();
    }
    return ok;
}

bool CAtomicOutputFile::Commit(std::string& error) {
    if (!Close(error))
        return false;
    int saved = exporter::ReplaceFileWith(m_temporary, m_destination);
    if (saved != 0) {
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
