// Views: the panes of a frame. They get one initial update once the
// frame's client area is complete.
#pragma once

#include "FrameworkIds.h"
#include "Wnd.h"

class CView : public CWnd {
public:
    // Called on WM_INITIALUPDATE (the frame sends it once).
    virtual void OnInitialUpdate() {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
