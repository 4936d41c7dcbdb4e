// The application object: start-up (InitInstance), the message loop with the
// pre-translation walk (accelerators, controls that discard keys), and the
// thread's main window.
#pragma once

#include "DocTemplate.h"
#include "Wnd.h"

#include <memory>
#include <string>
#include <vector>

class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen };
    ShellCommand m_nShellCommand = FileNew;
    std::wstring m_strFileName;
};

class CWinApp : public CObject {
public:
    CWinApp();
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();
    virtual int ExitInstance() { return m_exitCode; }
    // The walk from the message's window up to the main window.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // The 3-D look is the system's own since long; kept for the start-up steps.
    void Enable3dControls() {}
    // The recent-file list is never shown or used, so nothing of it is kept.
    void LoadStdProfileSettings(UINT /*maxRecentFiles*/) {}

    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
    // A first argument that is not a switch names a document to open.
    void ParseCommandLine(CCommandLineInfo& info);
    // New and open both make the empty document and its frame: documents of
    // these programs hold nothing, so nothing is read from a named file.
    BOOL ProcessShellCommand(const CCommandLineInfo& info);

    CWnd* GetMainWnd() const;

private:
    std::vector<std::unique_ptr<CSingleDocTemplate>> m_templates;
    int m_exitCode = 0;
};

// Hosting of platform controls needs nothing beyond the common controls.
void AfxEnableControlContainer();

CWinApp* AfxGetApp();
// The thread's main window: the frame that the first InitialUpdateFrame made
// it, or what AfxSetMainWnd said (tests); cleared when that window goes.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* wnd);

// InitInstance, then the message loop; the program's exit code.
int AfxWinMain();
