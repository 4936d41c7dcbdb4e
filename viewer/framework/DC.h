// Device contexts: CDC only wraps a handle; CClientDC and CPaintDC own theirs
// and give it back in their destructor.
#pragma once

#include <windows.h>

class CDC {
public:
    explicit CDC(HDC dc = nullptr) : m_hDC(dc) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() = default;

    HDC m_hDC;
    operator HDC() const { return m_hDC; }

    void FillSolidRect(const RECT& rect, COLORREF colour) {
        COLORREF old = ::SetBkColor(m_hDC, colour);
        ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
        ::SetBkColor(m_hDC, old);
    }
    // A one-pixel frame just inside rect: top and left in topLeft, right and
    // bottom in bottomRight.
    void Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
        const int x = rect.left, y = rect.top;
        const int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
        FillSolidRect({x, y, x + cx - 1, y + 1}, topLeft);
        FillSolidRect({x, y, x + 1, y + cy - 1}, topLeft);
        FillSolidRect({x + cx - 1, y, x + cx, y + cy}, bottomRight);
        FillSolidRect({x, y + cy - 1, x + cx, y + cy}, bottomRight);
    }
};

class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : CDC(::GetDC(hWnd)), m_hWnd(hWnd) {}
    ~CClientDC() override {
        if (m_hDC != nullptr)
            ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() override { ::EndPaint(m_hWnd, &m_ps); }

    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};
