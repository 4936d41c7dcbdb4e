// CExportProgressDlg: the window an export runs under (template
// IDD_EXPORT_PROGRESS), modal to the frame: the friend being written, a bar
// and the count in messages, and 取消. It starts the worker, reads its
// progress on a timer (the worker never waits for this window) and closes
// once the worker has ended, also after a cancel, when the worker has put
// back what it had written.
#pragma once

#include "Dialog.h"

class CExportWorker;

class CExportProgressDlg : public CDialog {
public:
    // The bar and texts are read again this often.
    static constexpr UINT kRefreshMs = 100;

    explicit CExportProgressDlg(CExportWorker& worker);

    // Runs the export to its end under the window owned by `owner`; false
    // when the window could not be made (then nothing ran).
    bool Run(HWND owner);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {} // Enter does not close the window
    void OnCancel() override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Refresh();

    CExportWorker& m_worker;
};
