#include "ExportText.h"
#include "TextDecode.h"

#include <cstdio>
#include <ctime>

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

void FormatCivilTime(const CivilTime& c, std::int64_t unixTime, ExportTime& out) {
    char date[48], time[48], iso[128];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", c.year, c.month, c.day);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", c.hour, c.minute, c.second);
    std::int64_t asUtc =
        DaysFromCivil(c.year, c.month, c.day) * 86400 + c.hour * 3600 + c.minute * 60 + c.second;
    std::int64_t offset = asUtc - unixTime;
    char sign = offset < 0 ? '-' : '+';
    std::int64_t magnitude = offset < 0 ? -offset : offset;
    std::snprintf(iso, sizeof iso, "%sT%s%c%02d:%02d", date, time, sign,
                  static_cast<int>(magnitude / 3600), static_cast<int>(magnitude / 60 % 60));
    out.valid = true;
    out.date = date;
    out.time = time;
    out.iso = iso;
}

void FormatExportTime(std::int32_t unixTime, bool utc, ExportTime& out) {
    struct tm parts {};
    bool ok;
#ifdef _WIN32
    __time64_t t = unixTime;
    ok = (utc ? _gmtime64_s(&parts, &t) : _localtime64_s(&parts, &t)) == 0;
#else
    time_t t = unixTime;
    ok = (utc ? gmtime_r(&t, &parts) : localtime_r(&t, &parts)) != nullptr;
#endif
    if (!ok) {
        out = ExportTime();
        return;
    }
    CivilTime civil{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                    parts.tm_hour,        parts.tm_min,     parts.tm_sec};
    FormatCivilTime(civil, unixTime, out);
}
