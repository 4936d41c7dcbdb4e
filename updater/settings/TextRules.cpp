#include "TextRules.h"

#include <cstring>
#include <string>

namespace updater {

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

unsigned char FoldAscii(char c) {
    const unsigned char b = static_cast<unsigned char>(c);
    return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b - 'A' + 'a') : b;
}

} // namespace

std::int32_t AtoiWrap(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    while (IsCSpace(*text)) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    // Unsigned arithmetic wraps by definition, which is the whole point.
    std::uint32_t value = 0;
    while (*text >= '0' && *text <= '9') {
        value = value * 10u + static_cast<std::uint32_t>(*text - '0');
        ++text;
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::int32_t>(value);
}

int CompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const unsigned char ca = FoldAscii(*a);
        const unsigned char cb = FoldAscii(*b);
        if (ca != cb || ca == 0) {
            return static_cast<int>(ca) - static_cast<int>(cb);
        }
    }
}

bool CopyFittingText(char* buffer, std::size_t size, const char* source) {
    if (buffer == nullptr || size == 0) {
        return false;
    }
    if (source == nullptr) {
        buffer[0] = '\0';
        return true;
    }
    const std::size_t length = std::strlen(source);
    if (length >= size) {
        return false;
    }
    std::memcpy(buffer, source, length + 1);
    return true;
}

bool JoinPath(const char* folder, const char* name, char* out, std::size_t size) {
    if (folder == nullptr || name == nullptr || out == nullptr) {
        return false;
    }
    std::string joined = folder;
    if (joined.empty() || joined.back() != '\\') {
        joined += '\\';
    }
    joined += name;
    return CopyFittingText(out, size, joined.c_str());
}

} // namespace updater
