#include "HandOver.h"

#include "TextRules.h"
#include "UpdaterConstants.h"

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

bool CHandOver::CopyClient(const char* clientPath, char* copyPath, std::size_t size) {
    copyPath[0] = '\0';
    for (unsigned index = 0; index < updater::kClientCopyNames; ++index) {
        char candidate[updater::kPathSize];
        if (!updater::ClientCopyName(clientPath, index, candidate, sizeof candidate) ||
            std::strlen(candidate) + 1 > size) {
            return false; // longer names do not fit either
        }
        if (FileExists(candidate)) {
            continue; // the user's file, or a copy left by an earlier run
        }
        if (CopyToNew(clientPath, candidate)) {
            return updater::CopyFittingText(copyPath, size, candidate);
        }
        if (!FileExists(candidate)) {
            return false; // the copy itself failed, not the name
        }
    }
    return false;
}

bool CHandOver::Run(const char* clientPath, const char* setupPath, const char* setupArguments) {
    CloseClient();
    PauseForClient();

    // Without a copy the executable stays where it is: deleting it could
    // leave nothing to run if the setup then fails to start.
    char copyPath[updater::kPathSize] = "";
    bool haveCopy = false;
    if (clientPath != nullptr && FileExists(clientPath)) {
        haveCopy = CopyClient(clientPath, copyPath, sizeof copyPath);
    }
    if (haveCopy) {
        // Fails while the client still runs; its file then simply stays.
        Remove(clientPath);
    }

    const bool started = StartSetup(setupPath, setupArguments);
    if (!haveCopy) {
        return started;
    }
    if (started || FileExists(clientPath)) {
        Remove(copyPath);
    } else {
        // Should the rename fail the copy stays: it still holds the client.
        Rename(copyPath, clientPath);
    }
    return started;
}
