#include "CJFlatComboBox.h"

#include "DC.h"

#include <string>
#include <utility>

namespace {

// A one-pixel frame just inside r: top and left in the first colour, right
// and bottom in the second (the top-right and bottom-left corners take the
// second colour, as a raised edge should).
void FillSolid(HDC dc, int x, int y, int cx, int cy, COLORREF colour) {
    RECT r{x, y, x + cx, y + cy};
    if (r.left > r.right) {
        std::swap(r.left, r.right);
    }
    if (r.top > r.bottom) {
        std::swap(r.top, r.bottom);
    }
    ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Draw3dRect(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    const int x = r.left, y = r.top, cx = r.right - r.left, cy = r.bottom - r.top;
    FillSolid(dc, x, y, cx - 1, 1, topLeft);
    FillSolid(dc, x, y, 1, cy - 1, topLeft);
    FillSolid(dc, x + cx, y, -1, cy, bottomRight);
    FillSolid(dc, x, y + cy, cx, -1, bottomRight);
}

constexpr DWORD kEdgeStyles = WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME;

} // namespace

CCJFlatComboBox::CCJFlatComboBox() : m_buttonWidth(::GetSystemMetrics(SM_CXHTHUMB)) {
    LoadColours();
}

void CCJFlatComboBox::LoadColours() {
    m_highlightColour = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_shadowColour = ::GetSysColor(COLOR_BTNSHADOW);
    m_faceColour = ::GetSysColor(COLOR_BTNFACE);
}

void CCJFlatComboBox::DrawBorder(int look, COLORREF topLeftColour, COLORREF bottomRightColour) {
    if (!IsWindow()) {
        return;
    }
    // Taken for this drawing only and given back on every way out.
    CClientDC dc(m_hWnd);
    if (dc.m_hDC == nullptr) {
        return;
    }
    const int savedState = ::SaveDC(dc);
    const bool enabled = IsWindowEnabled() != FALSE;
    RECT r = GetClientRect();

    Draw3dRect(dc, r, topLeftColour, bottomRightColour);
    ::InflateRect(&r, -1, -1);
    // Paints over the standard sunken border; a disabled box gets a light ring.
    const COLORREF inner = enabled ? m_faceColour : m_highlightColour;
    Draw3dRect(dc, r, inner, inner);
    ::InflateRect(&r, -1, -1);
    r.left = r.right - m_buttonWidth;
    Draw3dRect(dc, r, m_faceColour, m_faceColour);
    ::InflateRect(&r, -1, -1);
    Draw3dRect(dc, r, m_faceColour, m_faceColour);

    if (enabled) {
        r.top -= 1;
        r.bottom += 1;
        if (look == kLookFlat) {
            Draw3dRect(dc, r, m_highlightColour, m_highlightColour);
            r.left -= 1;
            Draw3dRect(dc, r, m_highlightColour, m_highlightColour);
        } else if (look == kLookHot) {
            Draw3dRect(dc, r, m_highlightColour, m_shadowColour);
        }
    }
    ::RestoreDC(dc, savedState);
}

void CCJFlatComboBox::OnPaint() {
    // Edge styles would draw a second border around ours; drop them once.
    if ((GetExStyle() & kEdgeStyles) != 0) {
        ModifyStyleEx(kEdgeStyles, 0, SWP_FRAMECHANGED);
    }
    Default();
    POINT cursor{};
    const RECT window = GetWindowRect();
    const bool pointerOver = ::GetCursorPos(&cursor) && ::PtInRect(&window, cursor);
    if (pointerOver || m_hasFocus) {
        DrawBorder(kLookHot, m_shadowColour, m_highlightColour);
    } else {
        DrawBorder(kLookFlat, m_faceColour, m_faceColour);
    }
}

// The pointer is not tracked: these only keep the standard behaviour.
void CCJFlatComboBox::OnMouseMove(UINT flags, POINT point) {
    Default();
}

void CCJFlatComboBox::OnLButtonDown(UINT flags, POINT point) {
    Default();
}

void CCJFlatComboBox::OnLButtonUp(UINT flags, POINT point) {
    // Repaint so the look follows the pointer and focus of this moment.
    Invalidate(TRUE);
    Default();
}

void CCJFlatComboBox::OnSysColorChange() {
    CComboBox::OnSysColorChange();
    LoadColours();
}

bool CCJFlatComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message != WM_COMMAND) {
        return CComboBox::OnChildNotify(message, wParam, lParam, result);
    }
    switch (HIWORD(wParam)) {
    case CBN_SETFOCUS:
        m_hasFocus = TRUE;
        DrawBorder(kLookHot, m_shadowColour, m_highlightColour);
        break;
    case CBN_KILLFOCUS:
        m_hasFocus = FALSE;
        DrawBorder(kLookFlat, m_faceColour, m_faceColour);
        break;
    case CBN_EDITUPDATE:
        AutoCompleteText();
        break;
    default:
        return CComboBox::OnChildNotify(message, wParam, lParam, result);
    }
    *result = 0;
    return true;
}

BOOL CCJFlatComboBox::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_SYSCHAR) {
        return TRUE;
    }
    return CComboBox::PreTranslateMessage(msg);
}

void CCJFlatComboBox::AutoCompleteText() {
    if (!m_autoComplete) {
        return;
    }
    const std::wstring typed = GetWindowText();
    const int n = static_cast<int>(typed.size());

    const DWORD sel = GetEditSel();
    const bool hasSelection = sel != 0xFFFFFFFFu;
    const WORD start = LOWORD(sel);
    const WORD end = HIWORD(sel);

    if (SelectString(-1, typed.c_str()) == CB_ERR) {
        SetWindowText(typed.c_str());
        if (hasSelection) {
            SetEditSel(start, end);
        }
    }
    // Editing inside the text keeps the caret; typing at its end selects the
    // completed tail, so the next key replaces it.
    if (hasSelection && end < n) {
        SetEditSel(start, end);
    } else {
        SetEditSel(n, 0xFFFF);
    }
}
