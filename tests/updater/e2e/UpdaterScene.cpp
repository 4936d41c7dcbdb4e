#include "UpdaterScene.h"

#include "UpdaterConstants.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// The current environment with the variables of `settings` set (or, with an
// empty value, removed).
std::vector<char> EnvironmentWith(const std::map<std::string, std::string>& settings) {
    std::vector<char> block;
    char* strings = GetEnvironmentStringsA();
    for (const char* p = strings; p != nullptr && *p != '\0'; p += std::strlen(p) + 1) {
        const char* equals = std::strchr(p + 1, '=');
        const std::string name(p, equals != nullptr ? equals : p + std::strlen(p));
        const bool replaced =
            std::any_of(settings.begin(), settings.end(), [&](const auto& setting) {
                return _stricmp(setting.first.c_str(), name.c_str()) == 0;
            });
        if (!replaced) {
            block.insert(block.end(), p, p + std::strlen(p) + 1);
        }
    }
    if (strings != nullptr) {
        FreeEnvironmentStringsA(strings);
    }
    for (const auto& setting : settings) {
        if (!setting.second.empty()) {
            const std::string entry = setting.first + "=" + setting.second;
            block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
        }
    }
    block.push_back('\0');
    return block;
}

} // namespace

constexpr char CUpdaterScene::kOldClient[];
constexpr char CUpdaterScene::kNewClientMark[];

CUpdaterScene::CUpdaterScene(const std::string& name, std::size_t appFolderLength)
    : m_name(name), m_scratch(name) {
    m_root = m_scratch.Path().string();
    m_app = m_root + "\\app";
    if (appFolderLength > m_app.size()) {
        m_app += std::string(appFolderLength - m_app.size(), 'a');
    }
    m_temp = m_root + "\\temp";
    std::error_code error;
    fs::create_directories(m_app, error);
    fs::create_directories(m_temp, error);
    fs::copy_file(BuildOutput(UPDATER_EXE), m_app + "\\updater.exe", error);
    if (error) {
        return;
    }
    WriteBytes(AppFile("Vemli.exe"), kOldClient);
    m_environment = {{"TEMP", m_temp},
                     {"TMP", m_temp},
                     {"VEMLI_SETUP_STANDIN_RECORDS", m_temp},
                     {"VEMLI_SETUP_STANDIN", "new-client"}};
    m_ready = m_server.IsAvailable();
}

CUpdaterScene::~CUpdaterScene() {
    for (HANDLE client : m_clients) {
        if (WaitForSingleObject(client, 0) == WAIT_TIMEOUT) {
            TerminateProcess(client, 1);
            WaitForSingleObject(client, 5000);
        }
        CloseHandle(client);
    }
}

void CUpdaterScene::WriteServerIni() {
    WriteServerIni("[Update]\r\nServer=update.example\r\nPath=/" + m_name +
                   "/\r\nFile=version.ini\r\n[Server]\r\nmain=update.example:80\r\n");
}

void CUpdaterScene::WriteServerIni(const std::string& content) {
    WriteBytes(AppFile("Server.ini"), content);
}

std::string CUpdaterScene::ServeSetupBody(const std::string& host, const std::string& body,
                                          int status, const std::string& mode) {
    const std::string path = "/" + m_name + "-" + std::to_string(GetTickCount64()) + "-" +
                             std::to_string(++m_serial) + "/VemliSetup.exe";
    m_server.Route(path, body, status, mode);
    return "http://" + host + path;
}

std::string CUpdaterScene::ServeSetup(const std::string& host) {
    return ServeSetupBody(host, ReadFile(BuildOutput(UPDATER_SETUP_STANDIN_EXE)));
}

bool CUpdaterScene::ServeVersion(const std::string& currentVersion,
                                 const std::vector<std::string>& urls) {
    std::string document =
        "[Version]\r\nCurrentVersion=" + currentVersion + "\r\n[DownloadUrls]\r\n";
    char key = 'a';
    for (const std::string& url : urls) {
        document += std::string(1, key++) + "=" + url + "\r\n";
    }
    return ServeVersionDocument(document);
}

bool CUpdaterScene::ServeVersionDocument(const std::string& document, int status,
                                         const std::string& mode, int stallSeconds) {
    return m_server.Route("/" + m_name + "/version.ini", document, status, mode, 0, stallSeconds);
}

bool CUpdaterScene::StartClient(const std::string& title, int answer, const std::string& program,
                                const std::string& tamperPath) {
    return StartClientProcess(title, std::to_string(answer), program, 120000, tamperPath);
}

bool CUpdaterScene::StartHungClient(const std::string& title, DWORD hangMs) {
    return StartClientProcess(title, "hang", "", hangMs, "");
}

bool CUpdaterScene::StartClientProcess(const std::string& title, const std::string& answer,
                                       const std::string& program, DWORD lifetimeMs,
                                       const std::string& tamperPath) {
    const std::string log = m_root + "\\client" + std::to_string(m_clients.size()) + ".log";
    const std::string exe = program.empty() ? BuildOutput(UPDATER_CLIENT_STANDIN_EXE) : program;
    std::string commandLine = "\"" + exe + "\" \"" + title + "\" " + answer + " \"" + log + "\" " +
                              std::to_string(lifetimeMs);
    if (!tamperPath.empty()) {
        commandLine += " \"" + tamperPath + "\"";
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    m_clients.push_back(process.hProcess);
    m_clientLogs.push_back(log);
    return WaitUntil(
        [&] {
            const std::vector<std::string> lines = ReadLines(log);
            return !lines.empty() && lines[0].rfind("ready", 0) == 0;
        },
        10000);
}

std::vector<std::string> CUpdaterScene::ClientLog(std::size_t index) const {
    return index < m_clientLogs.size() ? ReadLines(m_clientLogs[index])
                                       : std::vector<std::string>{};
}

void CUpdaterScene::SetEnvironment(const std::string& name, const std::string& value) {
    m_environment[name] = value;
}

HANDLE CUpdaterScene::StartUpdater(const std::string& tail, bool quoted) {
    const std::string path = AppFile("updater.exe");
    std::string commandLine = (quoted ? "\"" + path + "\"" : path) + tail;
    std::vector<char> environment = EnvironmentWith(m_environment);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Started from the temporary folder: the updater must move to its own.
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                        environment.data(), m_temp.c_str(), &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

long CUpdaterScene::RunUpdater(const std::string& tail, DWORD timeoutMs) {
    HANDLE process = StartUpdater(tail);
    if (process == nullptr) {
        return -1;
    }
    long result = -2;
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        result = WaitForHandOver() ? static_cast<long>(code) : -2;
    } else {
        TerminateProcess(process, 1);
    }
    CloseHandle(process);
    return result;
}

bool CUpdaterScene::WaitForHandOver(DWORD timeoutMs) {
    return WaitUntil(
        [] {
            HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, updater::kInstanceMutexName);
            if (mutex == nullptr) {
                return true;
            }
            CloseHandle(mutex);
            return false;
        },
        timeoutMs);
}

bool CUpdaterScene::HasNewClient() const {
    const std::string client = ReadFile(AppFile("Vemli.exe"));
    const std::string mark = kNewClientMark;
    return client.size() > mark.size() &&
           client.compare(client.size() - mark.size(), mark.size(), mark) == 0;
}

std::map<std::string, std::string> CUpdaterScene::WaitForSetupRecord(DWORD timeoutMs) const {
    std::map<std::string, std::string> record;
    const std::string path = TempFile("VemliSetup.exe.record");
    std::vector<std::string> lines;
    // The setup writes its record whole, then ends.
    if (!WaitUntil([&] { return (lines = ReadLines(path)).size() >= 5; }, timeoutMs)) {
        return record;
    }
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            record[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return record;
}

bool CUpdaterScene::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string CUpdaterScene::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string SceneName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

bool LogHas(const std::vector<std::string>& log, const std::string& prefix) {
    return std::any_of(log.begin(), log.end(),
                       [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}
