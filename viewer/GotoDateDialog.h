// CGotoDateDialog: the small modal dialog of 转到日期 (template
// IDD_GOTO_DATE): one date picker, OK and Cancel.
#pragma once

#include "Dialog.h"

class CGotoDateDialog : public CDialog {
public:
    // The date the picker starts on, and after OK the date picked.
    explicit CGotoDateDialog(const SYSTEMTIME& date);

    // Runs the dialog owned by `owner`; true when it ended with OK.
    bool Run(HWND owner);
    const SYSTEMTIME& Date() const { return m_date; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    SYSTEMTIME m_date;
};
