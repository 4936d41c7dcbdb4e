// PLATFORM SHIM, Windows side: see GbkConverter.h.
#include "ChatLogFormat.h"
#include "GbkConverter.h"

#include <windows.h>

#include <vector>

CGbkConverter::CGbkConverter() = default;
CGbkConverter::~CGbkConverter() = default;

bool CGbkConverter::Convert(const char* gbk, std::size_t size, std::string& utf8) {
    if (size == 0)
        return true;
    if (size > 0x7FFFFFFF)
        return false;
    int length = static_cast<int>(size);
    // MB_ERR_INVALID_CHARS: without it Windows puts its own default
    // character in silently, and a damaged text would look whole.
    int wideCount = MultiByteToWideChar(chatlog::kChatLogCodePage, MB_ERR_INVALID_CHARS, gbk,
                                        length, nullptr, 0);
    if (wideCount <= 0)
        return false;
    thread_local std::vector<wchar_t> wide;
    wide.resize(static_cast<std::size_t>(wideCount));
    if (MultiByteToWideChar(chatlog::kChatLogCodePage, MB_ERR_INVALID_CHARS, gbk, length,
                            wide.data(), wideCount) != wideCount)
        return false;
    int bytes =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideCount, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return false;
    std::size_t start = utf8.size();
    utf8.resize(start + static_cast<std::size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideCount, &utf8[start], bytes, nullptr, nullptr);
    return true;
}

bool CGbkConverter::ToGbk(const std::string& utf8, std::string& gbk) {
    gbk.clear();
    if (utf8.empty() || utf8.size() > 0x7FFFFFFF)
        return utf8.empty();
    const int length = static_cast<int>(utf8.size());
    const int wideCount =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (wideCount <= 0)
        return false;
    std::vector<wchar_t> wide(static_cast<std::size_t>(wideCount));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), wideCount);
    // WC_NO_BEST_FIT_CHARS and the default-character flag: a character 936
    // lacks must fail the needle, not become a look-alike or "?".
    BOOL usedDefault = FALSE;
    const int bytes =
        WideCharToMultiByte(chatlog::kChatLogCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideCount,
                            nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault)
        return false;
    gbk.resize(static_cast<std::size_t>(bytes));
    usedDefault = FALSE;
    WideCharToMultiByte(chatlog::kChatLogCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideCount,
                        &gbk[0], bytes, nullptr, &usedDefault);
    if (usedDefault) {
        gbk.clear();
        return false;
    }
    return true;
}
