#include "FailedSetupFile.h"

#include "DebugTrace.h"
#include "GuardFolder.h"
#include "TextRules.h"
#include "UniqueHandle.h"
#include "UpdaterConstants.h"

#include <windows.h>

namespace updater {

namespace {

// A record is about 120 bytes; anything longer is no record of ours.
constexpr DWORD kMaxRecordSize = 512;

bool RecordPath(char* out, std::size_t size) {
    char temp[kPathSize];
    return TempFolder(temp, sizeof temp) && JoinPath(temp, kFailedSetupRecordName, out, size);
}

} // namespace

bool ReadFailedSetupFile(std::string& text) {
    char path[kPathSize];
    if (!RecordPath(path, sizeof path)) {
        return false;
    }
    CKernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        return false;
    }
    char buffer[kMaxRecordSize + 1];
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) || read > kMaxRecordSize) {
        return false;
    }
    text.assign(buffer, read);
    return true;
}

bool WriteFailedSetupFile(const FailedSetup& failed) {
    char path[kPathSize];
    if (!RecordPath(path, sizeof path)) {
        return false;
    }
    const std::string text = FormatFailedSetupRecord(failed);
    CKernelHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const bool ok =
        file.IsValid() &&
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    DebugTrace("failed setup recorded in %s: %s", path, ok ? "yes" : "no");
    return ok;
}

} // namespace updater
