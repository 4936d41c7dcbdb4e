#include "SignedDownload.h"

#include "AnswerHeaders.h"
#include "DebugTrace.h"
#include "EngineHelpers.h"
#include "EngineRules.h"
#include "EngineTexts.h"
#include "SignedDownloadRules.h"
#include "SmallFiles.h"

#include <cstdio>

namespace {

// A signed setup is checked as it arrives and held by us alone: WinINet's
// cache would keep a second copy of every byte (100 MB written twice), and
// a copy from it is nothing the signature asked for.
const DWORD kSignedOpenUrlFlags =
    updater::kOpenUrlFlags | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD;

unsigned long long Ull(std::uint64_t n) {
    return static_cast<unsigned long long>(n);
}

} // namespace

bool CEngineState::PauseUnlessCutOff(DWORD dwMs) {
    if (m_cutOffEvent.IsValid())
        WaitForSingleObject(m_cutOffEvent.Get(), dwMs);
    else
        Sleep(dwMs);
    return !IsCutOff();
}

void CEngineState::DownloadSignedSetup() {
    CSignedDownload(*this).Run();
}

CSignedDownload::CSignedDownload(CEngineState& state)
    : m_state(state), m_strAddress(state.m_szDownloadUrl), m_nSize(state.m_signedSetup.size),
      m_pHash(std::make_unique<CSha256>()) {}

CSignedDownload::~CSignedDownload() {
    ReleaseFile();
}

void CSignedDownload::Run() {
    if (PreparePart() != Step::Next)
        return;
    // A part an earlier run finished needs no request at all.
    for (unsigned nAttempt = 0; m_nReceived < m_nSize; ++nAttempt) {
        Step step = nAttempt > 0 ? PauseBefore(nAttempt) : Step::Next;
        if (step == Step::Next)
            step = Ask(nAttempt);
        if (step == Step::Next)
            step = Receive();
        ReleaseFile();
        if (step == Step::Ended)
            return;
        if (step == Step::Next && m_nReceived == m_nSize)
            break;
    }
    Finish();
}

CSignedDownload::Step CSignedDownload::PreparePart() {
    char szFolder[MAX_PATH] = "";
    char szPath[MAX_PATH] = "";
    const DWORD nFolder = GetTempPathA(MAX_PATH, szFolder);
    if (nFolder > 0 && nFolder < MAX_PATH &&
        updater::BuildSetupPath(szFolder, szPath, sizeof szPath))
        m_strSetup = szPath;
    m_strPart = m_strSetup + updater::kPartSuffix;
    m_strRecord = m_strSetup + updater::kPartRecordSuffix;
    if (!updater::IsWebAddress(m_strAddress.c_str())) {
        m_state.Notify(UE_DOWNLOAD_CONNECT_FAILED);
        return Step::Ended;
    }
    if (m_strSetup.empty() || m_strPart.size() >= MAX_PATH || m_strRecord.size() >= MAX_PATH) {
        m_state.Notify(UE_LOCAL_FILE_FAILED);
        return Step::Ended;
    }

    // What an earlier run left is resumed only for this very setup, from
    // the address it came from, and while it is fresh; anything else
    // starts over.
    std::string strRecordText;
    updater::PartRecord record;
    const bool bRecord = updater::ReadSmallFile(m_strRecord.c_str(), strRecordText) &&
                         updater::ParsePartRecord(strRecordText, record);
    const bool bResumable = updater::RecordAllowsResume(
        updater::FileAgeSeconds(m_strPart.c_str()), bRecord ? &record : nullptr,
        m_state.m_signedSetup.digest, m_state.m_signedSetup.size, m_state.m_webUrls);
    if (bResumable) {
        m_strAddress = record.address;
        m_strValidator = record.validator;
    } else {
        DeleteBoth();
    }

    if (!m_part.Open(m_strPart.c_str())) {
        m_state.Notify(UE_LOCAL_FILE_FAILED);
        return Step::Ended;
    }
    m_nReceived = updater::BytesToKeep(bResumable, m_part.Size(), m_nSize);
    if (!m_part.HashPrefix(*m_pHash, m_nReceived)) {
        m_pHash = std::make_unique<CSha256>();
        m_nReceived = 0;
    }
    if (!m_part.TruncateTo(m_nReceived))
        return Fail(UE_LOCAL_FILE_FAILED, nullptr, false);
    if (m_nReceived > 0)
        updater::DebugTrace("engine: resuming the %llu bytes an earlier run left, from %s",
                            Ull(m_nReceived), m_strAddress.c_str());
    return Step::Next;
}

CSignedDownload::Step CSignedDownload::PauseBefore(unsigned nAttempt) {
    if (nAttempt > updater::kMaxResumptions)
        return Fail(UE_CONNECTION_LOST, updater::kTextConnectionLost, true);
    updater::DebugTrace("engine: connection ended at byte %llu of %llu; asking again (%u of %u)",
                        Ull(m_nReceived), Ull(m_nSize), nAttempt, updater::kMaxResumptions);
    return m_state.PauseUnlessCutOff(updater::ResumePauseMs(nAttempt)) ? Step::Next : Step::Ended;
}

CSignedDownload::Step CSignedDownload::Ask(unsigned nAttempt) {
    const std::uint64_t nOffset = m_nReceived;
    std::string strHeaders;
    if (nOffset > 0) {
        strHeaders = "Range: bytes=" + std::to_string(nOffset) + "-\r\n";
        if (!m_strValidator.empty())
            strHeaders += "If-Range: " + m_strValidator + "\r\n";
    }
    try {
        if (!m_state.m_pSession)
            throw CInternetException(ERROR_INVALID_HANDLE, updater::kContext);
        m_pFile = m_state.m_pSession->OpenURL(
            m_strAddress.c_str(), updater::kContext, kSignedOpenUrlFlags,
            strHeaders.empty() ? nullptr : strHeaders.c_str(), DWORD(strHeaders.size()));
    } catch (const CInternetException& e) {
        if (m_state.IsCutOff())
            return Step::Ended;
        if (!updater::IsAskingAgain(nAttempt, nOffset))
            return Fail(UE_DOWNLOAD_CONNECT_FAILED, nullptr, false);
        m_state.SetLastErrorText(e, updater::kTextConnectionLost);
        return Step::Again;
    }
    m_state.RegisterTransfer(m_pFile.get());

    auto* pHttp = dynamic_cast<CHttpFile*>(m_pFile.get());
    DWORD dwStatus = 0;
    if (m_state.IsCutOff())
        return Step::Ended;
    if (pHttp == nullptr || !pHttp->QueryInfoStatusCode(dwStatus))
        dwStatus = 0;
    updater::AnswerFacts answer;
    answer.status = dwStatus;
    answer.announced = updater::QueryAnnouncedLength(*pHttp, answer.announcedLength);
    std::string strContentRange;
    if (updater::QueryHeader(*pHttp, HTTP_QUERY_CONTENT_RANGE, strContentRange))
        answer.contentRange = strContentRange.c_str();

    const updater::AnswerMeaning meaning = updater::JudgeAnswer(answer, nAttempt, nOffset, m_nSize);
    switch (meaning) {
    case updater::AnswerMeaning::Whole:
        KeepRecord(*pHttp);
        return nOffset > 0 ? StartOver() : Step::Next;
    case updater::AnswerMeaning::Continues:
        updater::DebugTrace("engine: the server continues at byte %llu (%s)", Ull(nOffset),
                            strContentRange.c_str());
        return Step::Next;
    case updater::AnswerMeaning::SizeMismatch:
        return Fail(UE_CONNECTION_LOST, updater::kTextSetupSizeMismatch, false);
    case updater::AnswerMeaning::Unanswered:
        // The network is still down, or the server drops the request: the
        // part waits for the next try, or the next run.
        updater::Trace("no answer to the request");
        m_state.SetLastErrorText(updater::kTextConnectionLost);
        return Step::Again;
    default:
        break;
    }
    updater::DebugTrace("engine: status %lu%s%s: the download fails",
                        static_cast<unsigned long>(dwStatus),
                        strContentRange.empty() ? "" : ", Content-Range ", strContentRange.c_str());
    if (meaning == updater::AnswerMeaning::Missing)
        return Fail(UE_SETUP_MISSING, nullptr, false);
    return Fail(UE_CONNECTION_LOST, updater::kTextConnectionLost, false);
}

CSignedDownload::Step CSignedDownload::Receive() {
    if (!m_bReceiving) {
        m_bReceiving = true;
        if (!m_state.Notify(UE_DOWNLOAD_RECEIVING))
            return Step::Ended;
    }
    char block[updater::kBlockSize];
    try {
        for (;;) {
            const UINT nRead = m_pFile->Read(block, updater::kBlockSize);
            if (nRead == 0)
                break;
            if (nRead > m_nSize - m_nReceived)
                return Fail(UE_CONNECTION_LOST, updater::kTextSetupSizeMismatch, false);
            if (!m_part.Write(block, nRead))
                return Fail(UE_LOCAL_FILE_FAILED, nullptr, false);
            m_pHash->Update(block, nRead);
            m_nReceived += nRead;
            if (!m_state.Notify(UE_DOWNLOAD_PROGRESS, WPARAM(std::uint32_t(m_nReceived)),
                                LPARAM(std::uint32_t(m_nSize))))
                return Step::Ended;
        }
    } catch (const CInternetException& e) {
        if (m_state.IsCutOff())
            return Step::Ended;
        m_state.SetLastErrorText(e, updater::kTextConnectionLost);
        return Step::Again;
    }
    // A clean close before the end reads as a normal end: asked again.
    if (m_state.IsCutOff())
        return Step::Ended;
    return m_nReceived == m_nSize ? Step::Next : Step::Again;
}

void CSignedDownload::Finish() {
    if (!m_bReceiving && !m_state.Notify(UE_DOWNLOAD_RECEIVING))
        return;
    updater::SetupDigest digest;
    if (!m_pHash->Finish(digest) || digest != m_state.m_signedSetup.digest) {
        Fail(UE_CONNECTION_LOST, updater::kTextSetupMismatch, false);
        return;
    }
    m_part.Close();
    DeleteFileA(m_strRecord.c_str());
    if (!MoveFileExA(m_strPart.c_str(), m_strSetup.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteBoth();
        m_state.Notify(UE_LOCAL_FILE_FAILED);
        return;
    }
    char szPath[MAX_PATH];
    std::snprintf(szPath, sizeof szPath, "%s", m_strSetup.c_str());
    m_state.Notify(UE_DOWNLOAD_DONE, reinterpret_cast<WPARAM>(szPath), 0);
}

CSignedDownload::Step CSignedDownload::StartOver() {
    updater::DebugTrace("engine: the whole setup again (status 200): starting over");
    m_nReceived = 0;
    m_pHash = std::make_unique<CSha256>();
    return m_part.TruncateTo(0) ? Step::Next : Fail(UE_LOCAL_FILE_FAILED, nullptr, false);
}

void CSignedDownload::KeepRecord(const CHttpFile& file) {
    std::string strEtag, strModified;
    const bool bEtag = updater::QueryHeader(file, HTTP_QUERY_ETAG, strEtag);
    const bool bModified = updater::QueryHeader(file, HTTP_QUERY_LAST_MODIFIED, strModified);
    m_strValidator = updater::ChooseValidator(bEtag ? strEtag.c_str() : nullptr,
                                              bModified ? strModified.c_str() : nullptr);
    const updater::PartRecord record{m_strAddress, m_strValidator, m_state.m_signedSetup.digest,
                                     m_state.m_signedSetup.size};
    const std::string strText = updater::FormatPartRecord(record);
    if (strText.empty() || !updater::WriteSmallFile(m_strRecord.c_str(), strText))
        DeleteFileA(m_strRecord.c_str());
}

void CSignedDownload::ReleaseFile() {
    if (!m_pFile)
        return;
    m_state.WithdrawTransfer(m_pFile.get());
    m_pFile.reset();
}

void CSignedDownload::DeleteBoth() {
    DeleteFileA(m_strPart.c_str());
    DeleteFileA(m_strRecord.c_str());
}

CSignedDownload::Step CSignedDownload::Fail(UINT nEvent, const char* pszText, bool bKeepPart) {
    ReleaseFile();
    m_part.Close();
    if (!bKeepPart)
        DeleteBoth();
    if (pszText != nullptr)
        m_state.SetLastErrorText(pszText);
    m_state.Notify(nEvent);
    return Step::Ended;
}
