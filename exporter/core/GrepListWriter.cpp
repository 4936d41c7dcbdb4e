// --grep's search list: one line per matching line of a message.
#include "ExportFormats.h"
#include "ExportText.h"
#include "TextDecode.h"

namespace exporter {

namespace {

// --grep's search list: one line per matching line of a message, with the
// friend, date, time and sender in front, as grep prints file and line.
class CGrepListWriter : public CExportWriter {
public:
    CGrepListWriter(COutputSink& sink, std::string_view needle) : m_sink(sink), m_needle(needle) {}
    void BeginFriend(const ExportFriend& log) override {
        m_label.clear();
        AppendFriendLabel(m_label, log);
    }
    void Message(const ExportMessage& m) override {
        bool any = false;
        ForEachLine(m.text, [&](std::string_view line) {
            if (ContainsAsciiFold(line, m_needle)) {
                WriteLine(m, line);
                any = true;
            }
        });
        // The match runs across a line break: show the message on one line.
        if (!any) {
            std::string joined;
            ForEachLine(m.text, [&](std::string_view line) {
                if (!joined.empty())
                    joined.push_back(' ');
                joined.append(line);
            });
            WriteLine(m, joined);
        }
        m_sink.MaybeFlush();
    }

private:
    void WriteLine(const ExportMessage& m, std::string_view line) {
        std::string& out = m_sink.Text();
        out.append(m_label);
        out.append("  ");
        out.append(m.time->date);
        out.push_back(' ');
        out.append(m.time->time);
        out.append("  ");
        AppendPlainText(out, m.sender);
        out.append(": ");
        AppendPlainText(out, line);
        out.push_back('\n');
    }
    COutputSink& m_sink;
    std::string m_needle;
    std::string m_label;
};

} // namespace

std::unique_ptr<CExportWriter> MakeGrepListWriter(COutputSink& sink, std::string_view needle) {
    return std::make_unique<CGrepListWriter>(sink, needle);
}

} // namespace exporter
