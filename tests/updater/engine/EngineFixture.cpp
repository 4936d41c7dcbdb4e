#include "EngineFixture.h"

#include "SignedSetup.h"
#include "WinTestSupport.h"

#include <wininet.h>

#include <algorithm>
#include <cstdlib>

EngineFixture* EngineFixture::s_pCurrent = nullptr;

namespace {
std::string GetEnv(const char* name) {
    char value[1024];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

bool IsEnding(UINT code) {
    return code == UE_DOWNLOAD_DONE || updater::IsFailureEvent(code);
}
} // namespace

void EngineFixture::SetUp() {
    ASSERT_TRUE(m_server.IsAvailable()) << "run under tools/update_server/with_update_server.sh";
    m_tempDir = m_scratch.Path().string();
    m_savedTmp = GetEnv("TMP");
    m_savedTemp = GetEnv("TEMP");
    SetEnvironmentVariableA("TMP", m_tempDir.c_str());
    SetEnvironmentVariableA("TEMP", m_tempDir.c_str());
    m_hEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_engine = std::make_unique<CUpdateEngine>();
    s_pCurrent = this;
}

void EngineFixture::TearDown() {
    if (m_engine)
        m_engine->Stop();
    m_engine.reset();
    s_pCurrent = nullptr;
    SetEnvironmentVariableA("TMP", m_savedTmp.empty() ? nullptr : m_savedTmp.c_str());
    SetEnvironmentVariableA("TEMP", m_savedTemp.empty() ? nullptr : m_savedTemp.c_str());
    for (const std::string& name : TempFiles())
        DeleteFileA((m_tempDir + "\\" + name).c_str());
    RemoveDirectoryA(m_tempDir.c_str());
    if (m_hEnded)
        CloseHandle(m_hEnded);
}

std::string EngineFixture::Host(const char* label) const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return std::string(label) + std::to_string(m_server.Port()) + "-" +
           std::to_string(GetCurrentProcessId()) + "-" + std::to_string(now.QuadPart % 1000000007) +
           ".vemli.test";
}

bool EngineFixture::StartCheck(const std::string& host, const std::string& path,
                               const std::string& file) {
    m_engine->SetServer(host.c_str(), path.c_str(), file.c_str());
    if (!m_engine->SetCallback(&EngineFixture::OnEvent, 0))
        return false;
    return m_engine->StartCheck();
}

bool EngineFixture::TrustServerSetupKey() {
    updater::SetupKey key;
    return updater::ParseHexBytes(m_server.SetupKey().c_str(), key) && m_engine->SetSetupKey(key);
}

LONG CALLBACK EngineFixture::OnEvent(UINT code, WPARAM wParam, LPARAM lParam, DWORD) {
    if (s_pCurrent)
        s_pCurrent->Record(code, wParam, lParam);
    return 0;
}

void EngineFixture::Record(UINT code, WPARAM wParam, LPARAM lParam) {
    SeenEvent seen{code, wParam, lParam, {}, GetCurrentThreadId()};
    if (code == UE_DOWNLOAD_DONE && wParam != 0)
        seen.path = reinterpret_cast<const char*>(wParam);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.push_back(seen);
    }
    bool ended = IsEnding(code);
    if (code == UE_VERSION_READY) {
        m_randAtReady[0] = std::rand();
        m_randAtReady[1] = std::rand();
        if (!m_downloadOverride.empty())
            m_engine->StartDownload(m_downloadOverride.c_str());
        else if (m_downloadIndex >= 0)
            m_engine->StartDownload(m_engine->GetDownloadUrl(m_downloadIndex));
        else
            ended = true;
    }
    if (ended)
        SetEvent(m_hEnded);
}

bool EngineFixture::WaitForEnd(DWORD ms) {
    return WaitForSingleObject(m_hEnded, ms) == 0;
}

bool EngineFixture::WaitForEvent(UINT code, DWORD ms) {
    return WaitUntil(
        [&] {
            const std::vector<SeenEvent> events = Events();
            return std::any_of(events.begin(), events.end(),
                               [&](const SeenEvent& e) { return e.code == code; });
        },
        ms, 10);
}

std::vector<SeenEvent> EngineFixture::Events() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_events;
}

void EngineFixture::ForgetEvents() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_events.clear();
    ResetEvent(m_hEnded);
}

std::vector<UINT> EngineFixture::Codes() {
    std::vector<UINT> codes;
    for (const SeenEvent& e : Events())
        codes.push_back(e.code);
    return codes;
}

std::vector<std::string> EngineFixture::TempFiles() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((m_tempDir + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

bool EngineFixture::ReadFile(const std::string& path, std::string& data) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    data.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.append(buffer, n);
    std::fclose(f);
    return true;
}

bool EngineFixture::WriteFile(const std::string& path, const std::string& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

bool EngineFixture::Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Gbk(const wchar_t* text) {
    char buffer[1024];
    int n = WideCharToMultiByte(936, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return n > 0 ? std::string(buffer, size_t(n - 1)) : std::string();
}

std::string WinInetText(DWORD error) {
    char buffer[1024] = "";
    DWORD n =
        FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                       GetModuleHandleA("wininet.dll"), error, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, n);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}
