#include "EngineRules.h"

#include "EngineTexts.h"
#include "TextRules.h"

#include <cstring>
#include <string>

namespace updater {

bool BuildSetupPath(const char* pszTempFolder, char* pszBuffer, std::size_t nSize) {
    if (pszTempFolder == nullptr || pszTempFolder[0] == '\0')
        return false;
    return updater::JoinPath(pszTempFolder, kSetupFileName, pszBuffer, nSize);
}

bool ParseContentLength(const char* pszText, std::uint64_t& nLength) {
    if (pszText == nullptr)
        return false;
    const char* p = pszText;
    while (updater::IsBlankByte(*p))
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
    while (updater::IsBlankByte(*p))
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

bool IsWebAddress(const char* pszAddress) {
    if (pszAddress == nullptr)
        return false;
    for (const char* scheme : {"http://", "https://"}) {
        const std::size_t n = std::strlen(scheme);
        if (std::strlen(pszAddress) >= n &&
            updater::CompareNoCase(std::string(pszAddress, n).c_str(), scheme) == 0)
            return true;
    }
    return false;
}

unsigned int ComputeRandomSeed(std::uint64_t nTicksSince1970) {
    const std::uint64_t nSeconds = nTicksSince1970 / 10000000u;
    const std::uint32_t nLow = static_cast<std::uint32_t>(nTicksSince1970);
    return static_cast<unsigned int>(nSeconds) ^ ((nLow % 10000000u) / 10u);
}

} // namespace updater
