#include "ExportJobRun.h"

#include "AtomicOutputFile.h"
#include "ExportFormatTable.h"
#include "ExportText.h"
#include "FriendPages.h"
#include "InputChecks.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

// One page past this many messages opens slowly in a browser (seconds at
// 100,000): worth a word about the folder's pages.
constexpr std::uint64_t kLargePageMessages = 50000;

CExportJob::CExportJob(const ExportJobSettings& settings, const ExportJobCallbacks& callbacks)
    : m_options(settings.options), m_settings(settings), m_callbacks(callbacks) {}

ExportJobResult CExportJob::Run() {
    m_split = exporter::ResolveSplit(m_options.split, m_options.format, m_settings.toFolder);
    if (m_options.hasGrep) {
        std::string gbk;
        CGbkConverter::ToGbk(m_options.grep, gbk);
        m_byteGrep = exporter::IsByteSearchExact(m_options.grep, gbk, m_decoder);
        if (m_byteGrep)
            m_search = chatlog::CTextSearch(gbk, false);
    }
    std::vector<ExportSource> sources;
    // Refused before anything is written: an existing output stays as it is.
    m_result.refused = !CollectInputs(sources);
    std::vector<SelectedLog> selected;
    if (!m_result.refused) {
        selected = SelectLogs(sources);
        m_result.refused = m_result.unknownFriend || !PrepareOutput(selected);
    }
    if (m_result.refused)
        return m_result;
    m_progress.friendsTotal = selected.size();
    if (m_settings.countFirst)
        CountMessages(selected);
    if (!m_cancelled && m_settings.toFolder)
        ExportToFolder(selected);
    else if (!m_cancelled)
        ExportToOne(selected);
    Finish();
    return m_result;
}

void CExportJob::Problem(const std::string& text) {
    m_result.problems.push_back(text);
    if (m_callbacks.problem)
        m_callbacks.problem(text);
}

void CExportJob::FileFailed(const std::string& text) {
    ++m_result.filesFailed;
    Problem(text);
}

void CExportJob::Damaged(const std::string& path, const std::string& what) {
    m_result.damaged.push_back({path, m_progress.friendKey, m_progress.friendName, what});
    Problem(what);
}

bool CExportJob::Report() {
    if (!m_progress.counting && m_progress.messagesTotal < m_progress.messagesDone)
        m_progress.messagesTotal = m_progress.messagesDone; // the log grew since it was counted
    if (!m_cancelled && m_callbacks.progress && !m_callbacks.progress(m_progress))
        m_cancelled = true;
    return !m_cancelled;
}

ExportWriterChoice CExportJob::WriterChoice() const {
    ExportWriterChoice choice;
    choice.csvRaw = m_options.csvRaw;
    choice.grep = m_options.hasGrep;
    choice.needle = m_options.grep;
    return choice;
}

// Every operand must name something to export: a folder of logs or an
// account folder, or a file that is a chat log (it opens with a whole
// header, and carries the chat log mark or a chat log's name). Damage found
// later, inside a log or among a folder's files, is reported and the rest
// exported.
bool CExportJob::CollectInputs(std::vector<ExportSource>& sources) {
    const bool listed = m_settings.inputsListedEarlier;
    const char* consequence = listed ? "; not exported" : "; nothing written";
    bool refuse = false, gone = false;
    for (const std::string& input : m_options.inputs) {
        std::string error;
        std::size_t before = sources.size();
        if (!exporter::CollectExportSources(input, sources, error)) {
            if (listed)
                Damaged(input, error + consequence);
            else
                Problem(error + consequence);
            (listed ? gone : refuse) = true;
            continue;
        }
        for (std::size_t i = before; i < sources.size(); ++i) {
            if (!sources[i].named)
                continue;
            CChatLogFile log;
            if (!OpenLog(log, sources[i].path, consequence)) {
                (listed ? gone : refuse) = true;
                if (listed)
                    sources.erase(sources.begin() + static_cast<std::ptrdiff_t>(i--));
                continue;
            }
            if (!exporter::LooksLikeChatLog(log, sources[i].path)) {
                Problem(input + ": not a chat log (neither its mark nor a chat log's name); "
                                "nothing written");
                refuse = true;
            }
        }
    }
    return !refuse && !(gone && sources.empty());
}

// The logs to export. --friend picks by the key in the header, or by the
// nickname, so then every log is opened once beforehand, and the count
// decides between one JSON document and an array before anything is
// written. Without it every log is taken and opened only when exported (on
// Windows, under Wine above all, each open costs more than exporting a
// short log).
std::vector<CExportJob::SelectedLog>
CExportJob::SelectLogs(const std::vector<ExportSource>& sources) {
    std::vector<SelectedLog> selected;
    if (m_options.friendKeys.empty()) {
        for (const ExportSource& source : sources)
            selected.push_back({source, std::string()});
        return selected;
    }
    std::vector<ExportFriendSummary> known(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        CChatLogFile log;
        if (!OpenLog(log, sources[i].path))
            continue;
        known[i].key = m_decoder.Decode(log.FriendKey());
        known[i].name = m_decoder.Decode(log.FriendName());
    }
    std::vector<bool> wanted(sources.size(), false);
    for (const std::string& value : m_options.friendKeys) {
        for (std::size_t i : FindFriend(value, known))
            wanted[i] = true;
    }
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (wanted[i])
            selected.push_back({sources[i], std::string()});
    }
    return selected;
}

std::vector<std::size_t> CExportJob::FindFriend(const std::string& value,
                                                const std::vector<ExportFriendSummary>& known) {
    std::vector<std::size_t> byKey, byName;
    std::vector<std::string> keys; // of the friends the nickname names
    for (std::size_t i = 0; i < known.size(); ++i) {
        // A log that did not open has neither, and a value is never empty.
        if (known[i].key == value)
            byKey.push_back(i);
        if (known[i].name == value) {
            byName.push_back(i);
            if (std::find(keys.begin(), keys.end(), known[i].key) == keys.end())
                keys.push_back(known[i].key);
        }
    }
    if (!byKey.empty())
        return byKey;
    if (keys.size() == 1)
        return byName;
    m_result.unknownFriend = true;
    if (keys.empty()) {
        Problem("--friend " + value + ": no friend has this key or nickname");
        return {};
    }
    std::string list;
    for (const std::string& key : keys)
        list += (list.empty() ? "" : ", ") + key;
    Problem("--friend " + value + ": friends with the keys " + list +
            " share this nickname; give the key");
    return {};
}

bool CExportJob::OpenLog(CChatLogFile& log, const fs::path& path, const char* consequence) {
    if (log.Open(path.c_str()))
        return true;
    std::error_code ec;
    std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size < chatlog::kChatLogHeaderSize)
        Damaged(exporter::PathText(path),
                exporter::PathText(path) + ": not a chat log: " + std::to_string(size) +
                    " bytes, shorter than the 80-byte header" + consequence);
    else
        Damaged(exporter::PathText(path),
                exporter::PathText(path) + ": cannot open the chat log" + consequence);
    return false;
}

bool CExportJob::PrepareOutput(std::vector<SelectedLog>& selected) {
    if (m_options.output.empty())
        return true;
    fs::path output = fs::u8path(m_options.output);
    std::error_code ec;
    if (m_settings.toFolder) {
        std::vector<std::string> taken;
        for (SelectedLog& log : selected) {
            std::string stem = exporter::PathText(log.source.path.stem());
            // Split, a friend's pages and index go into a folder of its own.
            log.fileName = m_split == ExportSplit::None
                               ? exporter::MakeFriendFileName(
                                     stem, exporter::FormatExtension(m_options.format), taken)
                               : exporter::MakeFriendFolderName(stem, taken);
        }
        if (OverwritesAnInput(output, selected))
            return false;
        std::string problem;
        for (SelectedLog& log : selected) {
            log.refused = exporter::IsRefusedLink(output / fs::u8path(log.fileName), problem);
            if (log.refused)
                Problem(problem);
        }
        if (!m_outputs.MakeFolder(output)) {
            Problem(m_options.output + ": cannot create the folder");
            return false;
        }
        m_outputFolder = output;
        return true;
    }
    // The output replaces its file when done: never let that be a log.
    for (const SelectedLog& log : selected) {
        if (fs::equivalent(output, log.source.path, ec)) {
            Problem(m_options.output + ": is one of the chat logs being read; nothing written");
            return false;
        }
    }
    return true;
}

// Whether a file the folder export would write is one of the logs read.
bool CExportJob::OverwritesAnInput(const fs::path& folder,
                                   const std::vector<SelectedLog>& selected) {
    std::vector<fs::path> inputs;
    std::vector<std::string> written = {std::string("index.") +
                                        exporter::FormatExtension(m_options.format)};
    for (const SelectedLog& log : selected) {
        inputs.push_back(log.source.path);
        written.push_back(log.fileName);
    }
    // Split, a file of the format in a friend's folder may be one of its
    // pages or its index.
    std::string pages = m_split == ExportSplit::None
                            ? std::string()
                            : std::string(".") + exporter::FormatExtension(m_options.format);
    std::size_t found = exporter::FindInputWrittenOver(inputs, folder, written, pages);
    if (found == inputs.size())
        return false;
    Problem(exporter::PathText(inputs[found]) +
            ": is one of the chat logs being read and would be overwritten; nothing written");
    return true;
}

// The total of the progress: every log walked once before anything is
// written. A log that cannot be opened counts nothing here; its export says
// why.
void CExportJob::CountMessages(const std::vector<SelectedLog>& selected) {
    m_progress.counting = true;
    for (const SelectedLog& log : selected) {
        CChatLogFile file;
        if (file.Open(log.source.path.c_str())) {
            file.SetPrefault(false);
            m_progress.messagesTotal += CountSelected(file);
        }
        if (!Report())
            break;
    }
    m_progress.counting = false;
}

void CExportJob::ExportToOne(const std::vector<SelectedLog>& selected) {
    CAtomicOutputFile file;
    std::FILE* stream = stdout;
    if (!m_options.output.empty()) {
        std::string error;
        if (!file.Create(fs::u8path(m_options.output), error)) {
            FileFailed(error);
            return;
        }
        stream = file.Stream();
    }
    COutputSink sink(stream);
    ExportWriterChoice choice = WriterChoice();
    choice.several = selected.size() != 1;
    auto writer = exporter::FormatRow(m_options.format).makeWriter(sink, choice);
    writer->BeginDocument();
    for (std::size_t i = 0; i < selected.size() && !m_cancelled; ++i) {
        ExportLog(selected[i].source, *writer, sink, nullptr, selected.size() != 1);
        ++m_progress.friendsDone;
        Report();
    }
    if (m_cancelled)
        return; // the file's temporary goes with it
    writer->EndDocument();
    sink.Flush();
    if (m_options.format == ExportFormat::Html && m_matched > kLargePageMessages &&
        m_callbacks.note)
        m_callbacks.note(std::to_string(m_matched) +
                         " messages on one page open slowly in a browser; for a page per month "
                         "write to a folder: -o FOLDER/ --split month");
    std::string error;
    if (m_options.output.empty()) {
        if (!sink.Ok() || std::fflush(stdout) != 0)
            Problem("cannot write to standard output");
    } else if (!m_outputs.Add(file, sink, m_matched, error)) {
        FileFailed(error);
    }
}

void CExportJob::ExportToFolder(const std::vector<SelectedLog>& selected) {
    std::vector<ExportIndexEntry> index;
    for (std::size_t i = 0; i < selected.size() && !m_cancelled; ++i) {
        ExportIndexEntry entry;
        bool listed = !selected[i].refused &&
                      (m_split != ExportSplit::None ? ExportFriendPages(selected[i], entry)
                                                    : ExportFriendFile(selected[i], entry));
        if (listed && !m_cancelled)
            index.push_back(entry);
        ++m_progress.friendsDone;
        Report();
    }
    if (!m_cancelled)
        WriteIndex(index);
}

// A friend's messages in one file of the output folder; true when the
// account index lists the friend.
bool CExportJob::ExportFriendFile(const SelectedLog& log, ExportIndexEntry& entry) {
    CAtomicOutputFile file;
    std::string error;
    fs::path path = m_outputFolder / fs::u8path(log.fileName);
    if (!file.Create(path, error)) {
        FileFailed(error);
        return false;
    }
    COutputSink sink(file.Stream());
    auto writer = exporter::FormatRow(m_options.format).makeWriter(sink, WriterChoice());
    writer->BeginDocument();
    bool read = ExportLog(log.source, *writer, sink, &entry, false);
    writer->EndDocument();
    sink.Flush();
    // A search leaves out the friends it found nothing with.
    if (!read || m_cancelled || (m_options.hasGrep && entry.sent + entry.received == 0))
        return false;
    if (!m_outputs.Add(file, sink, entry.sent + entry.received, error)) {
        FileFailed(error);
        return false;
    }
    entry.file = log.fileName;
    return true;
}

// A friend's pages in a folder of its own, and the friend's index; true when
// the account index lists the friend.
bool CExportJob::ExportFriendPages(const SelectedLog& log, ExportIndexEntry& entry) {
    CFriendPages pages(m_options, m_split, m_outputFolder / fs::u8path(log.fileName), m_outputs,
                       [this](const std::string& text) { FileFailed(text); });
    COutputSink unused; // the pages have sinks of their own
    m_pages = &pages;
    bool read = ExportLog(log.source, pages, unused, &entry, false);
    m_pages = nullptr;
    // A search leaves out the friends it found nothing with.
    bool keep = read && !m_cancelled && !(m_options.hasGrep && entry.sent + entry.received == 0);
    if (!pages.Finish(keep))
        return false;
    m_pageFolders.push_back(m_outputFolder / fs::u8path(log.fileName));
    entry.file = log.fileName + "/index." + exporter::FormatExtension(m_options.format);
    return true;
}

void CExportJob::WriteIndex(const std::vector<ExportIndexEntry>& index) {
    CAtomicOutputFile file;
    std::string error;
    std::string name = std::string("index.") + exporter::FormatExtension(m_options.format);
    if (exporter::IsRefusedLink(m_outputFolder / name, error) ||
        !file.Create(m_outputFolder / name, error)) {
        FileFailed(error);
        return;
    }
    COutputSink sink(file.Stream());
    exporter::FormatRow(m_options.format).writeIndex(index, sink, WriterChoice());
    sink.Flush();
    if (!m_outputs.Add(file, sink, 0, error))
        FileFailed(error);
}

// Every file into place, or (cancelled) none; the counts of the result.
void CExportJob::Finish() {
    m_result.cancelled = m_cancelled;
    if (m_cancelled) {
        m_outputs.Discard();
        return;
    }
    m_result.files = m_outputs.Commit([this](const std::string& text) { FileFailed(text); });
    RemoveStalePages();
    m_result.messages = m_options.output.empty() ? m_matched : m_outputs.MessagesCommitted();
    m_result.grepMatchedNothing = m_options.hasGrep && m_matched == 0;
}

// Pages of an earlier export that this one no longer lists (a narrower
// date range, another split) would stay beside the new ones and be shared
// with them: each friend's folder written loses the files named as pages of
// the format that this export did not put there. No other name is touched,
// and nothing at all when a file failed: the page it could not write keeps
// its earlier version.
void CExportJob::RemoveStalePages() {
    if (m_result.filesFailed > 0)
        return;
    std::string extension = exporter::FormatExtension(m_options.format);
    for (const fs::path& folder : m_pageFolders) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path& path = it->path();
            if (!fs::is_regular_file(fs::symlink_status(path, ec)) || m_outputs.Committed(path) ||
                !exporter::IsPageFileName(exporter::PathText(path.filename()), extension))
                continue;
            std::error_code removed;
            if (fs::remove(path, removed))
                ++m_result.stalePagesRemoved;
        }
    }
    if (m_result.stalePagesRemoved && m_callbacks.note)
        m_callbacks.note("removed " + std::to_string(m_result.stalePagesRemoved) +
                         " page(s) of an earlier export that this one no longer lists");
}
