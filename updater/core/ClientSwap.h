// The client executable's side of a hand-over, over a few file services so
// that it is tested on any host: the client is copied to a kept copy before
// it is deleted, the setup is started, and the copy can be put back.
#pragma once

#include "UpdaterConstants.h"

#include <cstddef>

namespace updater {

// The copy name number `index` for `clientPath`: the path with ".bak", or
// with ".<index>.bak" after the first. False when the
// name does not fit in `size` bytes; `out` is then unchanged.
bool ClientCopyName(const char* clientPath, unsigned index, char* out, std::size_t size);

} // namespace updater

class CClientSwap {
public:
    virtual ~CClientSwap() = default;

protected:
    // Copies the client (when it exists and a copy can be made) and deletes
    // it, then starts the setup. Without a copy the executable stays where it
    // is: deleting it could leave nothing to run. A null `clientPath` (the
    // folder too long to name it) touches no file. Returns whether the setup
    // started.
    bool SwapAndStart(const char* clientPath, const char* setupPath, const char* setupArguments);
    bool HaveCopy() const { return m_copyPath[0] != '\0'; }
    const char* CopyPath() const { return m_copyPath; }
    // Renames the copy back to `clientPath`, or copies it where the rename
    // fails. Should both fail the copy stays: it still holds the client.
    bool PutClientBack(const char* clientPath);
    void DropCopy();

    // The system services, named apart from the Win32 macros of the same job.
    virtual bool FileExists(const char* path) = 0;
    // Copies to a name that must not exist yet: never overwrites a file.
    virtual bool CopyToNew(const char* from, const char* to) = 0;
    virtual bool Remove(const char* path) = 0;
    virtual bool Rename(const char* from, const char* to) = 0;
    virtual bool StartSetup(const char* path, const char* arguments) = 0;

private:
    // Copies the client to the first free copy name; false when none could
    // be made.
    bool CopyClient(const char* clientPath);

    char m_copyPath[updater::kPathSize] = "";
};
