// CServerConfig: the updater's configuration, Server.ini read with the
// settings parser and checked against the rules of its three sections.
#pragma once

#include "IniDocument.h"
#include "SignedSetup.h"

#include <cstdint>
#include <string>
#include <vector>

class CServerConfig : public CIniDocument {
public:
    // MAX_PATH: each of the three Update texts must fit in it.
    static constexpr std::size_t kTextSize = 260;
    // Room for any value the parser can hold: it reads lines in pieces of at
    // most 1023 bytes.
    static constexpr std::size_t kLineSize = 1024;

    struct Server {
        std::string host;
        std::uint16_t port;
    };

    CServerConfig();

    // Loads the document and builds the configuration; fails when the
    // document does not load, Update.Server/Path/File are missing or too long,
    // section Server has no valid 'host:port' entry, Update.SetupKey is
    // present but not 128 hexadecimal digits, or a key that looks like
    // SetupKey stands where the lookup does not read it (a publisher who asked
    // for signed setups must never silently get unsigned ones).
    bool Load(const char* path) override;
    bool LoadStream(std::FILE* stream) override;

    const char* GetUpdateServer() const { return m_szUpdateServer; }
    const char* GetUpdatePath() const { return m_szUpdatePath; }
    const char* GetUpdateFile() const { return m_szUpdateFile; }
    std::uint16_t GetLockLimitNumber() const { return m_wLockLimitNumber; }
    const std::vector<Server>& GetServers() const { return m_servers; }
    // Update.SetupKey: with it, only a setup the publisher signed is started.
    bool HasSetupKey() const { return m_bHasSetupKey; }
    const updater::SetupKey& GetSetupKey() const { return m_setupKey; }
    // The line of the SetupKey the lookup does not read that made the last
    // Load fail; 0 when none did.
    unsigned GetStraySetupKeyLine() const { return m_nStraySetupKeyLine; }

    // Whether a key as stored is SetupKey once its surrounding blanks are
    // gone and letter case is ignored: what a publisher meant as one.
    static bool LooksLikeSetupKey(const std::string& key);

    // One 'host:port' value of section Server; false when it is not valid.
    // The host keeps inner blanks and loses trailing ones; the port is atoi's
    // result cut to 16 bits and must not be 0.
    static bool ParseServerValue(const char* value, Server& server);

private:
    bool Build();
    // The line of the first key that looks like SetupKey but is not the one
    // the lookup reads (the first [Update] section's exact SetupKey, first
    // written); 0 when there is none.
    unsigned FindStraySetupKey() const;

    std::vector<Server> m_servers;
    std::uint16_t m_wLockLimitNumber;
    char m_szUpdateServer[kTextSize];
    char m_szUpdatePath[kTextSize];
    char m_szUpdateFile[kTextSize];
    bool m_bHasSetupKey = false;
    updater::SetupKey m_setupKey{};
    unsigned m_nStraySetupKeyLine = 0;
};
