#include "ServerConfig.h"

#include "TextRules.h"

#include <cstring>

using updater::IsBlankByte;

CServerConfig::CServerConfig() : m_wLockLimitNumber(0) {
    m_szUpdateServer[0] = '\0';
    m_szUpdatePath[0] = '\0';
    m_szUpdateFile[0] = '\0';
}

bool CServerConfig::Load(const char* path) {
    m_nStraySetupKeyLine = 0;
    return CIniDocument::Load(path) && Build();
}

bool CServerConfig::LoadStream(std::FILE* stream) {
    m_nStraySetupKeyLine = 0;
    return CIniDocument::LoadStream(stream) && Build();
}

bool CServerConfig::ParseServerValue(const char* value, Server& server) {
    if (value == nullptr) {
        return false;
    }
    while (IsBlankByte(*value)) {
        ++value;
    }
    if (*value == '\0') {
        return false;
    }
    const char* colon = std::strchr(value, ':');
    if (colon == nullptr || colon[1] == '\0') {
        return false;
    }
    const char* hostEnd = colon;
    while (hostEnd > value && IsBlankByte(hostEnd[-1])) {
        --hostEnd;
    }
    if (hostEnd == value) {
        return false;
    }
    const auto port = static_cast<std::uint16_t>(updater::AtoiWrap(colon + 1));
    if (port == 0) {
        return false;
    }
    server.host.assign(value, hostEnd);
    server.port = port;
    return true;
}

bool CServerConfig::LooksLikeSetupKey(const std::string& key) {
    std::size_t begin = 0;
    std::size_t end = key.size();
    while (begin < end && IsBlankByte(key[begin])) {
        ++begin;
    }
    while (end > begin && IsBlankByte(key[end - 1])) {
        --end;
    }
    return updater::CompareNoCase(key.substr(begin, end - begin).c_str(), updater::kSetupKeyName) ==
           0;
}

unsigned CServerConfig::FindStraySetupKey() const {
    std::size_t readSection = 0;
    const bool haveSection = FindSectionIndex(updater::kSetupKeySection, readSection);
    bool readOne = false;
    for (const EntryLine& entry : GetEntryLines()) {
        if (!LooksLikeSetupKey(entry.key)) {
            continue;
        }
        if (!readOne && haveSection && entry.section == readSection &&
            entry.key == updater::kSetupKeyName) {
            readOne = true;
            continue;
        }
        return entry.line;
    }
    return 0;
}

bool CServerConfig::Build() {
    m_servers.clear();
    m_wLockLimitNumber = 0;
    m_szUpdateServer[0] = '\0';
    m_szUpdatePath[0] = '\0';
    m_szUpdateFile[0] = '\0';
    m_bHasSetupKey = false;
    m_setupKey.fill(0);
    m_nStraySetupKeyLine = FindStraySetupKey();
    if (m_nStraySetupKeyLine != 0) {
        return false;
    }

    const unsigned count = GetKeyCount("Server");
    if (count == 0) {
        return false;
    }
    for (unsigned i = 0; i < count; ++i) {
        Server server;
        if (ParseServerValue(GetValueAt("Server", static_cast<int>(i)), server)) {
            m_servers.push_back(std::move(server));
        }
    }

    int lockLimit = 0;
    if (GetInt("Limit", "LockLimitNumber", lockLimit)) {
        m_wLockLimitNumber = static_cast<std::uint16_t>(lockLimit);
    }

    if (!GetString("Update", "Server", m_szUpdateServer, sizeof m_szUpdateServer) ||
        !GetString("Update", "Path", m_szUpdatePath, sizeof m_szUpdatePath) ||
        !GetString("Update", "File", m_szUpdateFile, sizeof m_szUpdateFile)) {
        return false;
    }
    // No value of the document is longer than a line, so this lookup fails
    // only when the key is absent.
    char setupKey[kLineSize];
    if (GetString(updater::kSetupKeySection, updater::kSetupKeyName, setupKey, sizeof setupKey)) {
        if (!updater::ParseHexBytes(setupKey, m_setupKey)) {
            return false;
        }
        m_bHasSetupKey = true;
    }
    return !m_servers.empty();
}
