// Byte-level text rules shared by the settings parser and the updater's
// command line. Text is code page 936 in practice; nothing here converts it,
// every rule looks at byte values only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace updater {

// Bytes 1 to 32 (control characters and the blank) are what the settings
// syntax trims; NUL ends a text and is never "blank".
inline bool IsBlankByte(char c) {
    const unsigned char b = static_cast<unsigned char>(c);
    return b >= 1 && b <= 32;
}

// Reads a decimal number the way the C library's atoi does (leading white
// space, optional sign, digits up to the first non-digit) but wraps modulo
// 2^32 on overflow instead of leaving the result undefined. A null text reads
// as 0.
std::int32_t AtoiWrap(const char* text);

// Compares two NUL-terminated texts ignoring the case of ASCII letters only,
// as _stricmp does in the "C" locale; other bytes compare by unsigned value.
// Returns <0, 0 or >0.
int CompareNoCase(const char* a, const char* b);

// Copies `source` with its terminator into a buffer of `size` bytes; a null
// source empties the buffer. A text that does not fit is refused (false) and
// the buffer keeps what it held.
bool CopyFittingText(char* buffer, std::size_t size, const char* source);

// `folder`, one '\' unless the folder already ends in one, and `name`, into
// `out`; refused (false, `out` untouched) when either is null or the whole
// path does not fit.
bool JoinPath(const char* folder, const char* name, char* out, std::size_t size);

} // namespace updater
