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
    int wideCount =
        MultiByteToWideChar(kChatLogCodePage, MB_ERR_INVALID_CHARS, gbk, length, nullptr, 0);
    if (wideCount <= 0)
        return false;
    thread_local std::vector<wchar_t> wide;
    wide.resize(static_cast<std::size_t>(wideCount));
    if (MultiByteToWideChar(kChatLogCodePage, MB_ERR_INVALID_CHARS, gbk, length, wide.data(),
                            wideCount) != wideCount)
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
