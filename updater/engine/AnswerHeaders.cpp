#include "AnswerHeaders.h"

#include "EngineRules.h"

bool updater::QueryAnnouncedLength(const CHttpFile& file, std::uint64_t& nAnnounced) {
    char szLength[128] = "";
    DWORD nLength = sizeof szLength;
    return file.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, szLength, &nLength) &&
           updater::AnnouncedLength(szLength, nAnnounced);
}

bool updater::QueryHeader(const CHttpFile& file, DWORD dwLevel, std::string& value) {
    char szValue[1024] = "";
    DWORD nLength = sizeof szValue;
    if (!file.QueryInfo(dwLevel, szValue, &nLength))
        return false;
    value.assign(szValue, nLength < sizeof szValue ? nLength : sizeof szValue - 1);
    return true;
}
