#include "PendingOutputs.h"

#include "ExportInputs.h"
#include "ExportPlatform.h"

#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

bool CPendingOutputs::MakeFolder(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> missing;
    for (fs::path p = folder; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
        missing.insert(missing.begin(), p);
        if (p == p.parent_path())
            break;
    }
    fs::create_directories(folder, ec);
    for (const fs::path& p : missing) {
        if (fs::is_directory(p, ec))
            m_folders.push_back(p);
    }
    return fs::is_directory(folder, ec);
}

bool CPendingOutputs::Add(CAtomicOutputFile& file, const COutputSink& sink, std::uint64_t messages,
                          std::string& error) {
    if (!sink.Ok()) {
        error = sink.WriteFailure(exporter::PathText(file.Destination()));
        file.Discard();
        return false;
    }
    Pending pending{file.Temporary(), file.Destination(), messages};
    if (!file.Close(error))
        return false;
    file.Release();
    m_files.push_back(std::move(pending));
    return true;
}

std::size_t CPendingOutputs::Commit(const ProblemReport& problem) {
    std::size_t done = 0;
    for (const Pending& file : m_files) {
        int error = exporter::ReplaceFileWith(file.temporary, file.destination);
        if (error == 0) {
            ++done;
            m_messagesCommitted += file.messages;
            m_committed.insert(file.destination);
            continue;
        }
        std::error_code ec;
        fs::remove(file.temporary, ec);
        if (problem)
            problem(exporter::PathText(file.destination) +
                    ": cannot write: " + std::strerror(error));
    }
    m_files.clear();
    m_folders.clear();
    return done;
}

void CPendingOutputs::Discard() {
    std::error_code ec;
    for (const Pending& file : m_files)
        fs::remove(file.temporary, ec);
    m_files.clear();
    // Innermost first; a folder that holds anything else stays.
    for (auto folder = m_folders.rbegin(); folder != m_folders.rend(); ++folder)
        fs::remove(*folder, ec);
    m_folders.clear();
}
