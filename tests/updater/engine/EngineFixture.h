// EngineFixture: one CUpdateEngine driven the way the updater drives it, a
// private temporary folder, the test update server and a record of every
// event the engine raised.
#pragma once

#include "ScratchDir.h"
#include "UpdateEngine.h"
#include "UpdateServerControl.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct SeenEvent {
    UINT code;
    WPARAM wParam;
    LPARAM lParam;
    std::string path; // UE_DOWNLOAD_DONE: the text wParam pointed at
    DWORD thread;
};

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A host name no earlier run used, so no cache can answer for it.
    std::string Host(const char* label = "u") const;
    // SetServer, SetCallback and StartCheck; false when any refuses.
    bool StartCheck(const std::string& host, const std::string& path, const std::string& file);
    // The engine insists on setups the test server signs; false when the
    // server's key cannot be read or the engine refuses it.
    bool TrustServerSetupKey();
    // Waits (bounded) for the event that ends the run: a failure, UE_VERSION_READY
    // when no download follows, or UE_DOWNLOAD_DONE.
    bool WaitForEnd(DWORD ms = 60000);
    // Waits (bounded) until some event with this code has been raised.
    bool WaitForEvent(UINT code, DWORD ms = 60000);

    std::vector<SeenEvent> Events();
    void ForgetEvents();
    std::vector<UINT> Codes();
    // Files in the private temporary folder, names only.
    std::vector<std::string> TempFiles() const;
    std::string SetupPath() const { return m_tempDir + "\\VemliSetup.exe"; }
    static bool ReadFile(const std::string& path, std::string& data);
    static bool WriteFile(const std::string& path, const std::string& data);
    static bool Exists(const std::string& path);

    // On UE_VERSION_READY, start the download of this address number (-1: none).
    int m_downloadIndex = 0;
    // On UE_VERSION_READY, download this address instead, when not empty.
    std::string m_downloadOverride;

    // The first two rand() values the handler drew on UE_VERSION_READY.
    int m_randAtReady[2] = {-1, -1};

    CUpdateServerControl m_server;
    std::unique_ptr<CUpdateEngine> m_engine;
    CScratchDir m_scratch{"engine"};
    std::string m_tempDir; // m_scratch's path

private:
    static LONG CALLBACK OnEvent(UINT code, WPARAM wParam, LPARAM lParam, DWORD context);
    void Record(UINT code, WPARAM wParam, LPARAM lParam);

    std::mutex m_lock;
    std::vector<SeenEvent> m_events;
    HANDLE m_hEnded = nullptr;
    std::string m_savedTmp, m_savedTemp;
    static EngineFixture* s_pCurrent;
};

// Expected text in code page 936 from a wide literal, so that the engine's
// GBK bytes are checked against an independent conversion.
std::string Gbk(const wchar_t* text);
// The system's text for a WinINet error, as the engine should report it.
std::string WinInetText(DWORD error);
