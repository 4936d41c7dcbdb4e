// Owned GDI objects: a font, a brush or a bitmap is deleted by its owner.
#pragma once

#include <windows.h>

template <class Handle> class CGdiObjectT {
public:
    CGdiObjectT() = default;
    ~CGdiObjectT() { DeleteObject(); }
    CGdiObjectT(const CGdiObjectT&) = delete;
    CGdiObjectT& operator=(const CGdiObjectT&) = delete;

    Handle m_hObject = nullptr;
    operator Handle() const { return m_hObject; }
    Handle GetSafeHandle() const { return m_hObject; }

    // Takes ownership of a handle made elsewhere; fails if one is held.
    BOOL Attach(Handle handle) {
        if (m_hObject != nullptr || handle == nullptr)
            return FALSE;
        m_hObject = handle;
        return TRUE;
    }
    BOOL DeleteObject() {
        if (m_hObject == nullptr)
            return FALSE;
        ::DeleteObject(m_hObject);
        m_hObject = nullptr;
        return TRUE;
    }
};

class CFont : public CGdiObjectT<HFONT> {
public:
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                    BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, LPCWSTR faceName) {
        return Attach(::CreateFontW(height, width, escapement, orientation, weight, italic,
                                    underline, strikeOut, charSet, outPrecision, clipPrecision,
                                    quality, pitchAndFamily, faceName));
    }
};

class CBrush : public CGdiObjectT<HBRUSH> {
public:
    BOOL CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
};

class CBitmap : public CGdiObjectT<HBITMAP> {
public:
    BOOL LoadBitmap(UINT resourceId) {
        return Attach(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                        MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP,
                                                        0, 0, LR_DEFAULTCOLOR)));
    }
};
