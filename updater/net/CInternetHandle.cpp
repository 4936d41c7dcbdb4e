#include "CInternetHandle.h"

void CInternetHandle::Close() {
    if (HINTERNET hInternet = m_hInternet.exchange(nullptr))
        InternetCloseHandle(hInternet);
}

void CInternetHandle::Attach(HINTERNET hInternet) {
    if (HINTERNET hOld = m_hInternet.exchange(hInternet))
        InternetCloseHandle(hOld);
}
