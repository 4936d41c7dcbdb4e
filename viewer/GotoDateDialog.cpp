#include "GotoDateDialog.h"

#include "resource.h"

#include <commctrl.h>

CGotoDateDialog::CGotoDateDialog(const SYSTEMTIME& date) : CDialog(IDD_GOTO_DATE), m_date(date) {}

bool CGotoDateDialog::Run(HWND owner) {
    // The picker's class is registered on demand, before the template needs it.
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&init);
    return DoModal(owner) == IDOK;
}

BOOL CGotoDateDialog::OnInitDialog() {
    ::SendMessageW(GetDlgItem(IDC_GOTO_DATE_PICKER), DTM_SETSYSTEMTIME, GDT_VALID,
                   reinterpret_cast<LPARAM>(&m_date));
    return TRUE; // the focus goes to the picker, the first tab stop
}

void CGotoDateDialog::OnOK() {
    SYSTEMTIME picked = {};
    if (::SendMessageW(GetDlgItem(IDC_GOTO_DATE_PICKER), DTM_GETSYSTEMTIME, 0,
                       reinterpret_cast<LPARAM>(&picked)) == GDT_VALID)
        m_date = picked;
    EndDialog(IDOK);
}
