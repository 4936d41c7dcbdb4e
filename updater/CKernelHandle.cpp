#include "CKernelHandle.h"

void CKernelHandle::Close() {
    if (IsValid()) {
        CloseHandle(m_hHandle);
    }
    m_hHandle = nullptr;
}
