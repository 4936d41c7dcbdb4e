// The files of one export, held whole under their temporary names until the
// export is done, then put in place together, or all removed.
#pragma once

#include "AtomicOutputFile.h"
#include "OutputSink.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

class CPendingOutputs {
public:
    using ProblemReport = std::function<void(const std::string&)>;

    CPendingOutputs() = default;
    ~CPendingOutputs() { Discard(); }
    CPendingOutputs(const CPendingOutputs&) = delete;
    CPendingOutputs& operator=(const CPendingOutputs&) = delete;

    // Makes `folder` and those above it where missing, remembering the ones
    // it made; true when the folder is there.
    bool MakeFolder(const std::filesystem::path& folder);
    // Closes `file`, written through `sink`, and keeps its temporary for
    // Commit; false, the temporary removed and `error` saying why (the
    // system's reason when it gave one), when it could not be written whole.
    // `messages`: how many it holds.
    bool Add(CAtomicOutputFile& file, const COutputSink& sink, std::uint64_t messages,
             std::string& error);
    // Renames every file kept over its destination, in the order added; each
    // that fails is told to `problem`. The number put in place.
    std::size_t Commit(const ProblemReport& problem);
    // After Commit: the messages in the files it put in place.
    std::uint64_t MessagesCommitted() const { return m_messagesCommitted; }
    // Removes every temporary kept and the folders made that are empty.
    void Discard();
    // After Commit: whether `destination` is a file it put in place.
    bool Committed(const std::filesystem::path& destination) const {
        return m_committed.count(destination) != 0;
    }

private:
    struct Pending {
        std::filesystem::path temporary;
        std::filesystem::path destination;
        std::uint64_t messages;
    };
    std::vector<Pending> m_files;
    std::vector<std::filesystem::path> m_folders; // made here, outermost first
    std::set<std::filesystem::path> m_committed;
    std::uint64_t m_messagesCommitted = 0;
};
