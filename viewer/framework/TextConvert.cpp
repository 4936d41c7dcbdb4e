#include "TextConvert.h"

#include <windows.h>

#include <cstring>

namespace {
constexpr UINT kGbkCodePage = 936;
}

std::wstring WideFromGbk(const char* text, size_t maxBytes) {
    if (text == nullptr || maxBytes == 0)
        return {};
    const void* nul = std::memchr(text, 0, maxBytes);
    size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : maxBytes;
    if (length == 0)
        return {};
    int count = ::MultiByteToWideChar(kGbkCodePage, 0, text, static_cast<int>(length), nullptr, 0);
    if (count <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(count), L'\0');
    ::MultiByteToWideChar(kGbkCodePage, 0, text, static_cast<int>(length), wide.data(), count);
    return wide;
}

bool GbkFromWide(const wchar_t* text, std::string& gbk) {
    gbk.clear();
    if (text == nullptr || *text == 0)
        return true;
    BOOL usedDefault = FALSE;
    int count = ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0,
                                      nullptr, &usedDefault);
    if (count <= 1 || usedDefault)
        return false;
    std::string narrow(static_cast<size_t>(count), '\0');
    ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, text, -1, narrow.data(), count,
                          nullptr, &usedDefault);
    if (usedDefault)
        return false;
    narrow.resize(static_cast<size_t>(count - 1));
    gbk = std::move(narrow);
    return true;
}

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty())
        return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Utf8FromWide(const std::wstring& text) {
    if (text.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n,
                          nullptr, nullptr);
    return utf8;
}
