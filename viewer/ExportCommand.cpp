#include "ExportCommand.h"

#include "ChatContentTitle.h"
#include "ExportProgressDlg.h"
#include "ExportResultText.h"
#include "ExportWorker.h"
#include "PaneHost.h"
#include "ShellDialogs.h"
#include "TextConvert.h"
#include "UserTitleWnd.h"

#include <vector>

namespace {

// The order and filter the table shows (its working values before any
// friend was shown are the defaults).
ExportTableView TableView(CPaneHost& host) {
    ExportTableView view;
    if (CChatContentTitle* messages = host.GetMessageListPane()) {
        if (messages->GetSortOrder() == 2)
            view.order = ExportOrder::Descending;
        const int32_t filter = messages->GetMessageFilter();
        if (filter >= 1 && filter <= 3)
            view.filter = static_cast<unsigned>(filter);
    }
    return view;
}

} // namespace

void CExportCommand::Run(CPaneHost& host) {
    ExportCurrentFriend current;
    if (CUserTitleWnd* friends = host.GetFriendListPane()) {
        if (const CChatLogFile* log = friends->SelectedFriendLog()) {
            current.present = true;
            current.nickname = WideFromGbk(log->FriendName().data(), log->FriendName().size());
            current.key = WideFromGbk(log->FriendKey().data(), log->FriendKey().size());
        }
    }
    CExportDialog dialog(m_choices, m_targets, current, host.ShellDialogs());
    if (dialog.Run(host.HostWindow()))
        Export(host, m_choices, dialog.Target());
}

bool CExportCommand::MakeSettings(CPaneHost& host, const ExportChoices& choices,
                                  const std::wstring& target, ExportJobSettings& settings) {
    CUserTitleWnd* friends = host.GetFriendListPane();
    if (friends == nullptr)
        return false;
    std::vector<std::string> logs;
    if (choices.scope == ExportScope::CurrentFriend) {
        if (const CChatLogFile* log = friends->SelectedFriendLog())
            logs.push_back(Utf8FromWide(friends->FriendLogPath(log)));
    } else {
        friends->VisitFriendLogs([&](size_t, const CChatLogFile& log) {
            logs.push_back(Utf8FromWide(friends->FriendLogPath(&log)));
        });
    }
    if (logs.empty())
        return false;
    settings.options =
        viewer::MakeExportOptions(choices, logs, TableView(host), Utf8FromWide(target));
    settings.toFolder = viewer::ExportsToFolder(choices);
    settings.countFirst = true; // the bar knows its end before the first byte
    // A friend's log may be gone since the tree listed it: the others still go.
    settings.inputsListedEarlier = true;
    return true;
}

void CExportCommand::Export(CPaneHost& host, const ExportChoices& choices,
                            const std::wstring& target) {
    ExportJobSettings settings;
    if (!MakeSettings(host, choices, target, settings)) {
        host.ShellDialogs().Message(host.HostWindow(), L"没有可导出的好友。",
                                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    CExportWorker worker(std::move(settings));
    CExportProgressDlg progress(worker);
    // The frame may have been closed under the export (which then stopped).
    if (!progress.Run(host.HostWindow()) || !::IsWindow(host.HostWindow()))
        return;
    m_lastResult = worker.Result();
    ShowResult(host, target);
}

void CExportCommand::ShowResult(CPaneHost& host, const std::wstring& target) {
    std::wstring text = WideFromUtf8(viewer::ExportResultText(m_lastResult));
    const bool wrote = viewer::ExportWroteFiles(m_lastResult);
    const bool trouble = m_lastResult.refused || !m_lastResult.problems.empty();
    if (!wrote) {
        host.ShellDialogs().Message(host.HostWindow(), text,
                                    MB_OK | (trouble ? MB_ICONWARNING : MB_ICONINFORMATION));
        return;
    }
    text += L"\n\n在文件夹中查看导出的文件吗？";
    if (host.ShellDialogs().Message(host.HostWindow(), text,
                                    MB_YESNO | (trouble ? MB_ICONWARNING : MB_ICONINFORMATION)) ==
        IDYES)
        host.ShellDialogs().ShowInFileManager(target);
}
