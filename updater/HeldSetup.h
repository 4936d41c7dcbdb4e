// CHeldSetup: the downloaded setup held open so that nobody can write,
// replace or delete it (only reading is shared), and checked against the
// signed digest through that very handle. Held from the check until
// CreateProcessA has started the file, so the bytes checked are the bytes run.
#pragma once

#include "SignedSetup.h"
#include "UniqueHandle.h"

class CHeldSetup {
public:
    // Opens `path` and hashes it from the held handle. True when its bytes
    // have `digest`; otherwise the file is released again.
    bool OpenVerified(const char* path, const updater::SetupDigest& digest);
    bool IsHeld() const { return m_file.IsValid(); }
    // The held handle (null when none), for a guard to inherit.
    HANDLE Handle() const { return IsHeld() ? m_file.Get() : nullptr; }
    void Release() { m_file.Reset(); }

private:
    CKernelHandle m_file;
};
