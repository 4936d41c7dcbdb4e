#include "EngineRules.h"

#include <cstring>

#include "EngineTexts.h"

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

bool CopyFittingText(char* pszBuffer, std::size_t nSize, const char* pszSource) {
    if (pszBuffer == nullptr || nSize == 0)
        return false;
    if (pszSource == nullptr) {
        pszBuffer[0] = '\0';
        return true;
    }
    const std::size_t nLength = std::strlen(pszSource);
    if (nLength >= nSize)
        return false;
    std::memcpy(pszBuffer, pszSource, nLength + 1);
    return true;
}

bool BuildSetupPath(const char* pszTempFolder, char* pszBuffer, std::size_t nSize) {
    if (pszTempFolder == nullptr || pszTempFolder[0] == '\0' || pszBuffer == nullptr)
        return false;
    const std::size_t nFolder = std::strlen(pszTempFolder);
    const bool bSeparator = pszTempFolder[nFolder - 1] != '\\';
    const std::size_t nName = sizeof UE_SETUP_FILE_NAME - 1;
    const std::size_t nTotal = nFolder + (bSeparator ? 1 : 0) + nName;
    if (nTotal >= nSize)
        return false;
    std::memcpy(pszBuffer, pszTempFolder, nFolder);
    std::size_t n = nFolder;
    if (bSeparator)
        pszBuffer[n++] = '\\';
    std::memcpy(pszBuffer + n, UE_SETUP_FILE_NAME, nName + 1);
    return true;
}

bool ParseContentLength(const char* pszText, std::uint64_t& nLength) {
    if (pszText == nullptr)
        return false;
    const char* p = pszText;
    while (IsBlank(*p))
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    std::uint64_t nValue = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const unsigned nDigit = unsigned(*p - '0');
        if (nValue > (UINT64_MAX - nDigit) / 10)
            return false;
        nValue = nValue * 10 + nDigit;
    }
    while (IsBlank(*p))
        ++p;
    if (*p != '\0')
        return false;
    nLength = nValue;
    return true;
}

bool AnnouncedLength(const char* pszContentLength, std::uint64_t& nLength) {
    std::uint64_t nValue = 0;
    if (!ParseContentLength(pszContentLength, nValue) || nValue == 0)
        return false;
    nLength = nValue;
    return true;
}

bool IsBodyComplete(bool bLengthAnnounced, std::uint64_t nAnnounced, std::uint64_t nReceived) {
    return !bLengthAnnounced || nReceived >= nAnnounced;
}

unsigned int ComputeRandomSeed(std::uint64_t nTicksSince1970) {
    const std::uint64_t nSeconds = nTicksSince1970 / 10000000u;
    const std::uint32_t nLow = static_cast<std::uint32_t>(nTicksSince1970);
    return static_cast<unsigned int>(nSeconds) ^ ((nLow % 10000000u) / 10u);
}
