// HTML: a self-contained page, no script and no request to anywhere.
#include "ExportFormats.h"
#include "ExportText.h"

namespace exporter {

namespace {

// Shared by the friend pages and the index: no script, no request to any
// other address (the policy forbids both even if a text got through).
void AppendHtmlHead(std::string& out, std::string_view title) {
    out.append("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
               "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
               "style-src 'unsafe-inline'\">\n<title>");
    AppendHtmlText(out, title);
    out.append("</title>\n<style>\n"
               "body{font-family:\"Microsoft YaHei\",\"WenQuanYi Micro Hei\",\"SimSun\",sans-serif;"
               "margin:0 auto;max-width:46em;padding:1em;background:#eef0f3;color:#222}\n"
               "h1{font-size:1.3em;margin:.2em 0}\n"
               ".owner{color:#555;margin-bottom:1em}\n"
               ".log{display:flex;flex-direction:column}\n"
               ".day{align-self:stretch;text-align:center;color:#666;font-size:.85em;"
               "margin:1em 0 .4em;border-bottom:1px solid #c8ccd2}\n"
               ".msg{max-width:75%;margin:.25em 0;padding:.35em .7em;border-radius:.6em;"
               "break-inside:avoid}\n"
               ".sent{align-self:flex-end;background:#c9eab4}\n"
               ".received{align-self:flex-start;background:#fff;border:1px solid #d5d8dc}\n"
               ".meta{font-size:.78em;color:#666}\n"
               ".text{white-space:pre-wrap;overflow-wrap:anywhere}\n"
               "table{border-collapse:collapse;background:#fff}\n"
               "td,th{border:1px solid #ccc;padding:.3em .8em;text-align:left}\n"
               "td.n{text-align:right}\n"
               "section+section{margin-top:2.5em}\n"
               "@media print{body{background:#fff;max-width:none}"
               ".msg{border:1px solid #999}.sent{background:#eee}}\n"
               "</style>\n</head>\n<body>\n");
}

class CHtmlWriter : public CExportWriter {
public:
    CHtmlWriter(COutputSink& sink, bool several) : m_sink(sink), m_several(several) {}
    void BeginFriend(const ExportFriend& log) override {
        std::string& out = m_sink.Text();
        if (!m_begun) {
            m_begun = true;
            std::string title = m_several ? "chatlog-export" : log.name + "(" + log.key + ")";
            AppendHtmlHead(out, title);
        }
        out.append("<section>\n<h1>");
        AppendHtmlText(out, log.name);
        out.append("(");
        AppendHtmlText(out, log.key);
        out.append(")</h1>\n<div class=\"owner\">");
        AppendHtmlText(out, log.ownerName);
        if (log.hasOwnerKey) {
            out.append("(");
            AppendHtmlText(out, log.ownerKey);
            out.append(")");
        }
        out.append("</div>\n<div class=\"log\">\n");
        m_lastDate.clear();
    }
    void Message(const ExportMessage& m) override {
        std::string& out = m_sink.Text();
        if (m.time->valid && m.time->date != m_lastDate) {
            m_lastDate = m.time->date;
            out.append("<div class=\"day\">");
            out.append(m_lastDate);
            out.append("</div>\n");
        }
        out.append(m.sent ? "<div class=\"msg sent\">" : "<div class=\"msg received\">");
        out.append("<div class=\"meta\">");
        AppendHtmlText(out, m.sender);
        if (m.time->valid) {
            out.append(" <time datetime=\"");
            out.append(m.time->iso);
            out.append("\">");
            out.append(m.time->time);
            out.append("</time>");
        }
        out.append("</div><div class=\"text\">");
        AppendHtmlText(out, m.text);
        out.append("</div></div>\n");
        m_sink.MaybeFlush();
    }
    void EndFriend() override { m_sink.Text().append("</div>\n</section>\n"); }
    void EndDocument() override {
        if (!m_begun)
            AppendHtmlHead(m_sink.Text(), "chatlog-export");
        m_sink.Text().append("</body>\n</html>\n");
    }

private:
    COutputSink& m_sink;
    bool m_several;
    bool m_begun = false;
    std::string m_lastDate;
};

} // namespace

std::unique_ptr<CExportWriter> MakeHtmlWriter(COutputSink& sink, bool several) {
    return std::make_unique<CHtmlWriter>(sink, several);
}

void WriteHtmlIndex(const std::vector<ExportIndexEntry>& entries, COutputSink& sink) {
    std::string& out = sink.Text();
    AppendHtmlHead(out, kFriendListLabel);
    out.append("<h1>");
    out.append(kFriendListLabel);
    out.append("</h1>\n<table>\n<tr><th></th><th>");
    out.append(kSentLabel);
    out.append("</th><th>");
    out.append(kReceivedLabel);
    out.append("</th><th>");
    out.append(kAllLabel);
    out.append("</th></tr>\n");
    for (const ExportIndexEntry& e : entries) {
        out.append("<tr><td><a href=\"");
        AppendHtmlText(out, e.file);
        out.append("\">");
        AppendHtmlText(out, e.name);
        out.append("(");
        AppendHtmlText(out, e.key);
        out.append(")</a></td><td class=\"n\">" + std::to_string(e.sent) + "</td><td class=\"n\">" +
                   std::to_string(e.received) + "</td><td class=\"n\">" +
                   std::to_string(e.sent + e.received) + "</td></tr>\n");
    }
    out.append("</table>\n</body>\n</html>\n");
}

} // namespace exporter
