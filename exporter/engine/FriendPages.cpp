#include "FriendPages.h"

#include "ExportFormatTable.h"
#include "ExportInputs.h"
#include "InputChecks.h"

#include <system_error>

namespace fs = std::filesystem;

struct CFriendPages::Page {
    fs::path path;
    CAtomicOutputFile file;
    std::unique_ptr<COutputSink> sink;
    std::unique_ptr<CExportWriter> writer; // null when the file could not be made
    ExportPageEntry entry;
};

CFriendPages::CFriendPages(const ExportOptions& options, ExportSplit split, fs::path folder,
                           CPendingOutputs& outputs, ProblemReport problem)
    : m_options(options), m_split(split), m_folder(std::move(folder)), m_outputs(outputs),
      m_problem(std::move(problem)), m_extension(exporter::FormatExtension(options.format)),
      m_naming(exporter::ChoosePageNaming(split, 0, false)), m_splitter(split, options.splitCount) {
}

CFriendPages::~CFriendPages() = default;

void CFriendPages::BeginFriend(const ExportFriend& log) {
    m_begun = true;
    m_friend = log;
    m_links.index = "index." + m_extension;
    m_outputs.MakeFolder(m_folder);
    std::string error;
    if (exporter::IsRefusedLink(m_folder / m_links.index, error) ||
        !m_indexFile.Create(m_folder / m_links.index, error)) {
        m_problem(error);
        return;
    }
    m_indexSink = std::make_unique<COutputSink>(m_indexFile.Stream());
    m_index = exporter::FormatRow(m_options.format).makePageIndex(*m_indexSink);
    m_index->Begin(m_friend, "../index." + m_extension);
}

void CFriendPages::Message(const ExportMessage& message) {
    const ExportTime& time = *message.time;
    if (m_splitter.Next(time.valid ? std::string_view(time.date) : std::string_view())) {
        ++m_number;
        std::string name =
            exporter::PageStem(m_naming, m_number, m_splitter.Key()) + "." + m_extension;
        if (m_page)
            ClosePage(name);
        OpenPage(name, exporter::PageLabel(m_split, m_number, m_splitter.Key()));
    }
    ExportPageEntry& entry = m_page->entry;
    ++(message.sent ? entry.sent : entry.received);
    if (time.valid) {
        if (entry.firstDate.empty())
            entry.firstDate = time.date;
        entry.lastDate = time.date;
    }
    if (m_page->writer)
        m_page->writer->Message(message);
}

void CFriendPages::EndFriend() {
    if (m_page)
        ClosePage(std::string());
}

void CFriendPages::OpenPage(const std::string& name, const std::string& label) {
    m_page = std::make_unique<Page>();
    m_page->path = m_folder / fs::u8path(name);
    m_page->entry.file = name;
    m_page->entry.label = label;
    m_links.label = label;
    m_links.next.clear();
    m_links.nameSize = name.size();
    std::string error;
    if (exporter::IsRefusedLink(m_page->path, error) || !m_page->file.Create(m_page->path, error)) {
        m_problem(error);
        return;
    }
    m_page->sink = std::make_unique<COutputSink>(m_page->file.Stream());
    ExportWriterChoice choice;
    choice.csvRaw = m_options.csvRaw;
    choice.grep = m_options.hasGrep;
    choice.needle = m_options.grep;
    m_page->writer = exporter::FormatRow(m_options.format).makeWriter(*m_page->sink, choice);
    m_page->writer->BeginDocument();
    m_page->writer->SetPageLinks(m_links);
    m_page->writer->BeginFriend(m_friend);
}

void CFriendPages::ClosePage(const std::string& next) {
    std::unique_ptr<Page> page = std::move(m_page);
    m_links.next = next;
    if (page->writer) {
        page->writer->SetPageLinks(m_links);
        page->writer->EndFriend(); // its links below the messages, the one above filled in
    }
    m_links.previous = page->entry.file;
    if (!page->writer)
        return;
    page->writer->EndDocument();
    page->sink->Flush();
    std::string error;
    if (!m_outputs.Add(page->file, *page->sink, page->entry.sent + page->entry.received, error)) {
        m_problem(error);
        return;
    }
    if (m_index)
        m_index->Page(page->entry);
}

bool CFriendPages::Finish(bool keep) {
    if (!m_begun)
        return false;
    if (!keep || !m_index) {
        m_indexFile.Discard();
        std::error_code ec;
        fs::remove(m_folder, ec); // only if empty: earlier pages stay
        return false;
    }
    m_index->End();
    m_indexSink->Flush();
    std::string error;
    if (!m_outputs.Add(m_indexFile, *m_indexSink, 0, error)) {
        m_problem(error);
        return false;
    }
    return true;
}
