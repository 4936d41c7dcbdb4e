// The transcript: one block per friend, a line per message.
#include "ExportFormats.h"
#include "ExportText.h"

namespace exporter {

namespace {

class CTxtWriter : public CExportWriter {
public:
    explicit CTxtWriter(COutputSink& sink) : m_sink(sink) {}
    void BeginFriend(const ExportFriend& log) override {
        std::string& out = m_sink.Text();
        if (m_friends++)
            out.push_back('\n');
        out.append("== ");
        AppendFriendLabel(out, log);
        out.append(" ==\n");
    }
    void Message(const ExportMessage& m) override {
        std::string& out = m_sink.Text();
        out.append(m.time->valid ? m.time->date : std::string(10, ' '));
        out.push_back(' ');
        out.append(m.time->valid ? m.time->time : std::string(8, ' '));
        out.append("  ");
        AppendPlainText(out, m.sender);
        out.append(": ");
        bool first = true;
        // Further lines of a message stand indented under its first.
        ForEachLine(m.text, [&](std::string_view line) {
            if (!first)
                out.append("\n                     ");
            first = false;
            AppendPlainText(out, line);
        });
        out.push_back('\n');
        m_sink.MaybeFlush();
    }

private:
    COutputSink& m_sink;
    int m_friends = 0;
};

class CTxtPageIndexWriter : public CPageIndexWriter {
public:
    explicit CTxtPageIndexWriter(COutputSink& sink) : m_sink(sink) {}
    void Begin(const ExportFriend& log, std::string_view) override {
        std::string& out = m_sink.Text();
        out.append("== ");
        AppendFriendLabel(out, log);
        out.append(" ==\n");
    }
    void Page(const ExportPageEntry& e) override {
        std::string& out = m_sink.Text();
        AppendPlainText(out, e.file);
        out.append("  ");
        AppendPlainText(out, e.label);
        out.append("  " + e.firstDate + " .. " + e.lastDate + "  " +
                   std::to_string(e.sent + e.received) + " (" + kSentLabel + " " +
                   std::to_string(e.sent) + ", " + kReceivedLabel + " " +
                   std::to_string(e.received) + ")\n");
        m_sink.MaybeFlush();
    }
    void End() override {}

private:
    COutputSink& m_sink;
};

} // namespace

std::unique_ptr<CPageIndexWriter> MakeTxtPageIndexWriter(COutputSink& sink) {
    return std::make_unique<CTxtPageIndexWriter>(sink);
}

std::unique_ptr<CExportWriter> MakeTxtWriter(COutputSink& sink, const ExportWriterChoice& choice) {
    if (choice.grep)
        return MakeGrepListWriter(sink, choice.needle);
    return std::make_unique<CTxtWriter>(sink);
}

void WriteTxtIndex(const std::vector<ExportIndexEntry>& entries, COutputSink& sink,
                   const ExportWriterChoice&) {
    std::string& out = sink.Text();
    for (const ExportIndexEntry& e : entries) {
        AppendPlainText(out, e.file);
        out.append("  ");
        AppendPlainText(out, e.name);
        out.push_back('(');
        AppendPlainText(out, e.key);
        out.append(")  " + std::to_string(e.sent + e.received) + " (" + kSentLabel + " " +
                   std::to_string(e.sent) + ", " + kReceivedLabel + " " +
                   std::to_string(e.received) + ")\n");
    }
}

} // namespace exporter
