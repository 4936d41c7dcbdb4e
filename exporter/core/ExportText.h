// How one value is written in each format: CSV fields, JSON strings, HTML
// text, transcript lines, and the record time as date, time and ISO 8601.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace exporter {

// RFC 4180: quoted when it holds a comma, a quote, CR or LF; quotes doubled.
void AppendCsvField(std::string& out, std::string_view utf8);
// A CSV field for a text the friend chose (a name, a message), as a
// spreadsheet will open it: a text beginning with = + - @, a tab or a CR
// would be taken for a formula there, so it gets a leading apostrophe and
// shows as text. `raw` (--csv-raw) writes the exact text instead.
void AppendCsvTextField(std::string& out, std::string_view utf8, bool raw);
// A JSON string with its quotes; control characters escaped.
void AppendJsonString(std::string& out, std::string_view utf8);
// HTML text or attribute value: & < > " ' become references.
void AppendHtmlText(std::string& out, std::string_view utf8);
// Text for a terminal or a plain transcript: C0 controls other than tab, and
// DEL, become U+FFFD, so that a message cannot send escape sequences to the
// reader's terminal. Line breaks are the caller's (see ForEachLine).
void AppendPlainText(std::string& out, std::string_view utf8);

// Calls line(text) for every line of `text`; CR LF, a lone CR and LF all end
// a line. An empty text is one empty line.
template <class Line> void ForEachLine(std::string_view text, Line&& line) {
    for (;;) {
        std::size_t end = text.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            line(text);
            return;
        }
        line(text.substr(0, end));
        std::size_t next = end + 1;
        if (text[end] == '\r' && next < text.size() && text[next] == '\n')
            ++next;
        text.remove_prefix(next);
    }
}

} // namespace exporter

// A record time as the viewer's table shows it ("%Y-%m-%d", "%H:%M:%S") and
// as ISO 8601 with the offset in force at that moment. `valid` is false (and
// every text empty) when the system cannot convert the time.
struct ExportTime {
    bool valid = false;
    std::string date;
    std::string time;
    std::string iso;
};

namespace exporter {

void FormatExportTime(std::int32_t unixTime, bool utc, ExportTime& out);

} // namespace exporter

// FormatExportTime for a stream of records, which mostly stand in time order:
// the system's conversion runs once per quarter hour of UTC time and the
// seconds inside it are added here. A quarter hour in which the offset
// changes (checked at both ends) is converted record by record, so the
// result is always what FormatExportTime gives.
class CExportTimeFormatter {
public:
    explicit CExportTimeFormatter(bool utc) : m_utc(utc) {}
    void Format(std::int32_t unixTime, ExportTime& out);
    // Only the month of the date Format gives ("YYYY-MM"), at a fraction of
    // its cost (a survey of a log's months before it is written); false when
    // Format gives no date.
    bool Month(std::int32_t unixTime, char (&month)[7]);

private:
    static constexpr std::int64_t kWindow = 900;
    void Locate(std::int64_t t);
    bool m_utc;
    bool m_cached = false;
    bool m_steady = false; // one offset through the whole window
    std::int64_t m_windowStart = 0;
    std::int64_t m_offset = 0;
};

// The same from the broken-down local (or UTC) time the system gave and the
// seconds it stands for; the offset is their difference. Kept apart so that
// offsets (east, west, half hours, DST) are tested without the system clock.
struct CivilTime {
    int year, month, day, hour, minute, second;
};

namespace exporter {

void FormatCivilTime(const CivilTime& civil, std::int64_t unixTime, ExportTime& out);

// Days from 1970-01-01 to the given proleptic Gregorian date.
std::int64_t DaysFromCivil(int year, int month, int day);

} // namespace exporter
