// CSignedDownload: the download of a signed setup, in steps. It goes into a
// part that a dropped connection or an earlier run leaves to be resumed
// (prepare the part), asks for what is missing (ask), writes the answer's
// body (receive), and keeps the setup only once its digest matches
// (finish). What each answer or record means is decided by the portable
// rules (SignedDownloadRules.h); this class only talks to WinINet and files.
#pragma once

#include "EngineState.h"
#include "PartFile.h"
#include "Sha256.h"
#include "UrlFile.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

class CHttpFile;

class CSignedDownload {
public:
    explicit CSignedDownload(CEngineState& state);
    ~CSignedDownload();
    CSignedDownload(const CSignedDownload&) = delete;
    CSignedDownload& operator=(const CSignedDownload&) = delete;

    // Raises the download's events until one ends it.
    void Run();

private:
    // How a step left the download: go on to the next step, ask again (one
    // of the run's tries), or ended (its event raised, or cut off by Stop).
    enum class Step { Next, Again, Ended };

    // The paths, and what is kept of an earlier run's part.
    Step PreparePart();
    // Before asking again: the run's tries and their pauses.
    Step PauseBefore(unsigned nAttempt);
    // Opens the request (with a range for the rest) and judges its answer.
    Step Ask(unsigned nAttempt);
    // The answer's body into the part, never past the signed size.
    Step Receive();
    // The digest decides; the part becomes the setup.
    void Finish();

    // A whole answer to a request for the rest: the part starts over.
    Step StartOver();
    // The record of where the part comes from, for the next run.
    void KeepRecord(const CHttpFile& file);
    // Takes the open request out of Stop's reach and closes it.
    void ReleaseFile();
    void DeleteBoth();
    // Ends the download as a failure: the part goes unless it may be resumed.
    Step Fail(UINT nEvent, const char* pszText, bool bKeepPart);

    CEngineState& m_state;
    std::string m_strSetup;
    std::string m_strPart;
    std::string m_strRecord;
    std::string m_strAddress;
    std::string m_strValidator;
    const std::uint64_t m_nSize;
    CPartFile m_part;
    std::unique_ptr<CSha256> m_pHash;
    std::uint64_t m_nReceived = 0;
    bool m_bReceiving = false;
    std::unique_ptr<CUrlFile> m_pFile;
};
