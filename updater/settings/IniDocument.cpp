#include "IniDocument.h"

#include "TextRules.h"

#include <cstring>
#include <iterator>

using updater::IsBlankByte;

namespace {

// Longest piece fgets hands over at once, plus its terminator. A longer line
// arrives in several pieces and each piece counts as a line of its own.
constexpr int kPieceSize = 1024;

// "无法打开目标文件 %s" (cannot open the target file) in code page 936.
constexpr char kOpenFailedFormat[] =
    "\xce\xde\xb7\xa8\xb4\xf2\xbf\xaa\xc4\xbf\xb1\xea\xce\xc4\xbc\xfe %s";

// Returns the end of [begin, end) once trailing blank bytes are dropped.
const char* TrimBlankEnd(const char* begin, const char* end) {
    while (end > begin && IsBlankByte(end[-1])) {
        --end;
    }
    return end;
}

} // namespace

CIniDocument::CIniDocument() {
    m_szLastError[0] = '\0';
}

CIniDocument::~CIniDocument() = default;

void CIniDocument::Clear() {
    m_sections.clear();
    m_entryLines.clear();
}

bool CIniDocument::Load(const char* path) {
    Clear();
    if (path == nullptr) {
        return false;
    }
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        std::snprintf(m_szLastError, sizeof m_szLastError, kOpenFailedFormat, path);
        return false;
    }
    const bool ok = ReadDocument(file);
    std::fclose(file);
    return ok;
}

bool CIniDocument::LoadStream(std::FILE* stream) {
    Clear();
    if (stream == nullptr) {
        return false;
    }
    return ReadDocument(stream);
}

bool CIniDocument::ReadDocument(std::FILE* stream) {
    Clear();
    char piece[kPieceSize];
    bool haveSection = false;
    Section current;
    // Line numbers count the file's lines, not the pieces of a long one.
    unsigned lineNumber = 0;
    bool lineEnded = true;

    while (std::fgets(piece, kPieceSize, stream) != nullptr) {
        // A NUL inside the piece ends what we can see of it; strlen never goes
        // past what fgets wrote, since fgets always terminates the buffer.
        const char* lineStart = piece;
        const char* end = piece + std::strlen(piece);
        if (lineEnded) {
            ++lineNumber;
        }
        lineEnded = end > piece && end[-1] == '\n';

        const char* text = lineStart;
        while (text < end && IsBlankByte(*text)) {
            ++text;
        }
        if (text == end || *text == '#') {
            continue;
        }
        while (end > text && (end[-1] == '\r' || end[-1] == '\n')) {
            --end;
        }
        if (end == text) {
            continue;
        }

        const std::size_t length = static_cast<std::size_t>(end - text);
        if (length >= 3 && text[0] == '[' && end[-1] == ']') {
            if (haveSection) {
                m_sections.push_back(std::move(current));
            }
            current = Section{};
            current.name.assign(text + 1, end - 1);
            haveSection = true;
            continue;
        }

        if (!haveSection) {
            Clear();
            return false;
        }

        // The key starts at the line as read, so leading blanks belong to it;
        // only '=' at the very start is skipped.
        const char* keyBegin = lineStart;
        while (keyBegin < end && *keyBegin == '=') {
            ++keyBegin;
        }
        const char* equals = keyBegin;
        while (equals < end && *equals != '=') {
            ++equals;
        }
        std::string key(keyBegin, TrimBlankEnd(keyBegin, equals));

        std::optional<std::string> value;
        if (equals < end) {
            const char* valueBegin = equals + 1;
            const char* valueEnd = valueBegin;
            while (valueEnd < end && *valueEnd != '#') {
                ++valueEnd;
            }
            valueEnd = TrimBlankEnd(valueBegin, valueEnd);
            while (valueBegin < valueEnd && IsBlankByte(*valueBegin)) {
                ++valueBegin;
            }
            if (valueBegin < valueEnd) {
                value.emplace(valueBegin, valueEnd);
            }
        }
        m_entryLines.push_back({m_sections.size(), key, lineNumber});
        // emplace keeps the first value of a repeated key.
        current.entries.emplace(std::move(key), std::move(value));
    }

    if (haveSection) {
        m_sections.push_back(std::move(current));
    }
    return true;
}

bool CIniDocument::FindSectionIndex(const char* name, std::size_t& index) const {
    const Section* found = FindSection(name);
    if (found == nullptr) {
        return false;
    }
    index = static_cast<std::size_t>(found - m_sections.data());
    return true;
}

const CIniDocument::Section* CIniDocument::FindSection(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    for (const Section& section : m_sections) {
        if (updater::CompareNoCase(section.name.c_str(), name) == 0) {
            return &section;
        }
    }
    return nullptr;
}

const std::optional<std::string>* CIniDocument::FindEntry(const char* section,
                                                          const char* key) const {
    const Section* found = FindSection(section);
    if (found == nullptr || key == nullptr) {
        return nullptr;
    }
    const auto it = found->entries.find(key);
    return it == found->entries.end() ? nullptr : &it->second;
}

bool CIniDocument::GetString(const char* section, const char* key, char* buffer,
                             std::size_t size) const {
    const std::optional<std::string>* entry = FindEntry(section, key);
    if (entry == nullptr || buffer == nullptr) {
        return false;
    }
    const char* value = entry->has_value() ? (*entry)->c_str() : "";
    const std::size_t needed = std::strlen(value) + 1;
    if (needed > size) {
        return false;
    }
    std::memcpy(buffer, value, needed);
    return true;
}

bool CIniDocument::GetInt(const char* section, const char* key, int& value) const {
    const std::optional<std::string>* entry = FindEntry(section, key);
    if (entry == nullptr) {
        return false;
    }
    value = entry->has_value() ? updater::AtoiWrap((*entry)->c_str()) : 0;
    return true;
}

unsigned CIniDocument::GetKeyCount(const char* section) const {
    const Section* found = FindSection(section);
    return found == nullptr ? 0u : static_cast<unsigned>(found->entries.size());
}

const char* CIniDocument::GetValueAt(const char* section, int index) const {
    const Section* found = FindSection(section);
    if (found == nullptr || index < 0 || static_cast<std::size_t>(index) >= found->entries.size()) {
        return nullptr;
    }
    const auto& value = std::next(found->entries.begin(), index)->second;
    return value.has_value() ? value->c_str() : nullptr;
}
