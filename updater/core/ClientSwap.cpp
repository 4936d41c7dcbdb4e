#include "ClientSwap.h"

#include "TextRules.h"

#include <cstdio>
#include <cstring>

namespace updater {

bool ClientCopyName(const char* clientPath, unsigned index, char* out, std::size_t size) {
    if (clientPath == nullptr || out == nullptr) {
        return false;
    }
    char suffix[24];
    if (index == 0) {
        std::snprintf(suffix, sizeof suffix, "%s", kClientCopySuffix);
    } else {
        std::snprintf(suffix, sizeof suffix, ".%u%s", index, kClientCopySuffix);
    }
    const std::size_t length = std::strlen(clientPath);
    const std::size_t suffixLength = std::strlen(suffix);
    if (length + suffixLength + 1 > size) {
        return false;
    }
    std::memcpy(out, clientPath, length);
    std::memcpy(out + length, suffix, suffixLength + 1);
    return true;
}

} // namespace updater

bool CClientSwap::CopyClient(const char* clientPath) {
    for (unsigned index = 0; index < updater::kClientCopyNames; ++index) {
        char candidate[updater::kPathSize];
        if (!updater::ClientCopyName(clientPath, index, candidate, sizeof candidate)) {
            return false; // longer names do not fit either
        }
        if (FileExists(candidate)) {
            continue; // the user's file, or a copy left by an earlier run
        }
        if (CopyToNew(clientPath, candidate)) {
            return updater::CopyFittingText(m_copyPath, sizeof m_copyPath, candidate);
        }
        if (!FileExists(candidate)) {
            return false; // the copy itself failed, not the name
        }
    }
    return false;
}

bool CClientSwap::SwapAndStart(const char* clientPath, const char* setupPath,
                               const char* setupArguments) {
    m_copyPath[0] = '\0';
    if (clientPath != nullptr && FileExists(clientPath) && CopyClient(clientPath)) {
        // Fails while the client still runs; its file then simply stays.
        Remove(clientPath);
    }
    return StartSetup(setupPath, setupArguments);
}

bool CClientSwap::PutClientBack(const char* clientPath) {
    if (!HaveCopy() || clientPath == nullptr) {
        return false;
    }
    if (Rename(m_copyPath, clientPath)) {
        m_copyPath[0] = '\0';
        return true;
    }
    if (!CopyToNew(m_copyPath, clientPath)) {
        return false;
    }
    DropCopy();
    return true;
}

void CClientSwap::DropCopy() {
    if (HaveCopy()) {
        Remove(m_copyPath);
        m_copyPath[0] = '\0';
    }
}
