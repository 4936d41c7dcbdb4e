// CInternetHandle: owns one HINTERNET and closes it once. Close may come from
// another thread while the owner is blocked in a read on the handle: that is
// how WinINet cancels a transfer, and the exchange keeps it a single close.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>

class CInternetHandle {
public:
    explicit CInternetHandle(HINTERNET hInternet = nullptr) : m_hInternet(hInternet) {}
    ~CInternetHandle() { Close(); }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;

    HINTERNET Get() const { return m_hInternet.load(); }
    explicit operator bool() const { return Get() != nullptr; }
    void Close();
    // Takes ownership of hInternet, closing what was held before.
    void Attach(HINTERNET hInternet);

private:
    std::atomic<HINTERNET> m_hInternet;
};
