// One run of chatlog-export, from parsed options to the exit code: pick the
// logs, prepare the output, stream each log through its writer, report what
// was damaged. Reads like the viewer (same folder layout, name rule and
// record walk) and streams: one log is mapped at a time and nothing is kept
// per message.
#pragma once

#include "ChatLogFile.h"
#include "ChatLogSearch.h"
#include "ExportInputs.h"
#include "ExportLogWalk.h"
#include "ExportOptions.h"
#include "ExportProgress.h"
#include "ExportWriters.h"
#include "SplitPlan.h"
#include "TextDecode.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CFriendPages;

class CExportRun {
public:
    explicit CExportRun(const ExportOptions& options) : m_options(options), m_progress(false, 0) {}

    int Run();

private:
    struct SelectedLog {
        ExportSource source;
        std::string fileName; // in folder mode
    };

    void Problem(const std::string& text);
    ExportWriterChoice WriterChoice() const;
    std::vector<SelectedLog> SelectLogs(const std::vector<ExportSource>& sources);
    bool CollectInputs(std::vector<ExportSource>& sources);
    // `consequence` ends the message when the log cannot be opened.
    bool OpenLog(CChatLogFile& log, const std::filesystem::path& path,
                 const char* consequence = "");
    bool PrepareOutput(std::vector<SelectedLog>& selected);
    bool OverwritesAnInput(const std::filesystem::path& folder,
                           const std::vector<SelectedLog>& selected);
    void ExportToOne(const std::vector<SelectedLog>& selected);
    void ExportToFolder(const std::vector<SelectedLog>& selected);
    bool ExportFriendPages(const SelectedLog& log, ExportIndexEntry& entry);
    PageNaming SurveyPages(CChatLogFile& log);
    void WriteIndex(const std::vector<ExportIndexEntry>& index);
    void CheckHeader(const CChatLogFile& log, const std::string& name);
    bool ExportLog(const ExportSource& source, CExportWriter& writer, COutputSink& sink,
                   ExportIndexEntry* entry, bool lazyBegin);
    void VisitRecord(ExportLogWalk& walk, ChatLogRecordPos record, std::uint16_t length);
    void ReportDamage(const ExportLogWalk& walk, const CChatLogFile& log);

    const ExportOptions& m_options;
    CExportProgress m_progress;
    CGbkDecoder m_decoder;
    // --grep on the logs' bytes (the search core), where that finds exactly
    // what matching the decoded text would; else m_byteGrep is false and
    // each decoded text is matched.
    chatlog::CTextSearch m_search;
    bool m_byteGrep = false;
    bool m_folderMode = false;
    ExportSplit m_split = ExportSplit::None;
    // The pages the log being walked goes to, when split.
    CFriendPages* m_pages = nullptr;
    std::filesystem::path m_outputFolder;
    int m_warnings = 0;
    std::uint64_t m_matched = 0;
    std::uint64_t m_messages = 0;
    std::size_t m_filesDone = 0;
};
