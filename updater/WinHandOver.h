// The hand-over sequence on the real system: client windows, files and
// process creation of Win32.
#pragma once

#include "HandOver.h"

class CWinHandOver : public CHandOver {
protected:
    void CloseClient() override;
    void PauseForClient() override;
    bool FileExists(const char* path) override;
    bool CopyToNew(const char* from, const char* to) override;
    bool Remove(const char* path) override;
    bool Rename(const char* from, const char* to) override;
    bool StartSetup(const char* path, const char* arguments) override;
};
