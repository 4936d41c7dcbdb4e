// Owner of one kernel handle (mutex, event, process, thread): closes it once.
#pragma once

#include <windows.h>

class CKernelHandle {
public:
    CKernelHandle() = default;
    explicit CKernelHandle(HANDLE handle) : m_hHandle(handle) {}
    ~CKernelHandle() { Close(); }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;

    HANDLE Get() const { return m_hHandle; }
    bool IsValid() const { return m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE; }
    void Close();

private:
    HANDLE m_hHandle = nullptr;
};
