#include "ExportProgressDlg.h"

#include "ExportWorker.h"
#include "TextConvert.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

// Posted by the worker's thread when the export has ended.
constexpr UINT kMsgExportEnded = WM_APP + 1;
constexpr UINT_PTR kRefreshTimer = 1;
// The bar counts in thousandths: a message count may pass what it holds.
constexpr int kBarRange = 1000;

} // namespace

CExportProgressDlg::CExportProgressDlg(CExportWorker& worker)
    : CDialog(IDD_EXPORT_PROGRESS), m_worker(worker) {}

bool CExportProgressDlg::Run(HWND owner) {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&init);
    return DoModal(owner) != -1;
}

BOOL CExportProgressDlg::OnInitDialog() {
    ::SendMessageW(GetDlgItem(IDC_EXPORT_BAR), PBM_SETRANGE32, 0, kBarRange);
    Refresh();
    m_worker.Start(m_hWnd, kMsgExportEnded);
    ::SetTimer(m_hWnd, kRefreshTimer, kRefreshMs, nullptr);
    return TRUE;
}

void CExportProgressDlg::OnCancel() {
    // The window stays until the worker has removed what it wrote.
    m_worker.Cancel();
    ::EnableWindow(GetDlgItem(IDCANCEL), FALSE);
    Refresh();
}

void CExportProgressDlg::OnDestroy() {
    // The frame may close under the export: stop it before the window goes.
    ::KillTimer(m_hWnd, kRefreshTimer);
    m_worker.Cancel();
    m_worker.Join();
    CDialog::OnDestroy();
}

LRESULT CExportProgressDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kRefreshTimer) {
            Refresh();
            return 0;
        }
        break;
    case kMsgExportEnded:
        ::KillTimer(m_hWnd, kRefreshTimer);
        m_worker.Join();
        Refresh();
        EndDialog(IDOK);
        return 0;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CExportProgressDlg::Refresh() {
    const CExportWorker::Snapshot now = m_worker.Progress();
    std::wstring friendText;
    if (m_worker.Cancelling())
        friendText = L"正在取消，删除已写入的文件…";
    else if (now.counting)
        friendText = L"正在统计消息…";
    else if (!now.friendName.empty() || !now.friendKey.empty())
        friendText = L"正在导出：" + WideFromUtf8(now.friendName) + L"(" +
                     WideFromUtf8(now.friendKey) + L")";
    if (now.friendsTotal > 1)
        friendText += L"  第 " + std::to_wstring(std::min(now.friendsDone + 1, now.friendsTotal)) +
                      L" / " + std::to_wstring(now.friendsTotal) + L" 位好友";
    ::SetWindowTextW(GetDlgItem(IDC_EXPORT_FRIEND), friendText.c_str());
    const std::wstring count =
        now.counting ? std::wstring()
                     : std::to_wstring(now.done) + L" / " + std::to_wstring(now.total) + L" 条消息";
    ::SetWindowTextW(GetDlgItem(IDC_EXPORT_COUNT), count.c_str());
    const auto position = now.total == 0 ? 0 : static_cast<int>(now.done * kBarRange / now.total);
    ::SendMessageW(GetDlgItem(IDC_EXPORT_BAR), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}
