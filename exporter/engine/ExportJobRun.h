// The work of one export (RunExportJob): pick the logs, prepare the output,
// count, stream each log through its writer, report what was damaged, and
// put the files in place at the end. Reads like the viewer (same folder
// layout, name rule and record walk) and streams: one log is mapped at a
// time and nothing is kept per message.
#pragma once

#include "ChatLogFile.h"
#include "ChatLogSearch.h"
#include "ExportInputs.h"
#include "ExportJob.h"
#include "ExportLogWalk.h"
#include "ExportWriters.h"
#include "PendingOutputs.h"
#include "SplitPlan.h"
#include "TextDecode.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CFriendPages;

class CExportJob {
public:
    CExportJob(const ExportJobSettings& settings, const ExportJobCallbacks& callbacks);
    ExportJobResult Run();
    ExportJobResult List(std::vector<ExportFriendSummary>& friends);

private:
    struct SelectedLog {
        ExportSource source;
        std::string fileName; // in folder mode
        bool refused = false; // its file or folder there is a link
    };

    void Problem(const std::string& text);
    void Damaged(const std::string& path, const std::string& what);
    // A file that this export does not write.
    void FileFailed(const std::string& text);
    // Tells the progress callback; false once the export is cancelled.
    bool Report();
    ExportWriterChoice WriterChoice() const;
    std::vector<SelectedLog> SelectLogs(const std::vector<ExportSource>& sources);
    // The sources that --friend's value names, by key, else by nickname.
    std::vector<std::size_t> FindFriend(const std::string& value,
                                        const std::vector<ExportFriendSummary>& known);
    bool CollectInputs(std::vector<ExportSource>& sources);
    // `consequence` ends the message when the log cannot be opened.
    bool OpenLog(CChatLogFile& log, const std::filesystem::path& path,
                 const char* consequence = "");
    bool PrepareOutput(std::vector<SelectedLog>& selected);
    bool OverwritesAnInput(const std::filesystem::path& folder,
                           const std::vector<SelectedLog>& selected);
    void CountMessages(const std::vector<SelectedLog>& selected);
    void ExportToOne(const std::vector<SelectedLog>& selected);
    void ExportToFolder(const std::vector<SelectedLog>& selected);
    bool ExportFriendFile(const SelectedLog& log, ExportIndexEntry& entry);
    bool ExportFriendPages(const SelectedLog& log, ExportIndexEntry& entry);
    void WriteIndex(const std::vector<ExportIndexEntry>& index);
    void Finish();
    void RemoveStalePages();

    // The walk of one log (ExportJobWalk.cpp).
    PageNaming SurveyPages(CChatLogFile& log);
    std::uint64_t CountSelected(CChatLogFile& log);
    void CheckHeader(const CChatLogFile& log, const std::string& name);
    bool ExportLog(const ExportSource& source, CExportWriter& writer, COutputSink& sink,
                   ExportIndexEntry* entry, bool lazyBegin);
    void VisitRecord(ExportLogWalk& walk, chatlog::ChatLogRecordPos record, std::uint16_t length);
    void ReportDamage(const ExportLogWalk& walk, const CChatLogFile& log, bool shrunk,
                      const std::filesystem::path& path);

    const ExportOptions& m_options;
    const ExportJobSettings& m_settings;
    const ExportJobCallbacks& m_callbacks;
    ExportJobResult m_result;
    ExportJobProgress m_progress;
    CPendingOutputs m_outputs;
    CGbkDecoder m_decoder;
    // --grep on the logs' bytes (the search core), where that finds exactly
    // what matching the decoded text would; else m_byteGrep is false and
    // each decoded text is matched.
    chatlog::CTextSearch m_search;
    bool m_byteGrep = false;
    bool m_cancelled = false;
    ExportSplit m_split = ExportSplit::None;
    // The pages the log being walked goes to, when split.
    CFriendPages* m_pages = nullptr;
    std::filesystem::path m_outputFolder;
    std::vector<std::filesystem::path> m_pageFolders; // friends' folders written
    std::uint64_t m_matched = 0;
};
