// Owned image list.
#pragma once

#include <windows.h>

#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
        DeleteImageList();
        m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
        return m_hImageList != nullptr;
    }
    // Index of the added image, or -1.
    int Add(HBITMAP bitmap, COLORREF maskColour) {
        return ::ImageList_AddMasked(m_hImageList, bitmap, maskColour);
    }
    BOOL DeleteImageList() {
        if (m_hImageList == nullptr)
            return FALSE;
        ::ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
        return TRUE;
    }
};
