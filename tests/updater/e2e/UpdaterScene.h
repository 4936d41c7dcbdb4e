// One end-to-end scene: a fresh folder (a scratch folder of this process)
// holding a copy of updater.exe, its Server.ini and an old Vemli.exe, a
// temporary folder of its own, stand-in client windows, and the test update
// server's routes.
#pragma once

#include "ScratchDir.h"
#include "UpdateServerControl.h"
#include "WinTestSupport.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class CUpdaterScene {
public:
    // Content of the old client executable the scene starts with.
    static constexpr char kOldClient[] = "old client bytes";
    // How the stand-in setup marks the end of the client it writes.
    static constexpr char kNewClientMark[] = "new client";

    // `appFolderLength`, when not 0, pads the application folder's name so
    // that its full path has that many characters.
    explicit CUpdaterScene(const std::string& name, std::size_t appFolderLength = 0);
    ~CUpdaterScene();
    CUpdaterScene(const CUpdaterScene&) = delete;
    CUpdaterScene& operator=(const CUpdaterScene&) = delete;

    bool IsReady() const { return m_ready; }
    CUpdateServerControl& Server() { return m_server; }

    const std::string& AppFolder() const { return m_app; }
    const std::string& TempFolder() const { return m_temp; }
    std::string AppFile(const char* name) const { return m_app + "\\" + name; }
    std::string TempFile(const char* name) const { return m_temp + "\\" + name; }

    // Server.ini asking for "/<scene>/version.ini" from update.example.
    void WriteServerIni();
    void WriteServerIni(const std::string& content);

    // A unique address on `host` (the engine downloads through the cache, so
    // no two scenes share one), already answered by the stand-in setup.
    std::string ServeSetup(const std::string& host);
    // The same with any body, status and mode.
    std::string ServeSetupBody(const std::string& host, const std::string& body, int status = 200,
                               const std::string& mode = "normal");
    // The version document with CurrentVersion and one DownloadUrls entry per
    // address, keys in the order given.
    bool ServeVersion(const std::string& currentVersion, const std::vector<std::string>& urls);
    bool ServeVersionDocument(const std::string& document, int status = 200,
                              const std::string& mode = "normal", int stallSeconds = 0);

    // Starts a stand-in client window (from `program`, the stand-in's own
    // build output when empty); waits until its window exists. With
    // `tamperPath` the client tries to change that file when it is asked.
    bool StartClient(const std::string& title, int answer, const std::string& program = "",
                     const std::string& tamperPath = "");
    // A client window that hangs when asked, for `hangMs`.
    bool StartHungClient(const std::string& title, DWORD hangMs);
    std::vector<std::string> ClientLog(std::size_t index) const;

    // Sets a variable of the updater's environment (which its guard and the
    // setup inherit). The scene starts with the temporary folder in TEMP and
    // TMP, the stand-in setup's records there, and the stand-in told to
    // write a new client (VEMLI_SETUP_STANDIN=new-client); "" removes one.
    void SetEnvironment(const std::string& name, const std::string& value);

    // Starts updater.exe with the command line `"<path>"` + tail (the tail
    // carries its own separating blank, or none). `quoted` false writes the
    // path without quotes.
    HANDLE StartUpdater(const std::string& tail, bool quoted = true);
    // Starts it and waits at most `timeoutMs` for it and then for the end of
    // its hand-over (WaitForHandOver); the exit code, or -1 when it could
    // not start, -2 when it did not end in time.
    long RunUpdater(const std::string& tail, DWORD timeoutMs = 90000);
    // Until no updater or guard holds the instance mutex: a guard holds it
    // until the setup it watches has ended and the client is back.
    static bool WaitForHandOver(DWORD timeoutMs = 60000);

    // Whether the client file is one the stand-in setup wrote.
    bool HasNewClient() const;

    // The stand-in setup's record (name=value lines), waited for a while
    // because the updater does not wait for the setup.
    std::map<std::string, std::string> WaitForSetupRecord(DWORD timeoutMs = 15000) const;

    // Requests the server saw that were not control requests.
    std::vector<SeenRequest> Requests() { return m_server.Requests(); }

    static bool FileExists(const std::string& path);
    static std::string ReadFile(const std::string& path);

private:
    bool StartClientProcess(const std::string& title, const std::string& answer,
                            const std::string& program, DWORD lifetimeMs,
                            const std::string& tamperPath);

    std::string m_name;
    CScratchDir m_scratch;
    std::string m_root;
    std::string m_app;
    std::string m_temp;
    bool m_ready = false;
    CUpdateServerControl m_server;
    int m_serial = 0;
    std::vector<HANDLE> m_clients;
    std::vector<std::string> m_clientLogs;
    std::map<std::string, std::string> m_environment;
};

// The running test's name as a folder and route name ("Suite_Test").
std::string SceneName();
// Whether a client log has a line that begins with `prefix`.
bool LogHas(const std::vector<std::string>& log, const std::string& prefix);
