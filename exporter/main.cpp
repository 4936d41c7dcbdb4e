// chatlog-export: a user's chat history out of the chat log files, as a
// transcript, CSV, JSON or web pages, or searched with --grep. Reads like the
// viewer (same folder layout, name rule and record walk) and streams: one log
// is mapped at a time and nothing is kept per message.
#include "ChatLogFile.h"
#include "ExportInputs.h"
#include "ExportOptions.h"
#include "ExportPlatform.h"
#include "ExportText.h"
#include "ExportWriters.h"
#include "RecordOrder.h"
#include "TextDecode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Warn(const std::string& text) {
    std::fprintf(stderr, "chatlog-export: %s\n", text.c_str());
}

// Files done, messages and a bar on standard error, redrawn at most ten
// times a second, and only for a terminal.
class CProgress {
public:
    CProgress(bool enabled, std::size_t files) : m_enabled(enabled), m_files(files) {}
    ~CProgress() { Clear(); }
    void Update(std::size_t filesDone, std::uint64_t messages, bool force = false) {
        if (!m_enabled)
            return;
        auto now = std::chrono::steady_clock::now();
        if (!force && m_drawn && now - m_last < std::chrono::milliseconds(100))
            return;
        m_last = now;
        m_drawn = true;
        constexpr int kWidth = 30;
        int filled = m_files ? static_cast<int>(filesDone * kWidth / m_files) : kWidth;
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.resize(kWidth, '.');
        std::fprintf(stderr, "\r[%s] %zu/%zu files, %llu messages ", bar.c_str(), filesDone,
                     m_files, static_cast<unsigned long long>(messages));
        std::fflush(stderr);
    }
    // Wipes the line before a warning or at the end.
    void Clear() {
        if (m_enabled && m_drawn) {
            std::fprintf(stderr, "\r%*s\r", 70, "");
            std::fflush(stderr);
            m_drawn = false;
        }
    }

private:
    bool m_enabled;
    std::size_t m_files;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_last;
};

struct SelectedLog {
    ExportSource source;
    std::string fileName; // in folder mode
};

// One run of the program, from parsed options to the exit code.
class CExportRun {
public:
    explicit CExportRun(const ExportOptions& options) : m_options(options), m_progress(false, 0) {}

    int Run() {
        std::vector<ExportSource> sources;
        for (const std::string& input : m_options.inputs) {
            std::string error;
            if (!exporter::CollectExportSources(input, sources, error))
                Problem(error);
        }
        std::vector<SelectedLog> selected = SelectLogs(sources);
        if (!PrepareOutput(selected))
            return kExitWarnings;
        m_progress = CProgress(exporter::IsStandardErrorTerminal(), selected.size());
        if (m_folderMode)
            ExportToFolder(selected);
        else
            ExportToOne(selected);
        m_progress.Clear();
        if (m_warnings)
            return kExitWarnings;
        if (m_options.hasGrep && m_matched == 0)
            return kExitNoMatch;
        return kExitOk;
    }

private:
    void Problem(const std::string& text) {
        m_progress.Clear();
        Warn(text);
        ++m_warnings;
    }

    // The logs to export. --friend picks by the key in the header, so then
    // every log is opened once beforehand, and the count decides between one
    // JSON document and an array before anything is written. Without it
    // every log is taken and opened only when exported (on Windows, under
    // Wine above all, each open costs more than exporting a short log).
    std::vector<SelectedLog> SelectLogs(const std::vector<ExportSource>& sources) {
        std::vector<SelectedLog> selected;
        if (m_options.friendKeys.empty()) {
            for (const ExportSource& source : sources)
                selected.push_back({source, std::string()});
            return selected;
        }
        std::vector<bool> keyFound(m_options.friendKeys.size(), false);
        for (const ExportSource& source : sources) {
            CChatLogFile log;
            if (!OpenLog(log, source.path))
                continue;
            bool wanted = false;
            for (std::size_t i = 0; i < m_options.friendKeys.size(); ++i) {
                if (log.FriendKey() == m_options.friendKeys[i]) {
                    wanted = true;
                    keyFound[i] = true;
                }
            }
            if (wanted)
                selected.push_back({source, std::string()});
        }
        for (std::size_t i = 0; i < keyFound.size(); ++i) {
            if (!keyFound[i])
                Problem("no chat log of a friend with the key " + m_options.friendKeys[i]);
        }
        return selected;
    }

    bool OpenLog(CChatLogFile& log, const fs::path& path) {
        if (log.Open(path.c_str()))
            return true;
        std::error_code ec;
        std::uintmax_t size = fs::file_size(path, ec);
        if (!ec && size < kChatLogHeaderSize)
            Problem(exporter::PathText(path) + ": not a chat log: " + std::to_string(size) +
                    " bytes, shorter than the 80-byte header");
        else
            Problem(exporter::PathText(path) + ": cannot open the chat log");
        return false;
    }

    bool PrepareOutput(std::vector<SelectedLog>& selected) {
        if (m_options.output.empty())
            return true;
        fs::path output = fs::u8path(m_options.output);
        std::error_code ec;
        char last = m_options.output.back();
        m_folderMode = fs::is_directory(output, ec) || last == '/' || last == '\\';
        if (m_folderMode) {
            fs::create_directories(output, ec);
            if (!fs::is_directory(output, ec)) {
                Problem(m_options.output + ": cannot create the folder");
                return false;
            }
            m_outputFolder = output;
            std::vector<std::string> taken;
            for (SelectedLog& log : selected)
                log.fileName = exporter::MakeFriendFileName(
                    exporter::PathText(log.source.path.stem()),
                    exporter::FormatExtension(m_options.format), taken);
            return true;
        }
        // The output replaces its file when done: never let that be a log.
        for (const SelectedLog& log : selected) {
            if (fs::equivalent(output, log.source.path, ec)) {
                Problem(m_options.output + ": is one of the chat logs being read");
                return false;
            }
        }
        return true;
    }

    void ExportToOne(const std::vector<SelectedLog>& selected) {
        CAtomicOutputFile file;
        std::FILE* stream = stdout;
        if (!m_options.output.empty()) {
            std::string error;
            if (!file.Create(fs::u8path(m_options.output), error)) {
                Problem(error);
                return;
            }
            stream = file.Stream();
        }
        COutputSink sink(stream);
        auto writer = exporter::MakeExportWriter(m_options.format, m_options.hasGrep,
                                                 m_options.grep, selected.size() != 1, sink);
        writer->BeginDocument();
        for (std::size_t i = 0; i < selected.size(); ++i) {
            ExportLog(selected[i].source, *writer, sink, nullptr, selected.size() != 1);
            m_progress.Update(i + 1, m_messages, i + 1 == selected.size());
        }
        writer->EndDocument();
        sink.Flush();
        if (!m_options.output.empty()) {
            std::string error;
            if (!sink.Ok() || !file.Commit(error))
                Problem(error.empty() ? m_options.output + ": cannot write" : error);
        } else if (!sink.Ok() || std::fflush(stdout) != 0) {
            Problem("cannot write to standard output");
        }
    }

    void ExportToFolder(const std::vector<SelectedLog>& selected) {
        std::vector<ExportIndexEntry> index;
        for (std::size_t i = 0; i < selected.size(); ++i) {
            const SelectedLog& log = selected[i];
            CAtomicOutputFile file;
            std::string error;
            fs::path path = m_outputFolder / fs::u8path(log.fileName);
            if (!file.Create(path, error)) {
                Problem(error);
                continue;
            }
            COutputSink sink(file.Stream());
            auto writer = exporter::MakeExportWriter(m_options.format, m_options.hasGrep,
                                                     m_options.grep, false, sink);
            ExportIndexEntry entry;
            writer->BeginDocument();
            bool read = ExportLog(log.source, *writer, sink, &entry, false);
            writer->EndDocument();
            sink.Flush();
            m_progress.Update(i + 1, m_messages, i + 1 == selected.size());
            // A search leaves out the friends it found nothing with.
            if (!read || (m_options.hasGrep && entry.sent + entry.received == 0))
                continue;
            if (!sink.Ok() || !file.Commit(error)) {
                Problem(error.empty() ? exporter::PathText(path) + ": cannot write" : error);
                continue;
            }
            entry.file = log.fileName;
            index.push_back(entry);
        }
        CAtomicOutputFile file;
        std::string error;
        std::string name = std::string("index.") + exporter::FormatExtension(m_options.format);
        if (!file.Create(m_outputFolder / name, error)) {
            Problem(error);
            return;
        }
        COutputSink sink(file.Stream());
        exporter::WriteExportIndex(m_options.format, index, sink);
        sink.Flush();
        if (!sink.Ok() || !file.Commit(error))
            Problem(error.empty() ? name + ": cannot write" : error);
    }

    // Reports what is odd about a log's header; the log is read all the same,
    // as the viewer reads it.
    void CheckHeader(const CChatLogFile& log, const std::string& name) {
        const ChatLogHeader& header = log.Header();
        std::string issues;
        auto add = [&issues](const std::string& text) {
            issues += (issues.empty() ? "" : "; ") + text;
        };
        if (std::memcmp(header.magic, kChatLogMagic, sizeof kChatLogMagic) != 0 ||
            header.wVersion != kChatLogVersion)
            add("not marked as a chat log (magic or version), read anyway");
        if (log.FriendKey().size() == sizeof header.szFriendKey ||
            log.OwnerName().size() == sizeof header.szOwnerName ||
            log.FriendName().size() == sizeof header.szFriendName)
            add("a header name fills its field without an end, cut at the field's end");
        if (!issues.empty())
            Problem(name + ": " + issues);
    }

    // Streams one log through the writer: the walk in the chosen order, the
    // filters, decoding and the damage report. False if it cannot be opened.
    bool ExportLog(const ExportSource& source, CExportWriter& writer, COutputSink& sink,
                   ExportIndexEntry* entry, bool lazyBegin) {
        CChatLogFile log;
        if (!OpenLog(log, source.path))
            return false;
        // Streamed once: no need to read the whole log in before the walk.
        log.SetPrefault(false);
        std::string name = exporter::PathText(source.path);
        CheckHeader(log, name);
        ExportFriend info;
        info.key = m_decoder.Decode(log.FriendKey());
        info.name = m_decoder.Decode(log.FriendName());
        info.ownerName = m_decoder.Decode(log.OwnerName());
        info.ownerKey = source.ownerKey;
        info.hasOwnerKey = source.hasOwnerKey;
        info.source = name;
        if (entry) {
            entry->key = info.key;
            entry->name = info.name;
        }
        // A search through several logs lists only the friends it found
        // something with.
        bool begun = false;
        auto begin = [&] {
            if (!begun)
                writer.BeginFriend(info);
            begun = true;
        };
        if (!(m_options.hasGrep && lazyBegin))
            begin();

        std::uint64_t records = 0, unterminated = 0, written = 0;
        ChatLogRecordPos first = nullptr, end = nullptr;
        std::string text;
        ExportTime time;
        CExportTimeFormatter timeFormatter(m_options.utc);
        CReadPageReleaser pages;
        auto visit = [&](ChatLogRecordPos record) {
            ++records;
            std::uint16_t length = chatlog::RecordLength(record);
            pages.Touch(record, length);
            if (!first || record < first)
                first = record;
            if (!end || record + length > end)
                end = record + length;
            std::string_view content = chatlog::RecordContent(record);
            if (content.size() == length - kChatLogRecordFixedSize)
                ++unterminated;
            bool sent = chatlog::IsSentRecord(record);
            if (!(m_options.filter & (sent ? kExportFilterSent : kExportFilterReceived)))
                return;
            timeFormatter.Format(chatlog::RecordTime(record), time);
            if (!m_options.fromDate.empty() && (!time.valid || time.date < m_options.fromDate))
                return;
            if (!m_options.toDate.empty() && (!time.valid || time.date > m_options.toDate))
                return;
            text.clear();
            m_decoder.Decode(content, text);
            if (m_options.hasGrep && !exporter::ContainsAsciiFold(text, m_options.grep))
                return;
            begin();
            ExportMessage message;
            message.sent = sent;
            message.sender = sent ? info.ownerName : info.name;
            message.time = &time;
            message.text = text;
            writer.Message(message);
            ++written;
            if (entry)
                ++(sent ? entry->sent : entry->received);
            if ((++m_messages & 0x3FFF) == 0) {
                sink.MaybeFlush();
                m_progress.Update(m_filesDone, m_messages);
            }
        };
        if (m_options.order == ExportOrder::Descending)
            exporter::VisitRecordsReversed(
                [&](auto&& forward) {
                    log.VisitRecords([&](ChatLogRecordPos record) {
                        pages.Touch(record, chatlog::RecordLength(record));
                        forward(record);
                    });
                },
                visit);
        else
            log.VisitRecords(visit);
        if (begun)
            writer.EndFriend();
        ++m_filesDone;
        m_matched += written;

        // The walk stops at a record that cannot be one; whatever follows it
        // is not exported, and the user must know.
        std::uint64_t walked = records ? kChatLogHeaderSize + (end - first) : kChatLogHeaderSize;
        if (walked < log.FileSize())
            Problem(name + ": damaged after " + std::to_string(records) +
                    " messages: " + std::to_string(log.FileSize() - walked) +
                    " bytes from offset " + std::to_string(walked) + " cannot be read as messages");
        if (unterminated)
            Problem(name + ": " + std::to_string(unterminated) +
                    " message(s) without an end mark, cut at the record's end");
        return true;
    }

    const ExportOptions& m_options;
    CProgress m_progress;
    CGbkDecoder m_decoder;
    bool m_folderMode = false;
    fs::path m_outputFolder;
    int m_warnings = 0;
    std::uint64_t m_matched = 0;
    std::uint64_t m_messages = 0;
    std::size_t m_filesDone = 0;
};

int ExportMain(const std::vector<std::string>& args) {
    exporter::PrepareStandardStreams();
    ExportOptions options;
    std::string error;
    if (!exporter::ParseExportArgs(args, options, error)) {
        Warn(error);
        std::fputs(exporter::ExportUsageText(), stderr);
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(exporter::ExportUsageText(), stdout);
        return kExitOk;
    }
    // Large writes: the sink hands over 64 KB pieces.
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    CExportRun run(options);
    return run.Run();
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    return ExportMain(exporter::Utf8Arguments(argc, argv));
}
#else
int main(int argc, char** argv) {
    return ExportMain(exporter::Utf8Arguments(argc, argv));
}
#endif
