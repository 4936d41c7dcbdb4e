#include "ResumeRules.h"

#include "TextRules.h"

#include <cstring>

namespace updater {

namespace {

constexpr char kRecordMagic[] = "VemliSetup part 1";
constexpr char kAddressName[] = "address ";
constexpr char kValidatorName[] = "validator ";
constexpr char kDigestName[] = "sha256 ";
constexpr char kSizeName[] = "size ";

// Decimal digits up to the first other byte; false for none or overflow.
bool ReadNumber(const char*& p, std::uint64_t& value) {
    if (*p < '0' || *p > '9') {
        return false;
    }
    value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned digit = unsigned(*p - '0');
        if (value > (UINT64_MAX - digit) / 10) {
            return false;
        }
        value = value * 10 + digit;
    }
    return true;
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// The value of line `name` at `pos`, which moves past the line's end.
bool ReadLine(const std::string& text, std::size_t& pos, const char* name, std::string& value) {
    const std::size_t nameLength = std::strlen(name);
    const std::size_t end = text.find('\n', pos);
    if (end == std::string::npos || text.compare(pos, nameLength, name) != 0) {
        return false;
    }
    value = text.substr(pos + nameLength, end - pos - nameLength);
    pos = end + 1;
    return true;
}

} // namespace

unsigned ResumePauseMs(unsigned attempt) {
    if (attempt <= 1) {
        return 1000;
    }
    return attempt == 2 ? 2000 : 4000;
}

bool ParseContentRange(const char* text, std::uint64_t& first, std::uint64_t& last,
                       std::uint64_t& total) {
    if (text == nullptr) {
        return false;
    }
    const char* p = text;
    while (IsBlankByte(*p)) {
        ++p;
    }
    if (std::strncmp(p, "bytes ", 6) != 0) {
        return false;
    }
    p += 6;
    std::uint64_t from = 0, to = 0, whole = 0;
    if (!ReadNumber(p, from) || *p++ != '-' || !ReadNumber(p, to) || *p++ != '/') {
        return false;
    }
    if (*p == '*') {
        ++p;
    } else if (!ReadNumber(p, whole) || to >= whole) {
        return false;
    }
    while (IsBlankByte(*p)) {
        ++p;
    }
    if (*p != '\0' || to < from) {
        return false;
    }
    first = from;
    last = to;
    total = whole;
    return true;
}

bool ContinuesFrom(const char* contentRange, std::uint64_t offset, std::uint64_t size) {
    std::uint64_t first = 0, last = 0, total = 0;
    return size > 0 && ParseContentRange(contentRange, first, last, total) && first == offset &&
           last == size - 1 && (total == 0 || total == size);
}

std::string ChooseValidator(const char* etag, const char* lastModified) {
    if (etag != nullptr && etag[0] == '"' && std::strlen(etag) >= 2 &&
        etag[std::strlen(etag) - 1] == '"') {
        return etag;
    }
    if (lastModified != nullptr && lastModified[0] != '\0') {
        return lastModified;
    }
    return "";
}

std::string FormatPartRecord(const PartRecord& record) {
    if (HasLineBreak(record.address) || HasLineBreak(record.validator)) {
        return "";
    }
    return std::string(kRecordMagic) + "\n" + kAddressName + record.address + "\n" +
           kValidatorName + record.validator + "\n" + kDigestName +
           HexText(record.digest.data(), record.digest.size()) + "\n" + kSizeName +
           std::to_string(record.size) + "\n";
}

bool ParsePartRecord(const std::string& text, PartRecord& record) {
    std::size_t pos = 0;
    std::string magic, digest, size;
    PartRecord read;
    const std::size_t magicEnd = text.find('\n');
    // A NUL would end a value early where it is read as text (the size).
    if (text.find('\0') != std::string::npos || magicEnd == std::string::npos ||
        text.compare(0, magicEnd, kRecordMagic) != 0) {
        return false;
    }
    pos = magicEnd + 1;
    if (!ReadLine(text, pos, kAddressName, read.address) ||
        !ReadLine(text, pos, kValidatorName, read.validator) ||
        !ReadLine(text, pos, kDigestName, digest) || !ReadLine(text, pos, kSizeName, size) ||
        pos != text.size() || read.address.empty() || HasLineBreak(read.address) ||
        HasLineBreak(read.validator) || !ParseHexBytes(digest.c_str(), read.digest) ||
        !ParseSetupSize(size.c_str(), read.size)) {
        return false;
    }
    record = read;
    return true;
}

} // namespace updater
