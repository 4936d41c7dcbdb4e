// CContentOutput: the message content pane (form 132). One read-only,
// multi-line edit control without wrapping that shows the selected
// message's whole text, black on white whatever the colour scheme.
#pragma once

#include "Edit.h"
#include "FormView.h"
#include "GdiObject.h"

class CContentOutput : public CFormView {
public:
    static constexpr const char* kClassName = "CContentOutput";

    CContentOutput();

    // Replaces the whole text with text (GBK, NUL-terminated), or with the
    // empty text for null. Line ends are kept as stored. The control keeps
    // its own copy.
    void SetMessageText(const char* text);
    // Empties the text once the control exists.
    void ClearMessageText();
    // Selects the characters start to end of the text shown (UTF-16 units)
    // and scrolls them into view, without taking the focus.
    void SelectText(int start, int end);
    HWND TextWindow() const { return m_messageEdit.m_hWnd; }

    void OnInitialUpdate() override;

protected:
    void DoDataExchange() override;
    void OnSize(UINT type, int cx, int cy) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType) override;

private:
    CBrush m_backgroundBrush;
    CEdit m_messageEdit;
};
