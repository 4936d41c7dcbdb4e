#include "ExportWriters.h"

#include "TextDecode.h"

#include <algorithm>

void COutputSink::Flush() {
    if (!m_stream || m_text.empty())
        return;
    if (std::fwrite(m_text.data(), 1, m_text.size(), m_stream) != m_text.size())
        m_ok = false;
    m_text.clear();
}

namespace exporter {

namespace {

// Labels that the viewer itself uses for the two kinds of message.
constexpr const char* kSentLabel = "\xe5\x8f\x91\xe5\x87\xba\xe4\xbf\xa1\xe6\x81\xaf"; // 发出信息
constexpr const char* kReceivedLabel =
    "\xe6\x94\xb6\xe5\x88\xb0\xe4\xbf\xa1\xe6\x81\xaf"; // 收到信息
constexpr const char* kAllLabel = "\xe6\x89\x80\xe6\x9c\x89\xe4\xbf\xa1\xe6\x81\xaf"; // 所有信息
constexpr const char* kFriendListLabel =
    "\xe5\xa5\xbd\xe5\x8f\x8b\xe5\x88\x97\xe8\xa1\xa8"; // 好友列表

const char* DirectionWord(bool sent) {
    return sent ? "sent" : "received";
}

// The friend as the viewer's tree labels it: "%s(%s)".
void AppendFriendLabel(std::string& out, const ExportFriend& log) {
    AppendPlainText(out, log.name);
    out.push_back('(');
    AppendPlainText(out, log.key);
    out.push_back(')');
}

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

std::unique_ptr<CExportWriter> MakeExportWriter(ExportFormat format, bool grep,
                                                std::string_view needle, bool several,
                                                COutputSink& sink) {
    switch (format) {
    case ExportFormat::Csv:
        return std::make_unique<CCsvWriter>(sink);
    case ExportFormat::Json:
        return std::make_unique<CJsonWriter>(sink, several);
    case ExportFormat::Html:
        return std::make_unique<CHtmlWriter>(sink, several);
    case ExportFormat::Txt:
        break;
    }
    if (grep)
        return std::make_unique<CGrepListWriter>(sink, needle);
    return std::make_unique<CTxtWriter>(sink);
}

void WriteExportIndex(ExportFormat format, const std::vector<ExportIndexEntry>& entries,
                      COutputSink& sink) {
    std::string& out = sink.Text();
    switch (format) {
    case ExportFormat::Html:
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
            out.append(")</a></td><td class=\"n\">" + std::to_string(e.sent) +
                       "</td><td class=\"n\">" + std::to_string(e.received) +
                       "</td><td class=\"n\">" + std::to_string(e.sent + e.received) +
                       "</td></tr>\n");
        }
        out.append("</table>\n</body>\n</html>\n");
        break;
    case ExportFormat::Csv:
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
        break;
    case ExportFormat::Json:
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
        break;
    case ExportFormat::Txt:
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
        break;
    }
}

std::string MakeFriendFileName(std::string_view stem, const char* extension,
                               std::vector<std::string>& taken) {
    std::string base;
    for (char c : stem) {
        bool keep = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                    c == '_' || c == '-';
        base.push_back(keep ? c : '_');
    }
    if (base.empty())
        base = "log";
    auto lower = [](std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    // "index" is the index's own name.
    if (lower(base) == "index")
        base += "_";
    std::string name = base + "." + extension;
    for (int n = 2; std::find(taken.begin(), taken.end(), lower(name)) != taken.end(); ++n)
        name = base + "-" + std::to_string(n) + "." + extension;
    taken.push_back(lower(name));
    return name;
}

} // namespace exporter
