// CInternetHandle: owns one HINTERNET and closes it once.
#pragma once

#include "UniqueHandle.h"

#include <windows.h>

#include <wininet.h>

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::InternetCloseHandle(h); }
};
using CInternetHandle = CUniqueHandle<InternetHandleTraits>;
