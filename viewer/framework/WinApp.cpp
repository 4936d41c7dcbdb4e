#include "WinApp.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {
CWinApp* g_app = nullptr;
thread_local CWnd* t_mainWnd = nullptr;
} // namespace

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    m_templates.clear();
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
}
CWnd* AfxGetMainWnd() {
    return t_mainWnd;
}
void AfxSetMainWnd(CWnd* wnd) {
    t_mainWnd = wnd;
}
CWnd* CWinApp::GetMainWnd() const {
    return t_mainWnd;
}

void AfxEnableControlContainer() {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES |
                                                   ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&init);
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate) {
    m_templates.push_back(std::move(docTemplate));
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (args == nullptr)
        return;
    for (int i = 1; i < count; ++i) {
        if (args[i][0] == L'/' || args[i][0] == L'-')
            continue;
        if (info.m_strFileName.empty()) {
            info.m_strFileName = args[i];
            info.m_nShellCommand = CCommandLineInfo::FileOpen;
        }
    }
    ::LocalFree(args);
}

BOOL CWinApp::ProcessShellCommand(const CCommandLineInfo&) {
    if (m_templates.empty())
        return FALSE;
    return m_templates.front()->OpenDocumentFile() != nullptr;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    CWnd* main = AfxGetMainWnd();
    return CWnd::WalkPreTranslateTree(main ? main->m_hWnd : nullptr, msg);
}

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (msg.hwnd != nullptr && PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_exitCode = msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
    return ExitInstance();
}

int AfxWinMain() {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
