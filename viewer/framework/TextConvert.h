// Code page 936 (GBK) text to and from the UTF-16 that windows take. Done
// with the code page named, so Chinese comes out right on every Windows
// locale, not only a Chinese one.
#pragma once

#include <cstddef>
#include <string>

// Converts at most maxBytes bytes of text, stopping early at a NUL.
std::wstring WideFromGbk(const char* text, size_t maxBytes = static_cast<size_t>(-1));
// The GBK bytes of text, nothing put in its place: false (and gbk empty)
// when a character has no GBK form, so a search for it finds nothing rather
// than a look-alike or "?".
bool GbkFromWide(const wchar_t* text, std::string& gbk);

// The exporter speaks UTF-8 (paths, names, its messages); windows take UTF-16.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
