// The hand-over to the downloaded setup program, as a sequence over a few
// system services so that its order and its promise are tested on any host:
// the user is never left without a client. The client executable is copied
// before it is deleted; when the setup cannot start the copy is put back,
// once the setup has started the copy is removed.
#pragma once

#include <cstddef>

namespace updater {

// The copy name number `index` for `clientPath`: the path with ".bak", or
// with ".<index>.bak" after the first. False when the
// name does not fit in `size` bytes; `out` is then unchanged.
bool ClientCopyName(const char* clientPath, unsigned index, char* out, std::size_t size);

} // namespace updater

class CHandOver {
public:
    virtual ~CHandOver() = default;

    // Asks the client to end, pauses, replaces the client executable by the
    // setup's run. A null `clientPath` (the folder too long to name it) still
    // starts the setup but touches no file. Returns whether the setup started.
    bool Run(const char* clientPath, const char* setupPath, const char* setupArguments);

protected:
    // The system services, named apart from the Win32 macros of the same job.
    virtual void CloseClient() = 0;
    virtual void PauseForClient() = 0;
    virtual bool FileExists(const char* path) = 0;
    // Copies to a name that must not exist yet: never overwrites a file.
    virtual bool CopyToNew(const char* from, const char* to) = 0;
    virtual bool Remove(const char* path) = 0;
    virtual bool Rename(const char* from, const char* to) = 0;
    virtual bool StartSetup(const char* path, const char* arguments) = 0;

private:
    // Copies the client to the first free copy name; false when none could
    // be made (`copyPath` is then empty).
    bool CopyClient(const char* clientPath, char* copyPath, std::size_t size);
};
