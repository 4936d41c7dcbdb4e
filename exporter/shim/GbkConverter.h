// PLATFORM SHIM. The one place where the exporter asks the system to turn GBK
// (code page 936) into UTF-8 (and a --grep needle back into GBK): iconv from the C library on Linux
// (GbkConverterPosix.cpp), the 936 code page conversion on Windows
// (GbkConverterWin32.cpp).
#pragma once

#include <cstddef>
#include <string>

class CGbkConverter {
public:
    CGbkConverter();
    ~CGbkConverter();
    CGbkConverter(const CGbkConverter&) = delete;
    CGbkConverter& operator=(const CGbkConverter&) = delete;

    // Appends the UTF-8 of `size` GBK bytes to `utf8`, or appends nothing and
    // returns false when any sequence in them is invalid, incomplete or not
    // mapped. Strict on purpose: the caller decides what replaces what.
    bool Convert(const char* gbk, std::size_t size, std::string& utf8);
    // The other way, for a needle typed in UTF-8: the GBK of `utf8` in
    // `gbk`, or false when it is not UTF-8 or holds a character GBK cannot
    // hold (never a stand-in character in its place).
    static bool ToGbk(const std::string& utf8, std::string& gbk);

private:
    // The conversion's state where the system keeps one (an iconv_t); the
    // Windows conversion needs none and leaves it null.
    void* m_state = nullptr;
};
