#include "WinGuard.h"

#include "FailedSetupFile.h"
#include "GuardRules.h"
#include "SetupLauncher.h"
#include "TextRules.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

HANDLE AsHandle(std::uint64_t value) {
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}

unsigned long long Now() {
    return GetTickCount64();
}

} // namespace

CWinGuard::CWinGuard(const updater::GuardOrder& order)
    : m_order(order), m_updater(AsHandle(order.updaterProcess)),
      m_instanceMutex(AsHandle(order.instanceMutex)), m_heldSetup(AsHandle(order.heldSetup)) {}

void CWinGuard::Run() {
    char clientPath[updater::kPathSize];
    const bool named = updater::JoinPath(m_order.installFolder.c_str(), updater::kClientExeName,
                                         clientPath, sizeof clientPath);
    CGuard::Run(named ? clientPath : nullptr, m_order.setupPath.c_str(),
                m_order.setupArguments.c_str(), m_order.clientAgreed);
    RemoveOwnSetup();
    updater::DebugTrace("guard ends at %llu ms", Now());
}

void CWinGuard::WaitForUpdater() {
    if (WaitForSingleObject(m_updater.Get(), updater::kUpdaterEndWaitMs) != WAIT_OBJECT_0) {
        updater::DebugTrace("the updater has not ended: the setup starts all the same");
    }
    m_updater.Reset();
    updater::DebugTrace("updater ended at %llu ms", Now());
}

// The install folder is the setup's current folder, as it was the updater's;
// a signed setup is let go only once it runs.
bool CWinGuard::StartSetup(const char* path, const char* arguments) {
    const bool started =
        updater::RunSetup(path, arguments, m_order.installFolder.c_str(), &m_setup);
    m_heldSetup.Reset();
    updater::DebugTrace("setup %s at %llu ms", started ? "started" : "did not start", Now());
    return started;
}

bool CWinGuard::WaitForSetup() {
    const std::uint32_t limit =
        updater::GuardSetupLimitMs(std::getenv(updater::kGuardLimitVariable));
    if (WaitForSingleObject(m_setup.Get(), limit) != WAIT_OBJECT_0) {
        updater::DebugTrace("setup still runs at %llu ms, after %lu ms: no longer watched", Now(),
                            static_cast<unsigned long>(limit));
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_setup.Get(), &code);
    updater::DebugTrace("setup ended at %llu ms, exit code 0x%lX", Now(), code);
    return true;
}

void CWinGuard::RecordFailure() {
    updater::FailedSetup failed;
    failed.version = m_order.version;
    failed.digestHex = m_order.digestHex;
    failed.time = static_cast<std::int64_t>(std::time(nullptr));
    updater::WriteFailedSetupFile(failed);
}

void CWinGuard::ReleaseInstance() {
    m_instanceMutex.Reset();
}

void CWinGuard::RestartClient(const char* clientPath) {
    std::string commandLine = std::string("\"") + clientPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const bool started =
        CreateProcessA(clientPath, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       m_order.installFolder.c_str(), &startup, &process) != FALSE;
    updater::DebugTrace("client %s again at %llu ms", started ? "started" : "not started", Now());
    if (started) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// A signed setup was moved into this folder; once it has ended it goes (our
// own running file cannot, and waits for the next run).
void CWinGuard::RemoveOwnSetup() {
    char self[updater::kPathSize];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    char* slash = length > 0 && length < sizeof self ? std::strrchr(self, '\\') : nullptr;
    const char* setup = m_order.setupPath.c_str();
    const char* setupSlash = std::strrchr(setup, '\\');
    if (slash == nullptr || setupSlash == nullptr || !m_setup.IsValid() ||
        WaitForSingleObject(m_setup.Get(), 0) != WAIT_OBJECT_0) {
        return;
    }
    const std::size_t folderLength = static_cast<std::size_t>(slash - self);
    if (static_cast<std::size_t>(setupSlash - setup) == folderLength &&
        _strnicmp(self, setup, folderLength) == 0) {
        DeleteFileA(setup);
    }
}

namespace updater {

void RunGuard(const char* arguments) {
    GuardOrder order;
    if (!ParseGuardArguments(arguments, order)) {
        DebugTrace("guard arguments not understood: %s", arguments);
        return;
    }
    DebugTrace("guard runs at %llu ms", Now());
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    CWinGuard guard(order);
    guard.Run();
}

} // namespace updater
