// PLATFORM SHIM: see GbkConverter.h.
#include "GbkConverter.h"

#include "ChatLogFormat.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include <iconv.h>

#include <cerrno>
#endif

#ifdef _WIN32

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

#else

CGbkConverter::CGbkConverter() : m_iconv(reinterpret_cast<void*>(iconv_open("UTF-8", "GBK"))) {}

CGbkConverter::~CGbkConverter() {
    if (m_iconv != reinterpret_cast<void*>(-1))
        iconv_close(reinterpret_cast<iconv_t>(m_iconv));
}

bool CGbkConverter::Convert(const char* gbk, std::size_t size, std::string& utf8) {
    if (size == 0)
        return true;
    if (m_iconv == reinterpret_cast<void*>(-1))
        return false;
    iconv_t cd = reinterpret_cast<iconv_t>(m_iconv);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::size_t start = utf8.size();
    // A GBK character is one or two bytes and becomes at most three UTF-8 bytes.
    utf8.resize(start + size * 2 + 4);
    char* in = const_cast<char*>(gbk);
    std::size_t inLeft = size;
    char* out = &utf8[start];
    std::size_t outLeft = utf8.size() - start;
    std::size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0) {
        utf8.resize(start);
        return false;
    }
    utf8.resize(utf8.size() - outLeft);
    return true;
}

#endif
