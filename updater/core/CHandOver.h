// The hand-over to the downloaded setup program, as a sequence over a few
// system services so that its order and its promise are tested on any host:
// the user is never left without a client. The client executable is copied
// before it is deleted; when the setup cannot start the copy is put back,
// once the setup has started the copy is removed.
#pragma once

namespace updater {

class CHandOver {
public:
    virtual ~CHandOver() = default;

    // Asks the client to end, pauses, replaces the client executable by the
    // setup's run. Returns whether the setup started.
    bool Run(const char* clientPath, const char* copyPath, const char* setupPath,
             const char* setupArguments);

protected:
    // The system services, named apart from the Win32 macros of the same job.
    virtual void CloseClient() = 0;
    virtual void PauseForClient() = 0;
    virtual bool FileExists(const char* path) = 0;
    virtual bool CopyTo(const char* from, const char* to) = 0;
    virtual bool Remove(const char* path) = 0;
    virtual bool Rename(const char* from, const char* to) = 0;
    virtual bool StartSetup(const char* path, const char* arguments) = 0;
};

} // namespace updater
