// The download of a setup no key signs: the address's file as it comes.
#include "AfxParseURL.h"
#include "AnswerHeaders.h"
#include "EngineHelpers.h"
#include "EngineRules.h"
#include "EngineState.h"

void CEngineState::DownloadSetup() {
    if (!Notify(UE_DOWNLOAD_STARTED))
        return;
    if (m_pSetupKey)
        return DownloadSignedSetup();

    DWORD dwService = AFX_INET_SERVICE_HTTP;
    std::string strServer, strObject;
    INTERNET_PORT nPort = 0;
    if (!AfxParseURL(m_szDownloadUrl, dwService, strServer, strObject, nPort))
        dwService = AFX_INET_SERVICE_HTTP;

    std::unique_ptr<CUrlFile> pFile;
    try {
        if (!m_pSession)
            throw CInternetException(ERROR_INVALID_HANDLE, updater::kContext);
        pFile = m_pSession->OpenURL(m_szDownloadUrl, updater::kContext, updater::kOpenUrlFlags,
                                    nullptr, 0);
    } catch (const CInternetException&) {
        Notify(UE_DOWNLOAD_CONNECT_FAILED);
        return;
    }
    RegisterTransfer(pFile.get());
    // Takes the stream out of Stop's reach before it is destroyed.
    auto releaseFile = [this, &pFile] {
        WithdrawTransfer(pFile.get());
        pFile.reset();
    };
    if (IsCutOff())
        return releaseFile();

    std::uint32_t nTotal = 0;
    std::uint64_t nAnnounced = 0;
    bool bAnnounced = false;
    auto* pHttp = dynamic_cast<CHttpFile*>(pFile.get());
    if ((dwService == AFX_INET_SERVICE_HTTP || dwService == AFX_INET_SERVICE_HTTPS) && pHttp) {
        DWORD dwStatus = 0;
        if (!pHttp->QueryInfoStatusCode(dwStatus) || dwStatus != HTTP_STATUS_OK) {
            releaseFile();
            Notify(UE_SETUP_MISSING);
            return;
        }
        bAnnounced = updater::QueryAnnouncedLength(*pHttp, nAnnounced);
        nTotal = bAnnounced ? std::uint32_t(nAnnounced) : std::uint32_t(pFile->GetLength());
    } else {
        nTotal = std::uint32_t(pFile->GetLength());
    }
    char szFolder[MAX_PATH] = "";
    char szPath[MAX_PATH] = "";
    const DWORD nFolder = GetTempPathA(MAX_PATH, szFolder);
    if (nFolder == 0 || nFolder >= MAX_PATH ||
        !updater::BuildSetupPath(szFolder, szPath, sizeof szPath))
        szPath[0] = '\0';
    CLocalOutput output(szPath);
    if (!output.IsOpen()) {
        releaseFile();
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    if (!Notify(UE_DOWNLOAD_RECEIVING))
        return releaseFile();

    const TransferEnd end = Transfer(
        *pFile, output, bAnnounced, nAnnounced, UINT64_MAX, UE_CONNECTION_LOST,
        [&](const char*, UINT, std::uint64_t nReceived) {
            return Notify(UE_DOWNLOAD_PROGRESS, WPARAM(std::uint32_t(nReceived)), LPARAM(nTotal));
        });
    releaseFile();
    if (end.kind != TransferEnd::Done) {
        output.Discard();
        if (end.kind == TransferEnd::Failed)
            Notify(end.nEvent);
        return;
    }
    if (!output.Keep()) {
        Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    Notify(UE_DOWNLOAD_DONE, reinterpret_cast<WPARAM>(szPath), 0);
}
