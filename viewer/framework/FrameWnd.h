// Frame window: a top-level window with the menu, accelerators, icon and title
// of one resource id, whose client area is one child window with the id
// AFX_IDW_PANE_FIRST (a view, or a splitter holding views).
#pragma once

#include "Document.h"
#include "FrameworkIds.h"
#include "Wnd.h"

class CFrameWnd : public CWnd {
public:
    static constexpr char kClassName[] = "CFrameWnd";

    // Creates the frame (not shown). The creation context reaches
    // OnCreateClient during WM_CREATE.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW, CWnd* parent = nullptr,
                   CCreateContext* context = nullptr);

    // Sends the initial update to every window below the frame and makes the
    // frame the thread's main window if there is none yet.
    void InitialUpdateFrame(CDocument* document, BOOL makeVisible);

    // Last look at the creation parameters; FALSE refuses the creation.
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    // Builds the client area; FALSE fails the frame's creation. The base makes
    // one view of the context's view class.
    virtual BOOL OnCreateClient(CREATESTRUCTW* cs, CCreateContext* context);
    virtual void ActivateFrame(int cmdShow = -1);
    // Lays the client window over the whole client area.
    virtual void RecalcLayout();

    HACCEL GetAccelerators() const { return m_hAccelTable; }
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    void OnDestroy() override;
    void PostNcDestroy() override;

    HACCEL m_hAccelTable = nullptr;

private:
    CCreateContext* m_pCreateContext = nullptr;
    std::unique_ptr<CWnd> m_defaultView; // the base OnCreateClient's view
};
