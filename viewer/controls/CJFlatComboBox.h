// CCJFlatComboBox: a combo box that lets the standard control paint itself,
// then draws a thin flat frame over the 3-D border and around the drop-down
// button; hot while focused or when painted under the pointer. Combo boxes
// with an edit field also get the typed text completed from the list.
#pragma once

#include "ComboBox.h"

class CCJFlatComboBox : public CComboBox {
public:
    static constexpr const char* kClassName = "CCJFlatComboBox";

    // Looks, the first argument of DrawBorder.
    static constexpr int kLookFlat = 1;
    static constexpr int kLookHot = 2;

    CCJFlatComboBox();

    // Paints the frame of a look with the given outer ring colours on a
    // device context of the client area taken for this drawing only.
    void DrawBorder(int look, COLORREF topLeftColour, COLORREF bottomRightColour);

    // Completes the edit field from the first list entry that begins with
    // the typed text (reflected CBN_EDITUPDATE).
    void AutoCompleteText();

    // Swallows WM_SYSCHAR so Alt+letter typed here fires no menu mnemonic.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void OnPaint() override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnSysColorChange() override;
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void LoadColours();

    int m_buttonWidth;
    BOOL m_hasFocus = FALSE;
    BOOL m_autoComplete = TRUE;
    COLORREF m_highlightColour;
    COLORREF m_shadowColour;
    COLORREF m_faceColour;
};
