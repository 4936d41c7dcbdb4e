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
               // A day's messages are laid out only when they come near the
               // window: a month of a busy friend opens at once.
               ".dayset{display:flex;flex-direction:column;content-visibility:auto;"
               "contain-intrinsic-size:auto 30em}\n"
               "nav{margin:.6em 0;color:#888}\n"
               "nav a,nav span{margin-right:1.2em}\n"
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
               ".msg{border:1px solid #999}.sent{background:#eee}"
               ".dayset{content-visibility:visible}nav{display:none}}\n"
               "</style>\n</head>\n<body>\n");
}

// The links between a friend's pages: the one before, the friend's index,
// the one after.
constexpr const char* kPreviousLabel = "\xe4\xb8\x8a\xe4\xb8\x80\xe9\xa1\xb5"; // 上一页
constexpr const char* kNextLabel = "\xe4\xb8\x8b\xe4\xb8\x80\xe9\xa1\xb5";     // 下一页
constexpr const char* kContentsLabel = "\xe7\x9b\xae\xe5\xbd\x95";             // 目录
constexpr const char* kFirstDateLabel =
    "\xe9\xa6\x96\xe6\x9d\xa1\xe6\x97\xa5\xe6\x9c\x9f"; // 首条日期
constexpr const char* kLastDateLabel =
    "\xe6\x9c\xab\xe6\x9d\xa1\xe6\x97\xa5\xe6\x9c\x9f"; // 末条日期

void AppendPageLink(std::string& out, const std::string& file, const char* label) {
    if (file.empty()) {
        out.append("<span>");
        out.append(label);
        out.append("</span>");
        return;
    }
    out.append("<a href=\"");
    AppendHtmlText(out, file);
    out.append("\">");
    out.append(label);
    out.append("</a>");
}

// The link to the next page, padded with spaces to `size` bytes, the room
// kept for it above the messages; empty if it does not fit.
std::string NextLinkSlot(const std::string& next, std::size_t size) {
    std::string slot;
    AppendPageLink(slot, next, kNextLabel);
    if (slot.size() > size)
        return std::string();
    slot.resize(size, ' ');
    return slot;
}

// `label`: the page's month or number, when the friend has pages.
void AppendFriendHeading(std::string& out, const ExportFriend& log, const std::string& label) {
    out.append("<h1>");
    AppendHtmlText(out, log.name);
    out.append("(");
    AppendHtmlText(out, log.key);
    out.append(")");
    if (!label.empty()) {
        out.append(" ");
        AppendHtmlText(out, label);
    }
    out.append("</h1>\n<div class=\"owner\">");
    AppendHtmlText(out, log.ownerName);
    if (log.hasOwnerKey) {
        out.append("(");
        AppendHtmlText(out, log.ownerKey);
        out.append(")");
    }
    out.append("</div>\n");
}

class CHtmlWriter : public CExportWriter {
public:
    CHtmlWriter(COutputSink& sink, bool several) : m_sink(sink), m_several(several) {}
    void SetPageLinks(const ExportPageLinks& links) override {
        m_paged = true;
        m_links = links;
    }
    void BeginFriend(const ExportFriend& log) override {
        std::string& out = m_sink.Text();
        const ExportPageLinks* page = m_paged ? &m_links : nullptr;
        if (!m_begun) {
            m_begun = true;
            std::string title = m_several ? "chatlog-export" : log.name + "(" + log.key + ")";
            if (page)
                title += " " + page->label;
            AppendHtmlHead(out, title);
        }
        out.append("<section>\n");
        AppendFriendHeading(out, log, page ? page->label : std::string());
        if (page) {
            // The next page's name is not known yet: room is kept for its
            // link and filled in when the page ends.
            out.append("<nav>");
            AppendPageLink(out, page->previous, kPreviousLabel);
            AppendPageLink(out, page->index, kContentsLabel);
            std::string widest;
            AppendPageLink(widest, std::string(page->nameSize, 'x'), kNextLabel);
            m_nextSlotSize = widest.size();
            m_nextSlot = m_sink.Position();
            out.append(NextLinkSlot(std::string(), m_nextSlotSize));
            out.append("</nav>\n");
        }
        out.append("<div class=\"log\">\n");
        m_lastDate.clear();
        m_dayOpen = false;
    }
    void Message(const ExportMessage& m) override {
        std::string& out = m_sink.Text();
        if (m.time->valid && m.time->date != m_lastDate) {
            m_lastDate = m.time->date;
            out.append(m_dayOpen ? "</div>\n<div class=\"dayset\"><div class=\"day\">"
                                 : "<div class=\"dayset\"><div class=\"day\">");
            out.append(m_lastDate);
            out.append("</div>\n");
            m_dayOpen = true;
        } else if (!m_dayOpen) {
            out.append("<div class=\"dayset\">\n");
            m_dayOpen = true;
        }
        out.append(m.sent ? "<div class=\"msg sent\">" : "<div class=\"msg received\">");
        out.append("<div class=\"meta\">");
        AppendHtmlText(out, m.sender);
        // The time as text: a <time> element per message made a month's
        // page a third slower to open, and the day line above holds the date.
        if (m.time->valid) {
            out.push_back(' ');
            out.append(m.time->time);
        }
        out.append("</div><div class=\"text\">");
        AppendHtmlText(out, m.text);
        out.append("</div></div>\n");
        m_sink.MaybeFlush();
    }
    void EndFriend() override {
        std::string& out = m_sink.Text();
        out.append(m_dayOpen ? "</div>\n</div>\n" : "</div>\n");
        m_dayOpen = false;
        if (m_paged) {
            out.append("<nav>");
            AppendPageLink(out, m_links.previous, kPreviousLabel);
            AppendPageLink(out, m_links.index, kContentsLabel);
            AppendPageLink(out, m_links.next, kNextLabel);
            out.append("</nav>\n");
            std::string slot = NextLinkSlot(m_links.next, m_nextSlotSize);
            if (!m_links.next.empty() && !slot.empty())
                m_sink.Overwrite(m_nextSlot, slot);
        }
        out.append("</section>\n");
    }
    void EndDocument() override {
        if (!m_begun)
            AppendHtmlHead(m_sink.Text(), "chatlog-export");
        m_sink.Text().append("</body>\n</html>\n");
    }

private:
    COutputSink& m_sink;
    bool m_several;
    bool m_begun = false;
    bool m_dayOpen = false;
    std::string m_lastDate;
    bool m_paged = false;
    ExportPageLinks m_links; // as the last SetPageLinks gave them
    std::uint64_t m_nextSlot = 0;
    std::size_t m_nextSlotSize = 0;
};

// The last cells of an index table's heading row: the message counts, the
// columns both indexes end with.
void AppendCountHeadings(std::string& out) {
    out.append("</th><th>");
    out.append(kSentLabel);
    out.append("</th><th>");
    out.append(kReceivedLabel);
    out.append("</th><th>");
    out.append(kAllLabel);
    out.append("</th></tr>\n");
}

// A friend's own index: its pages with their counts and dates.
class CHtmlPageIndexWriter : public CPageIndexWriter {
public:
    explicit CHtmlPageIndexWriter(COutputSink& sink) : m_sink(sink) {}
    void Begin(const ExportFriend& log, std::string_view up) override {
        std::string& out = m_sink.Text();
        AppendHtmlHead(out, log.name + "(" + log.key + ")");
        AppendFriendHeading(out, log, std::string());
        out.append("<nav><a href=\"");
        AppendHtmlText(out, up);
        out.append("\">");
        out.append(kFriendListLabel);
        out.append("</a></nav>\n<table>\n<tr><th></th><th>");
        out.append(kFirstDateLabel);
        out.append("</th><th>");
        out.append(kLastDateLabel);
        AppendCountHeadings(out);
    }
    void Page(const ExportPageEntry& e) override {
        std::string& out = m_sink.Text();
        out.append("<tr><td><a href=\"");
        AppendHtmlText(out, e.file);
        out.append("\">");
        AppendHtmlText(out, e.label);
        out.append("</a></td><td>" + e.firstDate + "</td><td>" + e.lastDate +
                   "</td><td class=\"n\">" + std::to_string(e.sent) + "</td><td class=\"n\">" +
                   std::to_string(e.received) + "</td><td class=\"n\">" +
                   std::to_string(e.sent + e.received) + "</td></tr>\n");
        m_sink.MaybeFlush();
    }
    void End() override { m_sink.Text().append("</table>\n</body>\n</html>\n"); }

private:
    COutputSink& m_sink;
};

} // namespace

std::unique_ptr<CExportWriter> MakeHtmlWriter(COutputSink& sink, const ExportWriterChoice& choice) {
    return std::make_unique<CHtmlWriter>(sink, choice.several);
}

std::unique_ptr<CPageIndexWriter> MakeHtmlPageIndexWriter(COutputSink& sink) {
    return std::make_unique<CHtmlPageIndexWriter>(sink);
}

void WriteHtmlIndex(const std::vector<ExportIndexEntry>& entries, COutputSink& sink,
                    const ExportWriterChoice&) {
    std::string& out = sink.Text();
    AppendHtmlHead(out, kFriendListLabel);
    out.append("<h1>");
    out.append(kFriendListLabel);
    out.append("</h1>\n<table>\n<tr><th>");
    AppendCountHeadings(out);
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
