#include "GotoDateDialog.h"

#include "Wnd.h"
#include "resource.h"

#include <commctrl.h>

bool CGotoDateDialog::DoModal(HWND owner) {
    // The picker's class is registered on demand, before the template needs it.
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&init);
    return ::DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDD_GOTO_DATE), owner,
                             &CGotoDateDialog::DialogProc, reinterpret_cast<LPARAM>(this)) == IDOK;
}

INT_PTR CALLBACK CGotoDateDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = reinterpret_cast<CGotoDateDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        self = reinterpret_cast<CGotoDateDialog*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        ::SendDlgItemMessageW(dialog, IDC_GOTO_DATE_PICKER, DTM_SETSYSTEMTIME, GDT_VALID,
                              reinterpret_cast<LPARAM>(&self->m_date));
        return TRUE; // the focus goes to the picker, the first tab stop
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && self != nullptr) {
            SYSTEMTIME picked = {};
            if (::SendDlgItemMessageW(dialog, IDC_GOTO_DATE_PICKER, DTM_GETSYSTEMTIME, 0,
                                      reinterpret_cast<LPARAM>(&picked)) == GDT_VALID)
                self->m_date = picked;
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
