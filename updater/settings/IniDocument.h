// CIniDocument: the updater's own reader for sectioned 'key=value' documents
// (Server.ini and the version document). Text stays bytes; keys compare
// byte for byte, section names without regard to ASCII case.
#pragma once

#include <cstddef>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CIniDocument {
public:
    // Size of the last error text buffer, terminator included.
    static constexpr std::size_t kLastErrorSize = 1024;

    CIniDocument();
    virtual ~CIniDocument();
    CIniDocument(const CIniDocument&) = default;
    CIniDocument& operator=(const CIniDocument&) = default;

    // Discards what was loaded before and reads the file at `path` (C fopen
    // mode "r"). Fails for a null path, a file that cannot be opened (the
    // last error text then names it) or an entry line before any header.
    virtual bool Load(const char* path);

    // Same as Load on a stream the caller opened and still owns; it is read
    // to its end but not closed. Fails for a null stream.
    virtual bool LoadStream(std::FILE* stream);

    // Copies the value of `key` in the first section named `section` into
    // `buffer` (terminator included). An entry without value yields "". A
    // value that does not fit in `size` bytes fails and leaves the buffer as
    // it was.
    bool GetString(const char* section, const char* key, char* buffer, std::size_t size) const;

    // The value converted as atoi converts it (0 for an entry without value).
    bool GetInt(const char* section, const char* key, int& value) const;

    // Number of entries of the first section so named; 0 when there is none.
    unsigned GetKeyCount(const char* section) const;

    // Value of the entry at `index` in ascending key order of the first
    // section so named; null for a bad name or index, or an entry without
    // value. The text lives until the next Load or Clear.
    const char* GetValueAt(const char* section, int index) const;

    void Clear();

    // Every entry line as read, a repeated key included (the lookups see only
    // its first value): which section holds it (its position among the
    // sections), its key as stored, and its line number in the file (from 1).
    // For rules that must see what the lookups cannot.
    struct EntryLine {
        std::size_t section;
        std::string key;
        unsigned line;
    };
    const std::vector<EntryLine>& GetEntryLines() const { return m_entryLines; }
    // Position of the first section the lookups answer for `name`; false when
    // there is none.
    bool FindSectionIndex(const char* name, std::size_t& index) const;

    // Describes the last file that could not be opened; empty until then.
    const char* GetLastError() const { return m_szLastError; }

protected:
    // Reads the lines of an open stream into the sections; shared by both
    // loads so that a derived class can check its own rules once after it.
    bool ReadDocument(std::FILE* stream);

private:
    // std::string compares through char_traits<char>, which orders bytes as
    // unsigned values, the same order strcmp gives.
    using Entries = std::map<std::string, std::optional<std::string>>;

    struct Section {
        std::string name;
        Entries entries;
    };

    const Section* FindSection(const char* name) const;
    const std::optional<std::string>* FindEntry(const char* section, const char* key) const;

    std::vector<Section> m_sections;
    std::vector<EntryLine> m_entryLines;
    char m_szLastError[kLastErrorSize];
};
