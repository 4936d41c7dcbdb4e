// CSV: RFC 4180, CRLF rows, one row per message. UTF-8 with a byte-order
// mark: without it the spreadsheet most users open it in reads it in the
// system's ANSI code page (936) and garbles every Chinese character.
#include "ExportFormats.h"
#include "ExportText.h"

namespace exporter {

namespace {

constexpr const char* kUtf8Bom = "\xef\xbb\xbf";

class CCsvWriter : public CExportWriter {
public:
    CCsvWriter(COutputSink& sink, bool raw) : m_sink(sink), m_raw(raw) {}
    void BeginDocument() override {
        m_sink.Text().append(kUtf8Bom);
        m_sink.Text().append("friend key,friend,sender,direction,date,time,text\r\n");
    }
    void BeginFriend(const ExportFriend& log) override {
        // The two friend columns are the same for every row: quote them once.
        m_prefix.clear();
        AppendCsvTextField(m_prefix, log.key, m_raw);
        m_prefix.push_back(',');
        AppendCsvTextField(m_prefix, log.name, m_raw);
        m_prefix.push_back(',');
    }
    void Message(const ExportMessage& m) override {
        std::string& out = m_sink.Text();
        out.append(m_prefix);
        AppendCsvTextField(out, m.sender, m_raw);
        out.push_back(',');
        out.append(DirectionWord(m.sent));
        out.push_back(',');
        out.append(m.time->date);
        out.push_back(',');
        out.append(m.time->time);
        out.push_back(',');
        AppendCsvTextField(out, m.text, m_raw);
        out.append("\r\n");
        m_sink.MaybeFlush();
    }

private:
    COutputSink& m_sink;
    bool m_raw;
    std::string m_prefix;
};

class CCsvPageIndexWriter : public CPageIndexWriter {
public:
    explicit CCsvPageIndexWriter(COutputSink& sink) : m_sink(sink) {}
    void Begin(const ExportFriend&, std::string_view) override {
        m_sink.Text().append(kUtf8Bom);
        m_sink.Text().append("file,part,first date,last date,sent,received,messages\r\n");
    }
    void Page(const ExportPageEntry& e) override {
        std::string& out = m_sink.Text();
        AppendCsvField(out, e.file);
        out.push_back(',');
        AppendCsvField(out, e.label);
        out.append("," + e.firstDate + "," + e.lastDate + "," + std::to_string(e.sent) + "," +
                   std::to_string(e.received) + "," + std::to_string(e.sent + e.received) + "\r\n");
        m_sink.MaybeFlush();
    }
    void End() override {}

private:
    COutputSink& m_sink;
};

} // namespace

std::unique_ptr<CPageIndexWriter> MakeCsvPageIndexWriter(COutputSink& sink) {
    return std::make_unique<CCsvPageIndexWriter>(sink);
}

std::unique_ptr<CExportWriter> MakeCsvWriter(COutputSink& sink, const ExportWriterChoice& choice) {
    return std::make_unique<CCsvWriter>(sink, choice.csvRaw);
}

void WriteCsvIndex(const std::vector<ExportIndexEntry>& entries, COutputSink& sink,
                   const ExportWriterChoice& choice) {
    const bool raw = choice.csvRaw;
    std::string& out = sink.Text();
    out.append(kUtf8Bom);
    out.append("file,friend key,friend,sent,received,messages\r\n");
    for (const ExportIndexEntry& e : entries) {
        AppendCsvTextField(out, e.file, raw);
        out.push_back(',');
        AppendCsvTextField(out, e.key, raw);
        out.push_back(',');
        AppendCsvTextField(out, e.name, raw);
        out.append("," + std::to_string(e.sent) + "," + std::to_string(e.received) + "," +
                   std::to_string(e.sent + e.received) + "\r\n");
    }
}

} // namespace exporter
