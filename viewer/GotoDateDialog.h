// CGotoDateDialog: the small modal dialog of 转到日期 (template
// IDD_GOTO_DATE): one date picker, OK and Cancel.
#pragma once

#include <windows.h>

class CGotoDateDialog {
public:
    // The date the picker starts on, and after OK the date picked.
    explicit CGotoDateDialog(const SYSTEMTIME& date) : m_date(date) {}

    // Runs the dialog owned by `owner`; true when it ended with OK.
    bool DoModal(HWND owner);
    const SYSTEMTIME& Date() const { return m_date; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    SYSTEMTIME m_date;
};
