// The check thread's work: the version document fetched, read, and with a
// setup key its signature verified.
#include "AnswerHeaders.h"
#include "DebugTrace.h"
#include "EngineHelpers.h"
#include "EngineRules.h"
#include "EngineState.h"
#include "EngineTexts.h"
#include "Sha256.h"
#include "SmallFiles.h"

#include <cstdio>

bool CEngineState::VerifyDocumentSignature() {
    CVersionInfo::SignedSetup setup;
    if (!m_versionInfo.GetSignedSetup(setup)) {
        updater::Trace(
            "SetupSize, SetupSHA256 or SetupSignature missing, or one of them or SetupExpires "
            "malformed");
        return false;
    }
    const std::string message = updater::SignedSetupMessage(
        m_versionInfo.GetCurrentVersion(), setup.size, setup.digest, setup.expires.c_str());
    updater::SetupDigest messageHash;
    if (!CSha256::Of(message.data(), message.size(), messageHash) ||
        !m_pSetupKey->Verify(messageHash, setup.signature)) {
        updater::Trace("SetupSignature does not verify");
        return false;
    }
    // Only a signed expiry counts, so the clock is asked after the signature.
    const std::int64_t now = std::int64_t(updater::TicksSince1970() / 10000000u);
    if (!setup.expires.empty() && now >= setup.expiresAt) {
        updater::DebugTrace("engine: the version document expired at %s; the publisher must "
                            "sign it again",
                            setup.expires.c_str());
        return false;
    }
    m_webUrls.clear();
    const unsigned nCount = m_versionInfo.GetDownloadUrlCount();
    for (unsigned i = 0; i < nCount; ++i) {
        const char* pszUrl = m_versionInfo.GetDownloadUrl(int(i));
        if (updater::IsWebAddress(pszUrl))
            m_webUrls.emplace_back(pszUrl);
        else
            updater::DebugTrace("engine: download address %u skipped: only http:// and https:// "
                                "are used (%s)",
                                i + 1, pszUrl != nullptr ? pszUrl : "no value");
    }
    if (m_webUrls.empty()) {
        updater::Trace("no usable download address");
        return false;
    }
    m_signedSetup = setup;
    m_bHaveSetupDigest = true;
    return true;
}

// The temporary document is deleted before each closing event, so that an
// owner acting on the event already finds the folder clean.
void CEngineState::CheckVersion() {
    CTempDocument document;
    if (!Notify(UE_CHECK_STARTED))
        return;

    // Drops the request, and takes it out of Stop's reach first.
    auto releaseRequest = [this] {
        if (m_pCurrentProcessFile) {
            WithdrawTransfer(m_pCurrentProcessFile.get());
            m_pCurrentProcessFile.reset();
        }
    };

    try {
        m_pCurrentProcessFile =
            m_pConnection->OpenRequest("GET", m_szObjectName, nullptr, updater::kContext, nullptr,
                                       "HTTP/1.0", INTERNET_FLAG_RELOAD);
        RegisterTransfer(m_pCurrentProcessFile.get());
        m_pCurrentProcessFile->SendRequest(nullptr, 0, nullptr, 0);
    } catch (const CInternetException& e) {
        releaseRequest();
        if (IsCutOff())
            return;
        SetLastErrorText(e, updater::kTextSendFailed);
        document.Delete();
        Notify(UE_SEND_FAILED);
        return;
    }

    DWORD dwStatus = 0;
    if (!m_pCurrentProcessFile->QueryInfoStatusCode(dwStatus) || dwStatus != HTTP_STATUS_OK) {
        releaseRequest();
        char szText[kLastErrorSize];
        std::snprintf(szText, sizeof szText, updater::kTextFileMissingFormat, m_szObjectName);
        SetLastErrorText(szText);
        document.Delete();
        Notify(UE_VERSION_FILE_MISSING);
        return;
    }

    std::uint64_t nAnnounced = 0;
    const bool bAnnounced = updater::QueryAnnouncedLength(*m_pCurrentProcessFile, nAnnounced);
    if (bAnnounced && nAnnounced > updater::kMaxVersionDocumentSize) {
        releaseRequest();
        updater::Trace("version document longer than 64 KiB");
        document.Delete();
        Notify(UE_VERSION_INVALID);
        return;
    }

    CLocalOutput output(document.Path());
    if (!output.IsOpen()) {
        releaseRequest();
        document.Delete();
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }

    const TransferEnd end = Transfer(*m_pCurrentProcessFile, output, bAnnounced, nAnnounced,
                                     updater::kMaxVersionDocumentSize, UE_VERSION_INVALID, nullptr);
    const bool bKept = end.kind == TransferEnd::Done && output.Keep();
    releaseRequest();
    if (!bKept) {
        output.Discard();
        document.Delete();
        if (end.kind == TransferEnd::Failed)
            Notify(end.nEvent);
        else if (end.kind == TransferEnd::Done)
            Notify(UE_LOCAL_FILE_FAILED);
        return;
    }

    m_versionInfo.Empty();
    m_pConnection.reset();

    bool bValid = m_versionInfo.LoadVersion(document.Path());
    document.Delete();
    if (bValid && m_pSetupKey && !VerifyDocumentSignature()) {
        // Nothing of an unsigned document may be acted on.
        m_versionInfo.Empty();
        m_webUrls.clear();
        bValid = false;
    }
    Notify(bValid ? UE_VERSION_READY : UE_VERSION_INVALID);
}
