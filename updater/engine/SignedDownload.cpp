// The download of a signed setup: into a part that a dropped connection or
// an earlier run leaves to be resumed, kept only once its digest matches.
#include "DebugTrace.h"
#include "EngineHelpers.h"
#include "EngineRules.h"
#include "EngineState.h"
#include "EngineTexts.h"
#include "PartFile.h"
#include "ResumeRules.h"
#include "Sha256.h"

#include <algorithm>
#include <cstdio>

namespace {

// A signed setup is checked as it arrives and held by us alone: WinINet's
// cache would keep a second copy of every byte (100 MB written twice), and
// a copy from it is nothing the signature asked for.
const DWORD kSignedOpenUrlFlags =
    updater::kOpenUrlFlags | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD;

} // namespace

bool CEngineState::PauseUnlessCutOff(DWORD dwMs) {
    if (m_cutOffEvent.IsValid())
        WaitForSingleObject(m_cutOffEvent.Get(), dwMs);
    else
        Sleep(dwMs);
    return !IsCutOff();
}

void CEngineState::DownloadSignedSetup() {
    char szFolder[MAX_PATH] = "";
    char szPath[MAX_PATH] = "";
    const DWORD nFolder = GetTempPathA(MAX_PATH, szFolder);
    const std::string strSetup = nFolder > 0 && nFolder < MAX_PATH &&
                                         updater::BuildSetupPath(szFolder, szPath, sizeof szPath)
                                     ? szPath
                                     : "";
    const std::string strPart = strSetup + updater::kPartSuffix;
    const std::string strRecord = strSetup + updater::kPartRecordSuffix;
    const std::uint64_t nSize = m_signedSetup.size;
    auto deleteBoth = [&] {
        DeleteFileA(strPart.c_str());
        DeleteFileA(strRecord.c_str());
    };

    std::string strAddress = m_szDownloadUrl;
    if (!updater::IsWebAddress(strAddress.c_str())) {
        Notify(UE_DOWNLOAD_CONNECT_FAILED);
        return;
    }
    if (strSetup.empty() || strPart.size() >= MAX_PATH || strRecord.size() >= MAX_PATH) {
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }

    // What an earlier run left is resumed only for this very setup, from
    // the address it came from (still one the document names), and while
    // it is fresh; anything else starts over.
    std::string strRecordText, strValidator;
    updater::PartRecord record;
    const std::int64_t nAge = updater::FileAgeSeconds(strPart.c_str());
    const bool bResumable =
        nAge >= 0 && nAge <= updater::kPartMaxAgeSeconds &&
        updater::ReadSmallFile(strRecord.c_str(), strRecordText) &&
        updater::ParsePartRecord(strRecordText, record) && record.digest == m_signedSetup.digest &&
        record.size == nSize &&
        std::find(m_webUrls.begin(), m_webUrls.end(), record.address) != m_webUrls.end();
    if (!bResumable) {
        deleteBoth();
    } else {
        strAddress = record.address;
        strValidator = record.validator;
    }

    CPartFile part;
    if (!part.Open(strPart.c_str())) {
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    std::unique_ptr<CSha256> pHash = std::make_unique<CSha256>();
    std::uint64_t nReceived = bResumable ? part.Size() : 0;
    if (nReceived > nSize || !part.HashPrefix(*pHash, nReceived)) {
        pHash = std::make_unique<CSha256>();
        nReceived = 0;
    }
    if (!part.TruncateTo(nReceived)) {
        part.Close();
        deleteBoth();
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    if (nReceived > 0)
        updater::DebugTrace("engine: resuming the %llu bytes an earlier run left, from %s",
                            static_cast<unsigned long long>(nReceived), strAddress.c_str());

    // Ends the download as a failure: the part goes unless it may be resumed.
    auto fail = [&](UINT nEvent, const char* pszText, bool bKeepPart) {
        part.Close();
        if (!bKeepPart)
            deleteBoth();
        if (pszText != nullptr)
            SetLastErrorText(pszText);
        Notify(nEvent);
    };

    // A part an earlier run finished needs no request at all.
    bool bReceiving = false;
    for (unsigned nAttempt = 0; nReceived < nSize; ++nAttempt) {
        if (nAttempt > 0) {
            if (nAttempt > updater::kMaxResumptions)
                return fail(UE_CONNECTION_LOST, updater::kTextConnectionLost, true);
            updater::DebugTrace("engine: connection ended at byte %llu of %llu; asking again "
                                "(%u of %u)",
                                static_cast<unsigned long long>(nReceived),
                                static_cast<unsigned long long>(nSize), nAttempt,
                                updater::kMaxResumptions);
            if (!PauseUnlessCutOff(updater::ResumePauseMs(nAttempt)))
                return;
        }
        const bool bRange = nReceived > 0;
        std::string strHeaders;
        if (bRange) {
            strHeaders = "Range: bytes=" + std::to_string(nReceived) + "-\r\n";
            if (!strValidator.empty())
                strHeaders += "If-Range: " + strValidator + "\r\n";
        }

        std::unique_ptr<CUrlFile> pFile;
        try {
            if (!m_pSession)
                throw CInternetException(ERROR_INVALID_HANDLE, updater::kContext);
            pFile = m_pSession->OpenURL(strAddress.c_str(), updater::kContext, kSignedOpenUrlFlags,
                                        bRange ? strHeaders.c_str() : nullptr,
                                        bRange ? DWORD(strHeaders.size()) : 0);
        } catch (const CInternetException& e) {
            if (IsCutOff())
                return;
            if (nAttempt == 0 && !bRange) {
                part.Close();
                deleteBoth();
                Notify(UE_DOWNLOAD_CONNECT_FAILED);
                return;
            }
            SetLastErrorText(e, updater::kTextConnectionLost);
            continue;
        }
        RegisterTransfer(pFile.get());
        auto releaseFile = [this, &pFile] {
            WithdrawTransfer(pFile.get());
            pFile.reset();
        };
        auto* pHttp = dynamic_cast<CHttpFile*>(pFile.get());
        DWORD dwStatus = 0;
        if (IsCutOff() || pHttp == nullptr || !pHttp->QueryInfoStatusCode(dwStatus)) {
            releaseFile();
            if (IsCutOff())
                return;
            return fail(UE_SETUP_MISSING, nullptr, false);
        }
        std::uint64_t nAnnounced = 0;
        const bool bAnnounced = updater::QueryAnnouncedLength(*pHttp, nAnnounced);
        std::string strContentRange, strEtag, strModified;
        if (dwStatus == HTTP_STATUS_OK) {
            // The whole file: a server that does not resume, or a changed
            // file, starts it over.
            if (bAnnounced && nAnnounced != nSize) {
                releaseFile();
                return fail(UE_CONNECTION_LOST, updater::kTextSetupSizeMismatch, false);
            }
            if (nReceived > 0) {
                updater::DebugTrace("engine: the whole setup again (status 200): starting over");
                nReceived = 0;
                pHash = std::make_unique<CSha256>();
                if (!part.TruncateTo(0)) {
                    releaseFile();
                    return fail(UE_LOCAL_FILE_FAILED, nullptr, false);
                }
            }
            const bool bEtag = updater::QueryHeader(*pHttp, HTTP_QUERY_ETAG, strEtag);
            const bool bModified =
                updater::QueryHeader(*pHttp, HTTP_QUERY_LAST_MODIFIED, strModified);
            strValidator = updater::ChooseValidator(bEtag ? strEtag.c_str() : nullptr,
                                                    bModified ? strModified.c_str() : nullptr);
            updater::PartRecord newRecord{strAddress, strValidator, m_signedSetup.digest,
                                          m_signedSetup.size};
            const std::string strText = updater::FormatPartRecord(newRecord);
            if (strText.empty() || !updater::WriteSmallFile(strRecord.c_str(), strText))
                DeleteFileA(strRecord.c_str());
        } else if (dwStatus == HTTP_STATUS_PARTIAL_CONTENT && bRange &&
                   updater::QueryHeader(*pHttp, HTTP_QUERY_CONTENT_RANGE, strContentRange) &&
                   updater::ContinuesFrom(strContentRange.c_str(), nReceived, nSize) &&
                   (!bAnnounced || nAnnounced == nSize - nReceived)) {
            updater::DebugTrace("engine: the server continues at byte %llu (%s)",
                                static_cast<unsigned long long>(nReceived),
                                strContentRange.c_str());
        } else {
            releaseFile();
            updater::DebugTrace(
                "engine: status %lu%s%s: the download fails", static_cast<unsigned long>(dwStatus),
                strContentRange.empty() ? "" : ", Content-Range ", strContentRange.c_str());
            if (nAttempt == 0 && dwStatus != HTTP_STATUS_OK &&
                dwStatus != HTTP_STATUS_PARTIAL_CONTENT)
                return fail(UE_SETUP_MISSING, nullptr, false);
            return fail(UE_CONNECTION_LOST, updater::kTextConnectionLost, false);
        }

        if (!bReceiving) {
            bReceiving = true;
            if (!Notify(UE_DOWNLOAD_RECEIVING))
                return releaseFile();
        }

        // The body, never past the signed size.
        char block[updater::kBlockSize];
        bool bEndedEarly = false;
        try {
            for (;;) {
                const UINT nRead = pFile->Read(block, updater::kBlockSize);
                if (nRead == 0)
                    break;
                if (nRead > nSize - nReceived) {
                    releaseFile();
                    return fail(UE_CONNECTION_LOST, updater::kTextSetupSizeMismatch, false);
                }
                if (!part.Write(block, nRead)) {
                    releaseFile();
                    return fail(UE_LOCAL_FILE_FAILED, nullptr, false);
                }
                pHash->Update(block, nRead);
                nReceived += nRead;
                if (!Notify(UE_DOWNLOAD_PROGRESS, WPARAM(std::uint32_t(nReceived)),
                            LPARAM(std::uint32_t(nSize))))
                    return releaseFile();
            }
        } catch (const CInternetException& e) {
            if (IsCutOff())
                return releaseFile();
            SetLastErrorText(e, updater::kTextConnectionLost);
            bEndedEarly = true;
        }
        releaseFile();
        if (IsCutOff())
            return;
        if (!bEndedEarly && nReceived == nSize)
            break;
    }

    if (!bReceiving && !Notify(UE_DOWNLOAD_RECEIVING))
        return;
    updater::SetupDigest digest;
    if (!pHash->Finish(digest) || digest != m_signedSetup.digest)
        return fail(UE_CONNECTION_LOST, updater::kTextSetupMismatch, false);
    part.Close();
    DeleteFileA(strRecord.c_str());
    if (!MoveFileExA(strPart.c_str(), strSetup.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        deleteBoth();
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    std::snprintf(szPath, sizeof szPath, "%s", strSetup.c_str());
    Notify(UE_DOWNLOAD_DONE, reinterpret_cast<WPARAM>(szPath), 0);
}
