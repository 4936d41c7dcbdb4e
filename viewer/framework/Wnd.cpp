// Window objects: binding, the static procedure, message cracking and the
// reflection of control notifications.
#include "Wnd.h"

#include <windowsx.h>
// windowsx.h has a macro of this name; ours is a member.
#undef SubclassWindow

#include <unordered_map>

const wchar_t kGenericWndClass[] = L"VemliWnd";

namespace {

// Windows belong to the thread that made them, and so do their objects.
std::unordered_map<HWND, CWnd*>& PermanentMap() {
    thread_local std::unordered_map<HWND, CWnd*> map;
    return map;
}

// The object that the next window created on this thread is meant for.
thread_local CWnd* t_pendingWnd = nullptr;
thread_local bool t_pendingDialog = false;

bool IsDialogWindow(HWND hWnd) {
    wchar_t name[16] = {};
    ::GetClassNameW(hWnd, name, 16);
    return ::lstrcmpW(name, L"#32770") == 0;
}

} // namespace

HINSTANCE AfxGetInstanceHandle() {
    return ::GetModuleHandleW(nullptr);
}

CWnd::~CWnd() {
    if (m_hWnd == nullptr)
        return;
    if (m_createdHere && ::IsWindow(m_hWnd)) {
        ::DestroyWindow(m_hWnd);
    } else if (m_oldProc != nullptr) {
        UnsubclassWindow();
    }
    // A window that outlives us must not find a dangling object.
    if (m_hWnd != nullptr)
        Unbind();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr)
        return nullptr;
    auto& map = PermanentMap();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

bool CWnd::RegisterClass(LPCWSTR className, UINT classStyle, HCURSOR cursor, HBRUSH background,
                         HICON icon, HICON smallIcon) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (::GetClassInfoExW(AfxGetInstanceHandle(), className, &wc))
        return true;
    wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    // Windows are bound to their objects by subclassing at creation, so the
    // class itself only needs the system's default procedure.
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.lpszClassName = className;
    return ::RegisterClassExW(&wc) != 0;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int cx, int cy, HWND parent, UINT_PTR idOrMenu) {
    if (m_hWnd != nullptr)
        return FALSE;
    HWND hWnd;
    {
        CWndHook hook(this, false);
        hWnd = ::CreateWindowExW(exStyle, className, windowName, style, x, y, cx, cy, parent,
                                 reinterpret_cast<HMENU>(idOrMenu), AfxGetInstanceHandle(), this);
    }
    if (hWnd == nullptr || m_hWnd != hWnd)
        return FALSE;
    m_createdHere = true;
    return TRUE;
}

BOOL CWnd::Create(CWnd* parent, UINT id, DWORD style, const RECT& rect, CCreateContext*) {
    RegisterClass(kGenericWndClass, CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(0, kGenericWndClass, L"", style, rect, parent ? parent->m_hWnd : nullptr, id);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::Bind(HWND hWnd, WNDPROC oldProc) {
    m_hWnd = hWnd;
    m_oldProc = oldProc;
    PermanentMap()[hWnd] = this;
}

void CWnd::Unbind() {
    auto& map = PermanentMap();
    auto it = map.find(m_hWnd);
    if (it != map.end() && it->second == this)
        map.erase(it);
    m_hWnd = nullptr;
    m_oldProc = nullptr;
    m_createdHere = false;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd != nullptr || hWnd == nullptr || !::IsWindow(hWnd) ||
        FromHandlePermanent(hWnd) != nullptr)
        return FALSE;
    auto oldProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    Bind(hWnd, oldProc);
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc));
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr || m_oldProc == nullptr)
        return nullptr;
    // Put the original back only if nobody has subclassed after us.
    if (::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc))
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
    Unbind();
    return hWnd;
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);

    // Nested messages (a handler that sends to its own window) keep their
    // own "current message" for Default.
    const UINT savedMessage = wnd->m_curMessage;
    const WPARAM savedWParam = wnd->m_curWParam;
    const LPARAM savedLParam = wnd->m_curLParam;
    wnd->m_curMessage = message;
    wnd->m_curWParam = wParam;
    wnd->m_curLParam = lParam;
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    wnd->m_curMessage = savedMessage;
    wnd->m_curWParam = savedWParam;
    wnd->m_curLParam = savedLParam;

    if (message == WM_NCDESTROY) {
        if (::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) ==
                reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc) &&
            wnd->m_oldProc != nullptr)
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wnd->m_oldProc));
        wnd->Unbind();
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::Default() {
    if (m_hWnd == nullptr)
        return 0;
    if (m_oldProc == nullptr)
        return ::DefWindowProcW(m_hWnd, m_curMessage, m_curWParam, m_curLParam);
    return ::CallWindowProcW(m_oldProc, m_hWnd, m_curMessage, m_curWParam, m_curLParam);
}

bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HWND child = nullptr;
    if (message == WM_NOTIFY)
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    else
        child = reinterpret_cast<HWND>(lParam);
    CWnd* control = FromHandlePermanent(child);
    if (control == nullptr || control == this)
        return false;
    return control->OnChildNotify(message, wParam, lParam, result);
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return false;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_SETFOCUS:
        OnSetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam) != 0);
        return 0;
    case WM_COMMAND:
        if (lParam != 0 && ReflectToChild(message, wParam, lParam, &result))
            return result;
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
            return 0;
        return Default();
    case WM_NOTIFY: {
        if (lParam == 0)
            return Default();
        if (ReflectToChild(message, wParam, lParam, &result))
            return result;
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (OnNotify(static_cast<int>(header->idFrom), header, &result))
            return result;
        return Default();
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        if (ReflectToChild(message, wParam, lParam, &result))
            return result;
        return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam),
                                                    reinterpret_cast<HWND>(lParam),
                                                    message - WM_CTLCOLORMSGBOX));
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_CAPTURECHANGED:
        OnCaptureChanged(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    default:
        return Default();
    }
}

int CWnd::OnCreate(CREATESTRUCTW*) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(HDC) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnSetFocus(HWND) {
    Default();
}
void CWnd::OnActivate(UINT, HWND, BOOL) {
    Default();
}
BOOL CWnd::OnCommand(UINT, UINT, HWND) {
    return FALSE;
}
BOOL CWnd::OnNotify(int, NMHDR*, LRESULT*) {
    return FALSE;
}
HBRUSH CWnd::OnCtlColor(HDC, HWND, UINT) {
    return reinterpret_cast<HBRUSH>(Default());
}
void CWnd::OnMouseMove(UINT, POINT) {
    Default();
}
void CWnd::OnLButtonDown(UINT, POINT) {
    Default();
}
void CWnd::OnLButtonUp(UINT, POINT) {
    Default();
}
BOOL CWnd::OnSetCursor(HWND, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnCaptureChanged(HWND) {
    Default();
}
void CWnd::OnSysColorChange() {
    Default();
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* msg) {
    for (HWND hWnd = msg->hwnd; hWnd != nullptr;) {
        if (CWnd* wnd = FromHandlePermanent(hWnd)) {
            if (wnd->PreTranslateMessage(msg))
                return TRUE;
        }
        if (hWnd == hWndStop)
            break;
        // Only climb through child windows: a popup's owner is not its parent.
        if ((::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) == 0)
            break;
        hWnd = ::GetParent(hWnd);
    }
    return FALSE;
}

namespace {
struct DescendantMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

BOOL CALLBACK SendToDescendant(HWND child, LPARAM data) {
    auto* m = reinterpret_cast<DescendantMessage*>(data);
    ::SendMessageW(child, m->message, m->wParam, m->lParam);
    return TRUE;
}
} // namespace

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam) const {
    DescendantMessage m{message, wParam, lParam};
    ::EnumChildWindows(m_hWnd, &SendToDescendant, reinterpret_cast<LPARAM>(&m));
}

std::wstring CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

RECT CWnd::GetClientRect() const {
    RECT rect = {};
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}

RECT CWnd::GetWindowRect() const {
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);
    return rect;
}

namespace {
BOOL ModifyLong(HWND hWnd, int index, DWORD remove, DWORD add, UINT flags) {
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, index));
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongPtrW(hWnd, index, static_cast<LONG_PTR>(changed));
    if (flags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}
} // namespace

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, flags);
}

// --- Binding at creation ---------------------------------------------------

CWndHook::CWndHook(CWnd* wnd, bool dialog)
    : m_previousWnd(t_pendingWnd), m_previousDialog(t_pendingDialog) {
    t_pendingWnd = wnd;
    t_pendingDialog = dialog;
    m_hook = ::SetWindowsHookExW(WH_CBT, &CWndHook::CbtProc, nullptr, ::GetCurrentThreadId());
}

CWndHook::~CWndHook() {
    if (m_hook != nullptr)
        ::UnhookWindowsHookEx(m_hook);
    t_pendingWnd = m_previousWnd;
    t_pendingDialog = m_previousDialog;
}

LRESULT CALLBACK CWndHook::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_pendingWnd != nullptr) {
        auto hWnd = reinterpret_cast<HWND>(wParam);
        auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        // Other windows can be born first (an input-method window, say):
        // take only the one that was asked for.
        bool wanted =
            t_pendingDialog ? IsDialogWindow(hWnd) : create->lpcs->lpCreateParams == t_pendingWnd;
        if (wanted) {
            CWnd* wnd = t_pendingWnd;
            t_pendingWnd = nullptr;
            auto oldProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
            wnd->Bind(hWnd, oldProc);
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC,
                                reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc));
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
