#include "CorvelleApp.h"

#include "MainFrame.h"
#include "MerovaneDoc.h"
#include "MerovaneView.h"
#include "ViewerMessages.h"
#include "resource.h"

BOOL CCorvelleApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    LoadStdProfileSettings(4);

    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, RuntimeClassOf<CMerovaneDoc>(), RuntimeClassOf<CMainFrame>(),
        RuntimeClassOf<CMerovaneView>()));

    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    if (!ProcessShellCommand(commandLine))
        return FALSE;

    CWnd* main = GetMainWnd();
    if (main == nullptr)
        return FALSE;
    // The wide call: the caption is right whatever the system's code page.
    main->SetWindowText(kViewerCaption);
    main->ShowWindow(SW_SHOW);
    main->UpdateWindow();
    return TRUE;
}
