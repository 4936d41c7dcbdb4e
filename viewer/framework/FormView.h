// A view whose window is a dialog template made into a child window. Its
// controls are bound to wrapper members by id (DoDataExchange, run once by
// the first initial update); the controls are laid out by the view's own
// OnSize, which runs once more right after that initial update.
#pragma once

#include "View.h"

class CFormView : public CView {
public:
    explicit CFormView(UINT templateId) : m_templateId(templateId) {}

    // Creates the window from the dialog template (a resource of the
    // program), with the given id and place.
    BOOL Create(CWnd* parent, UINT id, DWORD style, const RECT& rect,
                CCreateContext* context) override;

    void OnInitialUpdate() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Binds the controls: one DDX_Control per control.
    virtual void DoDataExchange() {}

    // Routes control `id`'s messages through `control` (subclassing it), so
    // that the control can handle its own messages and reflected
    // notifications. Binding twice is a no-op.
    void DDX_Control(int id, CWnd& control);

private:
    static INT_PTR CALLBACK FormDialogProc(HWND, UINT, WPARAM, LPARAM);
    UINT m_templateId;
    bool m_dataBound = false;
};
