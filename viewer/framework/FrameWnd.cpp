#include "FrameWnd.h"

#include "WinApp.h"

namespace {
const wchar_t kFrameClass[] = L"VemliFrame";

// The first field of the template string: the frame's initial title.
std::wstring TitleFromString(UINT resourceId) {
    const wchar_t* text = nullptr;
    int length =
        ::LoadStringW(AfxGetInstanceHandle(), resourceId, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr)
        return {};
    std::wstring all(text, static_cast<size_t>(length));
    return all.substr(0, all.find(L'\n'));
}
} // namespace

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    if (m_hWnd != nullptr)
        return FALSE;
    HINSTANCE instance = AfxGetInstanceHandle();
    // One class per icon would be needed for frames with different icons;
    // the programs have one frame.
    HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(resourceId));
    HICON smallIcon = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 16, 16, LR_SHARED));
    RegisterClass(kFrameClass, CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), icon, smallIcon);

    CREATESTRUCTW cs = {};
    cs.style = style;
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    cs.hwndParent = parent ? parent->m_hWnd : nullptr;
    cs.lpszClass = kFrameClass;
    std::wstring title = TitleFromString(resourceId);
    cs.lpszName = title.c_str();
    cs.hInstance = instance;
    if (!PreCreateWindow(cs))
        return FALSE;

    HMENU menu = ::LoadMenuW(instance, MAKEINTRESOURCEW(resourceId));
    m_hAccelTable = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resourceId));
    m_pCreateContext = context;
    BOOL created = CreateEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                            cs.cy, cs.hwndParent, reinterpret_cast<UINT_PTR>(menu));
    m_pCreateContext = nullptr;
    if (!created) {
        // A window that was made owns its menu; one that was not does not.
        if (menu != nullptr && !::IsMenu(menu))
            menu = nullptr;
        if (menu != nullptr)
            ::DestroyMenu(menu);
        m_hAccelTable = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTW&) {
    return TRUE;
}

int CFrameWnd::OnCreate(CREATESTRUCTW* cs) {
    if (Default() == -1)
        return -1;
    if (!OnCreateClient(cs, m_pCreateContext))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(CREATESTRUCTW*, CCreateContext* context) {
    if (context == nullptr || context->m_pNewViewClass == nullptr)
        return TRUE;
    auto view = DowncastOwned<CWnd>(context->m_pNewViewClass->CreateObject());
    if (!view ||
        !view->Create(this, AFX_IDW_PANE_FIRST, WS_CHILD | WS_VISIBLE, {0, 0, 0, 0}, context))
        return FALSE;
    m_defaultView = std::move(view);
    return TRUE;
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL makeVisible) {
    SendMessageToDescendants(WM_INITIALUPDATE);
    if (AfxGetMainWnd() == nullptr)
        AfxSetMainWnd(this);
    if (makeVisible)
        ActivateFrame();
}

void CFrameWnd::ActivateFrame(int cmdShow) {
    ShowWindow(cmdShow == -1 ? SW_SHOW : cmdShow);
    UpdateWindow();
}

void CFrameWnd::RecalcLayout() {
    HWND client = GetDlgItem(AFX_IDW_PANE_FIRST);
    if (client == nullptr)
        return;
    RECT rect = GetClientRect();
    ::SetWindowPos(client, nullptr, 0, 0, rect.right, rect.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFrameWnd::OnSize(UINT type, int, int) {
    Default();
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

BOOL CFrameWnd::OnCommand(UINT id, UINT, HWND) {
    if (id == ID_APP_EXIT) {
        SendMessage(WM_CLOSE);
        return TRUE;
    }
    return FALSE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (m_hAccelTable != nullptr && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST)
        return ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, msg) != 0;
    return FALSE;
}

void CFrameWnd::OnDestroy() {
    Default();
    // Closing the main window ends the program (only when there is a program:
    // a test that makes a frame must not get WM_QUIT).
    if (AfxGetMainWnd() == this && AfxGetApp() != nullptr)
        ::PostQuitMessage(0);
}

void CFrameWnd::PostNcDestroy() {
    if (AfxGetMainWnd() == this)
        AfxSetMainWnd(nullptr);
    m_defaultView.reset();
}
