// Loads arbitrary bytes as a settings document and as Server.ini, then makes
// every lookup the updater can make, plus lookups of every bracketed name in
// the input. Besides ASan/UBSan it checks the lookups agree with each other.
#include "IniDocument.h"
#include "ServerConfig.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::FILE* OpenBytes(const std::uint8_t* data, std::size_t size) {
    // fmemopen refuses a zero-sized buffer on some C libraries.
    static const char empty[1] = {0};
    if (size == 0) {
        return fmemopen(const_cast<char*>(empty), 0 + 1, "r");
    }
    return fmemopen(const_cast<std::uint8_t*>(data), size, "r");
}

// Names that look like headers in the input, plus the ones the updater asks.
std::vector<std::string> NamesIn(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> names = {"Update", "Limit", "Server", "Version", "DownloadUrls", ""};
    const char* text = reinterpret_cast<const char*>(data);
    for (std::size_t i = 0; i < size && names.size() < 12; ++i) {
        if (text[i] != '[') {
            continue;
        }
        const void* close = std::memchr(text + i, ']', size - i);
        if (close != nullptr) {
            names.emplace_back(text + i + 1, static_cast<const char*>(close));
        }
    }
    return names;
}

void LookEverywhere(const CIniDocument& doc, const std::vector<std::string>& names) {
    static const char* const keys[] = {"Server",          "Path", "File", "CurrentVersion", "",
                                       "LockLimitNumber", " ",    "a"};
    for (const std::string& section : names) {
        const char* name = section.c_str();
        const unsigned count = doc.GetKeyCount(name);
        Check(doc.GetValueAt(name, -1) == nullptr);
        Check(doc.GetValueAt(name, static_cast<int>(count)) == nullptr);
        // Bounded so a document of thousands of keys stays quick per input.
        for (unsigned i = 0; i < count && i < 16; ++i) {
            const char* value = doc.GetValueAt(name, static_cast<int>(i));
            if (value != nullptr) {
                const std::size_t length = std::strlen(value);
                Check(length > 0 && length < 1024);
            }
        }
        for (const char* key : keys) {
            char buffer[1100];
            const bool found = doc.GetString(name, key, buffer, sizeof buffer);
            int number = 0;
            Check(doc.GetInt(name, key, number) == found);
            if (!found) {
                continue;
            }
            // Exactly the needed size fits; one byte less fails untouched.
            const std::size_t needed = std::strlen(buffer) + 1;
            // Stack buffers: a heap block per lookup would cost more than the
            // lookup itself under ASan's quarantine.
            char exact[sizeof buffer];
            std::memset(exact, 'x', needed);
            Check(doc.GetString(name, key, exact, needed));
            Check(std::strcmp(exact, buffer) == 0);
            char small[sizeof buffer];
            small[0] = 'x';
            Check(!doc.GetString(name, key, small, needed - 1));
            Check(small[0] == 'x');
        }
    }
    doc.GetKeyCount(nullptr);
    doc.GetValueAt(nullptr, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> names = NamesIn(data, size);

    CIniDocument doc;
    if (std::FILE* stream = OpenBytes(data, size)) {
        doc.LoadStream(stream);
        std::fclose(stream);
        LookEverywhere(doc, names);
    }

    CServerConfig config;
    if (std::FILE* stream = OpenBytes(data, size)) {
        if (config.LoadStream(stream)) {
            Check(!config.GetServers().empty());
            for (const auto& server : config.GetServers()) {
                Check(!server.host.empty() && server.port != 0);
            }
            Check(std::strlen(config.GetUpdateServer()) < CServerConfig::kTextSize);
            Check(std::strlen(config.GetUpdatePath()) < CServerConfig::kTextSize);
            Check(std::strlen(config.GetUpdateFile()) < CServerConfig::kTextSize);
        }
        std::fclose(stream);
        LookEverywhere(config, names);
    }
    return 0;
}

// Every input makes many small blocks. With ASan's default 256 MB quarantine
// each of them lands on a page never touched before, and page faults cost
// more than the parse; a small quarantine still catches a use after free
// within one input, which is all one input can do.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=4:max_malloc_fill_size=0";
}
