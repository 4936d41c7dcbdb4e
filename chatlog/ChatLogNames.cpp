#include "ChatLogNames.h"

#include <cstdio>

namespace chatlog {

std::string FormatAccountKey(std::uintptr_t wParam, std::uintptr_t lParam) {
    char key[32];
    std::snprintf(key, sizeof key, "%u%u", static_cast<unsigned>(wParam & 0xFFFFu),
                  static_cast<unsigned>(static_cast<std::uint32_t>(lParam)));
    return key;
}

bool IsDigitString(const char* text) {
    if (!text)
        return false;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9')
            return false;
    }
    return true;
}

namespace {

// One rule for narrow (GBK) and wide names. Only ASCII is compared, so GBK
// lead/trail bytes never match a digit, a dot or a letter of "dat".
template <typename Char> bool IsChatLogName(const Char* name) {
    if (!name)
        return false;
    const Char* dot = name;
    while (*dot && *dot != Char('.'))
        ++dot;
    if (*dot != Char('.'))
        return false;
    const char* want = ".dat";
    const Char* p = dot;
    for (; *want; ++want, ++p) {
        Char c = *p;
        if (c >= Char('A') && c <= Char('Z'))
            c = Char(c - Char('A') + Char('a'));
        if (c != Char(*want))
            return false;
    }
    if (*p)
        return false;
    for (const Char* s = name; s != dot; ++s) {
        if (*s < Char('0') || *s > Char('9'))
            return false;
    }
    return true;
}

} // namespace

bool IsChatLogFileName(const char* name) {
    return IsChatLogName(name);
}

bool IsChatLogFileName(const wchar_t* name) {
    return IsChatLogName(name);
}

} // namespace chatlog
