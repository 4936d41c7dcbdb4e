#include "ExportDialog.h"

#include "ExportFormatTable.h"
#include "ShellDialogs.h"
#include "TextConvert.h"
#include "resource.h"

#include <commctrl.h>

#include <filesystem>

namespace {

SYSTEMTIME PickerTime(const ExportDay& day) {
    SYSTEMTIME time = {};
    if (day.year == 0) {
        ::GetLocalTime(&time);
        time.wHour = time.wMinute = time.wSecond = time.wMilliseconds = 0;
        return time;
    }
    time.wYear = static_cast<WORD>(day.year);
    time.wMonth = static_cast<WORD>(day.month);
    time.wDay = static_cast<WORD>(day.day);
    return time;
}

ExportDay PickerDay(HWND picker) {
    SYSTEMTIME time = {};
    if (::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
        ::GetLocalTime(&time);
    return {time.wYear, time.wMonth, time.wDay};
}

int DayNumber(const ExportDay& day) {
    return (day.year * 100 + day.month) * 100 + day.day;
}

} // namespace

CExportDialog::CExportDialog(ExportChoices& choices, ExportTargets& targets,
                             const ExportCurrentFriend& current, CShellDialogs& shell)
    : CDialog(IDD_EXPORT), m_choices(choices), m_targets(targets), m_current(current),
      m_shell(shell) {}

bool CExportDialog::Run(HWND owner) {
    // The pickers' class is registered on demand, before the template needs it.
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&init);
    return DoModal(owner) == IDOK;
}

BOOL CExportDialog::OnInitDialog() {
    HWND formats = GetDlgItem(IDC_EXPORT_FORMAT);
    for (const ExportFormatRow& row : exporter::ExportFormatRows()) {
        const std::wstring title = WideFromUtf8(row.title);
        const auto index =
            ::SendMessageW(formats, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
        ::SendMessageW(formats, CB_SETITEMDATA, index, static_cast<LPARAM>(row.id));
    }
    ExportChoices shown = m_choices;
    if (!m_current.present)
        shown.scope = ExportScope::AllFriends;
    ::EnableWindow(GetDlgItem(IDC_EXPORT_CURRENT), m_current.present);
    ShowChoices(shown);
    m_showingFolder = viewer::ExportsToFolder(shown);
    ::SetWindowTextW(GetDlgItem(IDC_EXPORT_TARGET),
                     (m_showingFolder ? m_targets.folder : m_targets.file).c_str());
    UpdateControls();
    return TRUE;
}

void CExportDialog::ShowChoices(const ExportChoices& choices) {
    const bool current = choices.scope == ExportScope::CurrentFriend;
    ::CheckRadioButton(m_hWnd, IDC_EXPORT_CURRENT, IDC_EXPORT_ALL,
                       current ? IDC_EXPORT_CURRENT : IDC_EXPORT_ALL);
    HWND formats = GetDlgItem(IDC_EXPORT_FORMAT);
    const auto count = ::SendMessageW(formats, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (::SendMessageW(formats, CB_GETITEMDATA, i, 0) == static_cast<LRESULT>(choices.format))
            ::SendMessageW(formats, CB_SETCURSEL, i, 0);
    }
    ::CheckDlgButton(m_hWnd, IDC_EXPORT_MONTH_PAGES, choices.monthPages ? BST_CHECKED : 0);
    ::CheckRadioButton(m_hWnd, IDC_EXPORT_ALL_DATES, IDC_EXPORT_DATE_RANGE,
                       choices.allDates ? IDC_EXPORT_ALL_DATES : IDC_EXPORT_DATE_RANGE);
    const SYSTEMTIME from = PickerTime(choices.from), to = PickerTime(choices.to);
    ::SendMessageW(GetDlgItem(IDC_EXPORT_FROM), DTM_SETSYSTEMTIME, GDT_VALID,
                   reinterpret_cast<LPARAM>(&from));
    ::SendMessageW(GetDlgItem(IDC_EXPORT_TO), DTM_SETSYSTEMTIME, GDT_VALID,
                   reinterpret_cast<LPARAM>(&to));
    ::CheckDlgButton(m_hWnd, IDC_EXPORT_SHOWN_ORDER, choices.shownOrder ? BST_CHECKED : 0);
}

ExportChoices CExportDialog::ReadChoices() const {
    ExportChoices choices;
    choices.scope = ::IsDlgButtonChecked(m_hWnd, IDC_EXPORT_CURRENT) == BST_CHECKED
                        ? ExportScope::CurrentFriend
                        : ExportScope::AllFriends;
    HWND formats = GetDlgItem(IDC_EXPORT_FORMAT);
    const auto selected = ::SendMessageW(formats, CB_GETCURSEL, 0, 0);
    if (selected != CB_ERR)
        choices.format =
            static_cast<ExportFormat>(::SendMessageW(formats, CB_GETITEMDATA, selected, 0));
    choices.monthPages = ::IsDlgButtonChecked(m_hWnd, IDC_EXPORT_MONTH_PAGES) == BST_CHECKED;
    choices.allDates = ::IsDlgButtonChecked(m_hWnd, IDC_EXPORT_DATE_RANGE) != BST_CHECKED;
    choices.from = PickerDay(GetDlgItem(IDC_EXPORT_FROM));
    choices.to = PickerDay(GetDlgItem(IDC_EXPORT_TO));
    choices.shownOrder = ::IsDlgButtonChecked(m_hWnd, IDC_EXPORT_SHOWN_ORDER) == BST_CHECKED;
    return choices;
}

void CExportDialog::UpdateControls() {
    const ExportChoices choices = ReadChoices();
    ::EnableWindow(GetDlgItem(IDC_EXPORT_MONTH_PAGES),
                   exporter::FormatRow(choices.format).splitsByDefault);
    ::EnableWindow(GetDlgItem(IDC_EXPORT_FROM), !choices.allDates);
    ::EnableWindow(GetDlgItem(IDC_EXPORT_TO), !choices.allDates);
    const bool folder = viewer::ExportsToFolder(choices);
    if (folder == m_showingFolder)
        return;
    // A file's path is no folder and the other way round: each kind keeps
    // its own last place.
    (m_showingFolder ? m_targets.folder : m_targets.file) = TargetText();
    m_showingFolder = folder;
    ::SetWindowTextW(GetDlgItem(IDC_EXPORT_TARGET),
                     (folder ? m_targets.folder : m_targets.file).c_str());
}

std::wstring CExportDialog::TargetText() const {
    HWND field = GetDlgItem(IDC_EXPORT_TARGET);
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(::GetWindowTextW(field, text.data(), static_cast<int>(text.size())));
    return text;
}

bool CExportDialog::Browse() {
    const ExportChoices choices = ReadChoices();
    std::wstring chosen;
    if (viewer::ExportsToFolder(choices)) {
        if (!m_shell.PickFolder(m_hWnd, L"选择导出到的文件夹", TargetText(), chosen))
            return false;
    } else {
        const ExportFormatRow& row = exporter::FormatRow(choices.format);
        CShellDialogs::SaveRequest request;
        request.title = L"导出聊天记录";
        request.folder = std::filesystem::path(TargetText()).parent_path().wstring();
        request.name =
            viewer::DefaultExportFileName(m_current.nickname, m_current.key, row.extension);
        request.extension = WideFromUtf8(row.extension);
        request.filterName = WideFromUtf8(row.title) + L" (*." + request.extension + L")";
        if (!m_shell.PickSaveFile(m_hWnd, request, chosen))
            return false;
    }
    ::SetWindowTextW(GetDlgItem(IDC_EXPORT_TARGET), chosen.c_str());
    return true;
}

BOOL CExportDialog::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
    case IDC_EXPORT_BROWSE:
        Browse();
        return TRUE;
    case IDC_EXPORT_CURRENT:
    case IDC_EXPORT_ALL:
    case IDC_EXPORT_MONTH_PAGES:
    case IDC_EXPORT_ALL_DATES:
    case IDC_EXPORT_DATE_RANGE:
        UpdateControls();
        return TRUE;
    case IDC_EXPORT_FORMAT:
        if (code == CBN_SELCHANGE)
            UpdateControls();
        return TRUE;
    default:
        return CDialog::OnCommand(id, code, control);
    }
}

void CExportDialog::OnOK() {
    const ExportChoices choices = ReadChoices();
    if (!choices.allDates && DayNumber(choices.from) > DayNumber(choices.to)) {
        m_shell.Message(m_hWnd, L"开始日期晚于结束日期。", MB_OK | MB_ICONWARNING);
        return;
    }
    if (TargetText().empty() && !Browse())
        return;
    m_target = TargetText();
    m_choices = choices;
    (viewer::ExportsToFolder(choices) ? m_targets.folder : m_targets.file) = m_target;
    EndDialog(IDOK);
}
