// CSV: RFC 4180, CRLF rows, one row per message.
#include "ExportFormats.h"
#include "ExportText.h"

namespace exporter {

namespace {

class CCsvWriter : public CExportWriter {
public:
    explicit CCsvWriter(COutputSink& sink) : m_sink(sink) {}
    void BeginDocument() override {
        m_sink.Text().append("friend key,friend,sender,direction,date,time,text\r\n");
    }
    void BeginFriend(const ExportFriend& log) override {
        // The two friend columns are the same for every row: quote them once.
        m_prefix.clear();
        AppendCsvField(m_prefix, log.key);
        m_prefix.push_back(',');
        AppendCsvField(m_prefix, log.name);
        m_prefix.push_back(',');
    }
    void Message(const ExportMessage& m) override {
        std::string& out = m_sink.Text();
        out.append(m_prefix);
        AppendCsvField(out, m.sender);
        out.push_back(',');
        out.append(DirectionWord(m.sent));
        out.push_back(',');
        out.append(m.time->date);
        out.push_back(',');
        out.append(m.time->time);
        out.push_back(',');
        AppendCsvField(out, m.text);
        out.append("\r\n");
        m_sink.MaybeFlush();
    }

private:
    COutputSink& m_sink;
    std::string m_prefix;
};

class CCsvPageIndexWriter : public CPageIndexWriter {
public:
    explicit CCsvPageIndexWriter(COutputSink& sink) : m_sink(sink) {}
    void Begin(const ExportFriend&, std::string_view) override {
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

std::unique_ptr<CExportWriter> MakeCsvWriter(COutputSink& sink) {
    return std::make_unique<CCsvWriter>(sink);
}

void WriteCsvIndex(const std::vector<ExportIndexEntry>& entries, COutputSink& sink) {
    std::string& out = sink.Text();
    out.append("file,friend key,friend,sent,received,messages\r\n");
    for (const ExportIndexEntry& e : entries) {
        AppendCsvField(out, e.file);
        out.push_back(',');
        AppendCsvField(out, e.key);
        out.push_back(',');
        AppendCsvField(out, e.name);
        out.append("," + std::to_string(e.sent) + "," + std::to_string(e.received) + "," +
                   std::to_string(e.sent + e.received) + "\r\n");
    }
}

} // namespace exporter
