// CWnd: one C++ object per window. A static window procedure finds the object
// (registered at creation or when an existing window is subclassed, dropped at
// WM_NCDESTROY) and calls its virtual WindowProc, which cracks the common
// messages into typed handlers. Every handler's base version passes the
// message on to the window's original procedure (Default).
#pragma once

#include "Object.h"

#include <windows.h>

#include <string>

struct CCreateContext;

// Pointers travel in wParam and lParam (the panes' messages, item data), and
// the client's account numbers arrive there: both must hold a pointer whole
// in the 32-bit and the 64-bit build alike.
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*) &&
                  sizeof(LRESULT) == sizeof(void*),
              "a pointer fits wParam, lParam and the result");

class CWnd : public CObject {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    BOOL IsWindow() const { return m_hWnd != nullptr && ::IsWindow(m_hWnd); }

    // The object behind a window that one of ours was created for or
    // subclassed; null for foreign windows and windows only attached.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // --- Creation -------------------------------------------------------

    // Registers (once) a window class whose windows can be created by CreateEx.
    static bool RegisterClass(LPCWSTR className, UINT classStyle, HCURSOR cursor, HBRUSH background,
                              HICON icon = nullptr, HICON smallIcon = nullptr);

    // Creates the window and binds it to this object before its first
    // message (WM_NCCREATE/WM_CREATE reach the handlers). The window is
    // destroyed with the object if it still exists then.
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                  int cx, int cy, HWND parent, UINT_PTR idOrMenu);
    BOOL CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                  const RECT& rect, HWND parent, UINT_PTR idOrMenu) {
        return CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, parent, idOrMenu);
    }

    // Creates the window as a child pane (used by CSplitterWnd::CreateView):
    // by default a plain child of the layer's generic class.
    virtual BOOL Create(CWnd* parent, UINT id, DWORD style, const RECT& rect,
                        CCreateContext* context);

    BOOL DestroyWindow();

    // --- Binding windows made elsewhere ---------------------------------

    // Routes the messages of an existing window (a dialog control, say)
    // through this object; the original procedure stays the default.
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();

    // --- Messages ---------------------------------------------------------

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The current message, passed to the window's original procedure.
    LRESULT Default();

    // Called from the message loop for every queued message whose target is
    // this window or one below it, innermost first; TRUE discards the message
    // before translation and dispatch.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Runs PreTranslateMessage from msg->hwnd up to (and including) hWndStop;
    // TRUE as soon as one window took the message.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* msg);

    // A notification (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*) that this control
    // sent to its parent, offered back to the control before the parent
    // handles it. Return true with *result set to handle it here: the parent
    // then does not see it.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // After WM_NCDESTROY, once the object is no longer bound to the window.
    virtual void PostNcDestroy() {}

    // --- Typed handlers (base versions: Default) -------------------------

    virtual int OnCreate(CREATESTRUCTW* cs);
    virtual void OnDestroy();
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(HDC dc);
    virtual void OnSetFocus(HWND oldFocus);
    // state is WA_ACTIVE, WA_CLICKACTIVE or WA_INACTIVE; other is the window
    // losing (or gaining) the activation.
    virtual void OnActivate(UINT state, HWND other, BOOL minimized);
    // TRUE when handled; unhandled commands go to the default procedure.
    virtual BOOL OnCommand(UINT id, UINT code, HWND control);
    // TRUE when handled, with the reply in *result.
    virtual BOOL OnNotify(int id, NMHDR* header, LRESULT* result);
    // ctlType is one of CTLCOLOR_EDIT, CTLCOLOR_STATIC, ... (WinUser.h).
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnLButtonUp(UINT flags, POINT point);
    virtual BOOL OnSetCursor(HWND hWnd, UINT hitTest, UINT message);
    virtual void OnCaptureChanged(HWND newCapture);
    virtual void OnSysColorChange();

    // --- Thin helpers -----------------------------------------------------

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
    std::wstring GetWindowText() const;
    BOOL ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const {
        return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE));
    }
    // Remove, then add extended styles; with flags, also tells the window
    // through SetWindowPos (SWP_FRAMECHANGED for border styles). TRUE when it
    // changed.
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);

private:
    friend struct CWndHook;
    static LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Bind(HWND hWnd, WNDPROC oldProc);
    void Unbind();
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    WNDPROC m_oldProc = nullptr;
    bool m_createdHere = false;
    UINT m_curMessage = 0;
    WPARAM m_curWParam = 0;
    LPARAM m_curLParam = 0;
};

// Class name of the layer's generic window class (arrow cursor, button-face
// background), registered by the first Create that needs it.
extern const wchar_t kGenericWndClass[];

// The module whose resources the programs load.
HINSTANCE AfxGetInstanceHandle();

// Makes a window's creation bind it to the given object: the next window of
// the given dialog kind (or with that object as its creation parameter) that
// this thread creates is subclassed before its first message. Used by
// CWnd::CreateEx and CFormView::Create.
struct CWndHook {
    CWndHook(CWnd* wnd, bool dialog);
    ~CWndHook();
    CWndHook(const CWndHook&) = delete;
    CWndHook& operator=(const CWndHook&) = delete;

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    HHOOK m_hook = nullptr;
    CWnd* m_previousWnd = nullptr;
    bool m_previousDialog = false;
};
