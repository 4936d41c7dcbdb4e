#include "GuardLauncher.h"

#include "DebugTrace.h"
#include "GuardFolder.h"
#include "GuardRules.h"
#include "TextRules.h"
#include "UniqueHandle.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

void SetInheritable(HANDLE handle, bool inheritable) {
    if (handle != nullptr) {
        SetHandleInformation(handle, HANDLE_FLAG_INHERIT, inheritable ? HANDLE_FLAG_INHERIT : 0);
    }
}

} // namespace

CGuardLauncher::~CGuardLauncher() {
    if (m_szFolder[0] != '\0' && !m_bStarted) {
        updater::RemoveGuardFolder(m_szFolder);
    }
}

bool CGuardLauncher::Prepare() {
    char self[updater::kPathSize];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) {
        return false;
    }
    if (!updater::MakeGuardFolder(m_szFolder, sizeof m_szFolder)) {
        updater::DebugTrace("no guard: its folder cannot be made in the temporary folder");
        return false;
    }
    char exe[updater::kPathSize];
    if (!updater::JoinPath(m_szFolder, updater::kGuardExeName, exe, sizeof exe) ||
        !CopyFileA(self, exe, TRUE)) {
        updater::DebugTrace("no guard: updater.exe cannot be copied to %s", m_szFolder);
        updater::RemoveGuardFolder(m_szFolder);
        m_szFolder[0] = '\0';
        return false;
    }
    updater::CopyFittingText(m_szExe, sizeof m_szExe, exe);
    updater::DebugTrace("guard prepared in %s", m_szFolder);
    return true;
}

bool CGuardLauncher::AdoptSetup(char* path, std::size_t size) {
    const char* name = std::strrchr(path, '\\');
    char moved[updater::kPathSize];
    if (!IsPrepared() || name == nullptr ||
        !updater::JoinPath(m_szFolder, name + 1, moved, sizeof moved) ||
        !MoveFileExA(path, moved, MOVEFILE_COPY_ALLOWED)) {
        updater::DebugTrace("setup stays in %s", path);
        return false;
    }
    updater::DebugTrace("setup moved to %s", moved);
    return updater::CopyFittingText(path, size, moved);
}

bool CGuardLauncher::Start(updater::GuardOrder order, HANDLE instanceMutex, HANDLE heldSetup) {
    HANDLE self = nullptr;
    if (!IsPrepared() || instanceMutex == nullptr ||
        !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                         SYNCHRONIZE, TRUE, 0)) {
        return false;
    }
    CKernelHandle ownProcess(self);
    order.updaterProcess = reinterpret_cast<std::uintptr_t>(self);
    order.instanceMutex = reinterpret_cast<std::uintptr_t>(instanceMutex);
    order.heldSetup = reinterpret_cast<std::uintptr_t>(heldSetup);
    std::string arguments;
    if (!updater::FormatGuardArguments(order, arguments)) {
        return false;
    }
    std::string commandLine = std::string("\"") + m_szExe + "\" " + arguments;
    HANDLE handles[3] = {self, instanceMutex, heldSetup};
    const DWORD count = heldSetup != nullptr ? 3 : 2;
    SetInheritable(instanceMutex, true);
    SetInheritable(heldSetup, true);
    m_bStarted = CreateGuardProcess(&commandLine[0], handles, count);
    SetInheritable(instanceMutex, false);
    SetInheritable(heldSetup, false);
    updater::DebugTrace("guard %s at %llu ms: %s %s", m_bStarted ? "started" : "did not start",
                        static_cast<unsigned long long>(GetTickCount64()), updater::kGuardExeName,
                        arguments.substr(0, arguments.find('"')).c_str());
    return m_bStarted;
}

// Only the handles named are inherited, not whatever else of ours (or of
// whoever started us) happens to be inheritable. Where the system cannot
// limit them, every inheritable handle goes along.
bool CGuardLauncher::CreateGuardProcess(char* commandLine, HANDLE* handles, DWORD count) {
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<char> listBuffer(listSize);
    auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBuffer.data());
    STARTUPINFOEXA startup = {};
    startup.StartupInfo.cb = sizeof startup;
    DWORD flags = 0;
    if (listSize > 0 && InitializeProcThreadAttributeList(list, 1, 0, &listSize)) {
        if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                      count * sizeof(HANDLE), nullptr, nullptr)) {
            startup.lpAttributeList = list;
            flags = EXTENDED_STARTUPINFO_PRESENT;
        }
    }
    PROCESS_INFORMATION process = {};
    const bool started = CreateProcessA(m_szExe, commandLine, nullptr, nullptr, TRUE, flags,
                                        nullptr, m_szFolder, &startup.StartupInfo, &process);
    if (startup.lpAttributeList != nullptr) {
        DeleteProcThreadAttributeList(list);
    }
    if (!started) {
        updater::DebugTrace("guard did not start: error %lu", GetLastError());
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
