// PLATFORM SHIM, POSIX side: see GbkConverter.h.
#include "GbkConverter.h"

#include <iconv.h>

#include <cerrno>

CGbkConverter::CGbkConverter() : m_state(reinterpret_cast<void*>(iconv_open("UTF-8", "GBK"))) {}

CGbkConverter::~CGbkConverter() {
    if (m_state != reinterpret_cast<void*>(-1))
        iconv_close(reinterpret_cast<iconv_t>(m_state));
}

bool CGbkConverter::Convert(const char* gbk, std::size_t size, std::string& utf8) {
    if (size == 0)
        return true;
    if (m_state == reinterpret_cast<void*>(-1))
        return false;
    iconv_t cd = reinterpret_cast<iconv_t>(m_state);
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

bool CGbkConverter::ToGbk(const std::string& utf8, std::string& gbk) {
    gbk.clear();
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    // A character is at most two GBK bytes and at least one UTF-8 byte.
    gbk.resize(utf8.size() * 2 + 4);
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* out = &gbk[0];
    std::size_t outLeft = gbk.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0) {
        gbk.clear();
        return false;
    }
    gbk.resize(gbk.size() - outLeft);
    return true;
}
