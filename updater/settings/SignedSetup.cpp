#include "SignedSetup.h"

#include <cstring>

namespace updater {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

bool ParseHexBytes(const char* text, unsigned char* out, std::size_t size) {
    if (text == nullptr || out == nullptr || std::strlen(text) != 2 * size) {
        return false;
    }
    for (std::size_t i = 0; i < 2 * size; ++i) {
        if (HexValue(text[i]) < 0) {
            return false;
        }
    }
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = static_cast<unsigned char>(HexValue(text[2 * i]) * 16 + HexValue(text[2 * i + 1]));
    }
    return true;
}

std::string HexText(const unsigned char* bytes, std::size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * size);
    for (std::size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string SignedSetupMessage(const char* currentVersion, const SetupDigest& digest) {
    std::string message = currentVersion != nullptr ? currentVersion : "";
    message += '\n';
    message += HexText(digest.data(), digest.size());
    return message;
}

} // namespace updater
