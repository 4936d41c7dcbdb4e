// JSON: one document per friend, an array of them for several.
#include "ExportFormats.h"
#include "ExportText.h"

namespace exporter {

namespace {

class CJsonWriter : public CExportWriter {
public:
    CJsonWriter(COutputSink& sink, bool array) : m_sink(sink), m_array(array) {}
    void BeginDocument() override {
        if (m_array)
            m_sink.Text().append("[");
    }
    void BeginFriend(const ExportFriend& log) override {
        std::string& out = m_sink.Text();
        if (m_array)
            out.append(m_friends ? ",\n" : "\n");
        ++m_friends;
        out.append("{\"friendKey\": ");
        AppendJsonString(out, log.key);
        out.append(", \"friend\": ");
        AppendJsonString(out, log.name);
        out.append(", \"ownerName\": ");
        AppendJsonString(out, log.ownerName);
        out.append(", \"ownerKey\": ");
        if (log.hasOwnerKey)
            AppendJsonString(out, log.ownerKey);
        else
            out.append("null");
        out.append(", \"file\": ");
        AppendJsonString(out, log.source);
        out.append(",\n \"messages\": [");
        m_messages = 0;
    }
    void Message(const ExportMessage& m) override {
        std::string& out = m_sink.Text();
        out.append(m_messages++ ? ",\n  " : "\n  ");
        out.append("{\"direction\": \"");
        out.append(DirectionWord(m.sent));
        out.append("\", \"sender\": ");
        AppendJsonString(out, m.sender);
        out.append(", \"time\": ");
        if (m.time->valid)
            AppendJsonString(out, m.time->iso);
        else
            out.append("null");
        out.append(", \"text\": ");
        AppendJsonString(out, m.text);
        out.push_back('}');
        m_sink.MaybeFlush();
    }
    void EndFriend() override { m_sink.Text().append(m_messages ? "\n ]}" : "]}"); }
    void EndDocument() override {
        if (m_array)
            m_sink.Text().append(m_friends ? "\n]\n" : "]\n");
        else
            m_sink.Text().append("\n");
    }

private:
    COutputSink& m_sink;
    bool m_array;
    int m_friends = 0;
    std::uint64_t m_messages = 0;
};

class CJsonPageIndexWriter : public CPageIndexWriter {
public:
    explicit CJsonPageIndexWriter(COutputSink& sink) : m_sink(sink) {}
    void Begin(const ExportFriend& log, std::string_view up) override {
        std::string& out = m_sink.Text();
        out.append("{\"friendKey\": ");
        AppendJsonString(out, log.key);
        out.append(", \"friend\": ");
        AppendJsonString(out, log.name);
        out.append(", \"index\": ");
        AppendJsonString(out, up);
        out.append(",\n \"pages\": [");
    }
    void Page(const ExportPageEntry& e) override {
        std::string& out = m_sink.Text();
        out.append(m_pages++ ? ",\n  {\"file\": " : "\n  {\"file\": ");
        AppendJsonString(out, e.file);
        out.append(", \"part\": ");
        AppendJsonString(out, e.label);
        auto date = [&out](const std::string& text) {
            if (text.empty())
                out.append("null");
            else
                AppendJsonString(out, text);
        };
        out.append(", \"firstDate\": ");
        date(e.firstDate);
        out.append(", \"lastDate\": ");
        date(e.lastDate);
        out.append(", \"sent\": " + std::to_string(e.sent) +
                   ", \"received\": " + std::to_string(e.received) +
                   ", \"messages\": " + std::to_string(e.sent + e.received) + "}");
        m_sink.MaybeFlush();
    }
    void End() override { m_sink.Text().append(m_pages ? "\n ]}\n" : "]}\n"); }

private:
    COutputSink& m_sink;
    std::uint64_t m_pages = 0;
};

} // namespace

std::unique_ptr<CPageIndexWriter> MakeJsonPageIndexWriter(COutputSink& sink) {
    return std::make_unique<CJsonPageIndexWriter>(sink);
}

std::unique_ptr<CExportWriter> MakeJsonWriter(COutputSink& sink, const ExportWriterChoice& choice) {
    return std::make_unique<CJsonWriter>(sink, choice.several);
}

void WriteJsonIndex(const std::vector<ExportIndexEntry>& entries, COutputSink& sink,
                    const ExportWriterChoice&) {
    std::string& out = sink.Text();
    out.append("[");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ExportIndexEntry& e = entries[i];
        out.append(i ? ",\n {\"file\": " : "\n {\"file\": ");
        AppendJsonString(out, e.file);
        out.append(", \"friendKey\": ");
        AppendJsonString(out, e.key);
        out.append(", \"friend\": ");
        AppendJsonString(out, e.name);
        out.append(", \"sent\": " + std::to_string(e.sent) +
                   ", \"received\": " + std::to_string(e.received) +
                   ", \"messages\": " + std::to_string(e.sent + e.received) + "}");
    }
    out.append(entries.empty() ? "]\n" : "\n]\n");
}

} // namespace exporter
