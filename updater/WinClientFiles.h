// The file services of the client's swap on the real system, shared by the
// updater's hand-over and the guard; each step leaves a trace line.
#pragma once

#include "DebugTrace.h"
#include "SetupLauncher.h"

#include <windows.h>

template <class Base> class CWinClientFiles : public Base {
protected:
    bool FileExists(const char* path) override { return updater::NamesFile(path); }
    bool CopyToNew(const char* from, const char* to) override {
        // Fails when `to` exists: a file that appeared since the name was
        // chosen is not ours to overwrite.
        const bool ok = CopyFileA(from, to, TRUE) != FALSE;
        updater::DebugTrace("copy of %s as %s: %s", from, to, ok ? "made" : "failed");
        return ok;
    }
    bool Remove(const char* path) override {
        const bool ok = DeleteFileA(path) != FALSE;
        updater::DebugTrace("delete %s: %s", path, ok ? "done" : "failed");
        return ok;
    }
    bool Rename(const char* from, const char* to) override {
        const bool ok = MoveFileA(from, to) != FALSE;
        updater::DebugTrace("rename %s to %s: %s", from, to, ok ? "done" : "failed");
        return ok;
    }
};
