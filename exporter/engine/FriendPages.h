// One friend's messages in folder mode, split: a folder of pages, each a
// whole document of the format, and the friend's own index listing them,
// written as the messages stream by. One page is open at a time and nothing
// is kept per page or per message.
#pragma once

#include "AtomicOutputFile.h"
#include "ExportOptions.h"
#include "ExportWriters.h"
#include "PendingOutputs.h"
#include "SplitPlan.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

// Takes the place of a friend's single writer: the walk hands it the friend
// and the messages as to any writer, and it opens, links and closes pages.
// Problems (a file that cannot be written) go to `problem`; the walk goes on.
class CFriendPages : public CExportWriter {
public:
    using ProblemReport = std::function<void(const std::string&)>;
    // Whole pages and the index go to `outputs`, to be put in place when the
    // export is done.
    CFriendPages(const ExportOptions& options, ExportSplit split, std::filesystem::path folder,
                 CPendingOutputs& outputs, ProblemReport problem);
    ~CFriendPages() override;

    // Fixes how pages are named; before the first message.
    void SetNaming(const PageNaming& naming) { m_naming = naming; }

    void BeginFriend(const ExportFriend& log) override;
    void Message(const ExportMessage& message) override;
    void EndFriend() override;

    // Writes the friend's index (`keep`), or leaves nothing behind (a search
    // that found nothing with the friend). False if the index could not be
    // written.
    bool Finish(bool keep);

private:
    struct Page;
    void OpenPage(const std::string& name, const std::string& label);
    void ClosePage(const std::string& next);

    const ExportOptions& m_options;
    ExportSplit m_split;
    std::filesystem::path m_folder;
    CPendingOutputs& m_outputs;
    ProblemReport m_problem;
    std::string m_extension;
    PageNaming m_naming;
    CPageSplitter m_splitter;
    ExportFriend m_friend;
    ExportPageLinks m_links;
    std::uint64_t m_number = 0;
    std::unique_ptr<Page> m_page;
    bool m_begun = false;
    CAtomicOutputFile m_indexFile;
    std::unique_ptr<COutputSink> m_indexSink;
    std::unique_ptr<CPageIndexWriter> m_index;
};
