#include "ExportText.h"

#include "LocalTime.h"
#include "TextDecode.h"

#include <ctime>

namespace exporter {

void AppendCsvField(std::string& out, std::string_view utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(utf8);
        return;
    }
    out.push_back('"');
    for (char c : utf8) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

void AppendCsvTextField(std::string& out, std::string_view utf8, bool raw) {
    if (raw || utf8.empty() ||
        std::string_view("=+-@\t\r").find(utf8[0]) == std::string_view::npos) {
        AppendCsvField(out, utf8);
        return;
    }
    std::string guarded;
    guarded.reserve(utf8.size() + 1);
    guarded.push_back('\'');
    guarded.append(utf8);
    AppendCsvField(out, guarded);
}

void AppendJsonString(std::string& out, std::string_view utf8) {
    static const char kHex[] = "0123456789abcdef";
    out.push_back('"');
    for (char c : utf8) {
        auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out.append("\\\"");
            break;
        case '\\':
            out.append("\\\\");
            break;
        case '\n':
            out.append("\\n");
            break;
        case '\r':
            out.append("\\r");
            break;
        case '\t':
            out.append("\\t");
            break;
        default:
            if (byte < 0x20) {
                out.append("\\u00");
                out.push_back(kHex[byte >> 4]);
                out.push_back(kHex[byte & 15]);
            } else {
                out.push_back(c);
            }
        }
    }
    out.push_back('"');
}

void AppendHtmlText(std::string& out, std::string_view utf8) {
    for (char c : utf8) {
        switch (c) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '"':
            out.append("&quot;");
            break;
        case '\'':
            out.append("&#39;");
            break;
        default:
            out.push_back(c);
        }
    }
}

void AppendPlainText(std::string& out, std::string_view utf8) {
    for (char c : utf8) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F)
            out.append(kReplacementUtf8);
        else
            out.push_back(c);
    }
}

std::int64_t DaysFromCivil(int year, int month, int day) {
    // Howard Hinnant's days_from_civil: exact for every Gregorian date.
    std::int64_t y = year - (month <= 2 ? 1 : 0);
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    std::int64_t yoe = y - era * 400;
    std::int64_t mp = (month + 9) % 12;
    std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

namespace {

// Fixed-width decimal digits; snprintf per field costs more than the rest
// of a CSV row together.
char* PutDigits(char* at, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return at + width;
}

// Civil date of a day count from 1970-01-01 (Howard Hinnant's algorithm).
void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    std::int64_t doe = days - era * 146097;
    std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

bool SystemCivil(std::int32_t unixTime, bool utc, CivilTime& civil) {
    struct tm parts {};
    if (!(utc ? chatlog::UtcTime(unixTime, &parts) : chatlog::LocalTime(unixTime, &parts)))
        return false;
    civil = CivilTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                      parts.tm_hour,        parts.tm_min,     parts.tm_sec};
    return true;
}

std::int64_t CivilSeconds(const CivilTime& c) {
    return DaysFromCivil(c.year, c.month, c.day) * 86400 + c.hour * 3600 + c.minute * 60 + c.second;
}

} // namespace

void FormatCivilTime(const CivilTime& c, std::int64_t unixTime, ExportTime& out) {
    if (c.year < 0 || c.year > 9999) {
        out = ExportTime();
        return;
    }
    char iso[32];
    char* at = PutDigits(iso, c.year, 4);
    *at++ = '-';
    at = PutDigits(at, c.month, 2);
    *at++ = '-';
    at = PutDigits(at, c.day, 2);
    *at++ = 'T';
    at = PutDigits(at, c.hour, 2);
    *at++ = ':';
    at = PutDigits(at, c.minute, 2);
    *at++ = ':';
    at = PutDigits(at, c.second, 2);
    std::int64_t offset = CivilSeconds(c) - unixTime;
    *at++ = offset < 0 ? '-' : '+';
    std::int64_t magnitude = offset < 0 ? -offset : offset;
    at = PutDigits(at, static_cast<int>(magnitude / 3600 % 100), 2);
    *at++ = ':';
    at = PutDigits(at, static_cast<int>(magnitude / 60 % 60), 2);
    out.valid = true;
    out.date.assign(iso, 10);
    out.time.assign(iso + 11, 8);
    out.iso.assign(iso, static_cast<std::size_t>(at - iso));
}

} // namespace exporter

// The quarter hour of `t` and whether one offset holds through it.
void CExportTimeFormatter::Locate(std::int64_t t) {
    std::int64_t window = (t >= 0 ? t : t - (kWindow - 1)) / kWindow * kWindow;
    if (!m_cached || window != m_windowStart) {
        m_cached = true;
        m_windowStart = window;
        CivilTime first{}, last{};
        std::int64_t end = window + kWindow - 1;
        m_steady = end <= 0x7FFFFFFF && window >= -0x7FFFFFFFll - 1 &&
                   exporter::SystemCivil(static_cast<std::int32_t>(window), m_utc, first) &&
                   exporter::SystemCivil(static_cast<std::int32_t>(end), m_utc, last) &&
                   exporter::CivilSeconds(first) - window == exporter::CivilSeconds(last) - end;
        m_offset = m_steady ? exporter::CivilSeconds(first) - window : 0;
    }
}

bool CExportTimeFormatter::Month(std::int32_t unixTime, char (&month)[7]) {
    std::int64_t t = unixTime;
    Locate(t);
    int year = 0, monthNumber = 0, day = 0;
    if (m_steady) {
        std::int64_t local = t + m_offset;
        exporter::CivilFromDays((local >= 0 ? local : local - 86399) / 86400, year, monthNumber,
                                day);
        if (year < 0 || year > 9999) // as FormatCivilTime refuses them
            return false;
    } else {
        ExportTime time;
        exporter::FormatExportTime(unixTime, m_utc, time);
        if (!time.valid)
            return false;
        time.date.copy(month, 7);
        return true;
    }
    char* at = exporter::PutDigits(month, year, 4);
    *at++ = '-';
    exporter::PutDigits(at, monthNumber, 2);
    return true;
}

void CExportTimeFormatter::Format(std::int32_t unixTime, ExportTime& out) {
    std::int64_t t = unixTime;
    Locate(t);
    if (!m_steady) {
        exporter::FormatExportTime(unixTime, m_utc, out);
        return;
    }
    std::int64_t local = t + m_offset;
    std::int64_t days = (local >= 0 ? local : local - 86399) / 86400;
    std::int64_t second = local - days * 86400;
    CivilTime civil{};
    exporter::CivilFromDays(days, civil.year, civil.month, civil.day);
    civil.hour = static_cast<int>(second / 3600);
    civil.minute = static_cast<int>(second / 60 % 60);
    civil.second = static_cast<int>(second % 60);
    exporter::FormatCivilTime(civil, t, out);
}

namespace exporter {

void FormatExportTime(std::int32_t unixTime, bool utc, ExportTime& out) {
    CivilTime civil{};
    if (!SystemCivil(unixTime, utc, civil)) {
        out = ExportTime();
        return;
    }
    FormatCivilTime(civil, unixTime, out);
}

} // namespace exporter
