// Views: panes attached to a document. They get one initial update once the
// frame's client area is complete.
#pragma once

#include "Document.h"
#include "FrameworkIds.h"
#include "Wnd.h"

class CView : public CWnd {
public:
    BOOL Create(CWnd* parent, UINT id, DWORD style, const RECT& rect,
                CCreateContext* context) override;

    CDocument* GetDocument() const { return m_pDocument; }

    // Called on WM_INITIALUPDATE (the frame sends it once).
    virtual void OnInitialUpdate() {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    CDocument* m_pDocument = nullptr;
};
