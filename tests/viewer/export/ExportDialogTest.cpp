// The export dialog on its own, the user played through its controls: what
// it offers first, what greys what, the Save dialog's proposal, a date range
// the wrong way round, and the choices kept for the next opening.
#include "ExportDialog.h"

#include "ExportFormatTable.h"
#include "ModalAnswer.h"
#include "ScriptedShell.h"
#include "WinTestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

bool Checked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
bool Enabled(HWND dialog, int id) {
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}
void SelectFormat(HWND dialog, ExportFormat format) {
    HWND combo = ::GetDlgItem(dialog, IDC_EXPORT_FORMAT);
    for (LRESULT i = 0; i < ::SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
        if (::SendMessageW(combo, CB_GETITEMDATA, i, 0) == static_cast<LRESULT>(format))
            ::SendMessageW(combo, CB_SETCURSEL, i, 0);
    }
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_EXPORT_FORMAT, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}
std::wstring Text(HWND dialog, int id) {
    wchar_t text[512] = {};
    ::GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

class ExportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                    nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_owner, nullptr);
        m_current = {true, L"张三", L"12345"};
    }
    void TearDown() override { ::DestroyWindow(m_owner); }

    // Opens the dialog; `play` acts on it once it is up; true when it ended with 导出.
    bool Open(const std::function<void(HWND)>& play) {
        bool exported = false;
        const bool answered = CModalAnswer::While(
            [&] {
                HWND dialog = CModalAnswer::DialogWith(IDC_EXPORT_FORMAT);
                if (dialog == nullptr)
                    return false;
                play(dialog);
                return true;
            },
            [&] {
                CExportDialog dialog(m_choices, m_targets, m_current, m_shell);
                exported = dialog.Run(m_owner);
                m_target = dialog.Target();
            });
        EXPECT_TRUE(answered);
        return exported;
    }

    HWND m_owner = nullptr;
    ExportChoices m_choices;
    ExportTargets m_targets;
    ExportCurrentFriend m_current;
    CScriptedShell m_shell;
    std::wstring m_target;
};

TEST_F(ExportDialogTest, OffersTheCurrentFriendAsWebPagesByMonthInTheTablesOrder) {
    std::vector<std::wstring> titles;
    EXPECT_FALSE(Open([&](HWND d) {
        EXPECT_TRUE(Checked(d, IDC_EXPORT_CURRENT) && !Checked(d, IDC_EXPORT_ALL));
        EXPECT_TRUE(Checked(d, IDC_EXPORT_MONTH_PAGES) && Enabled(d, IDC_EXPORT_MONTH_PAGES));
        EXPECT_TRUE(Checked(d, IDC_EXPORT_ALL_DATES));
        EXPECT_FALSE(Enabled(d, IDC_EXPORT_FROM) || Enabled(d, IDC_EXPORT_TO));
        EXPECT_TRUE(Checked(d, IDC_EXPORT_SHOWN_ORDER));
        HWND combo = ::GetDlgItem(d, IDC_EXPORT_FORMAT);
        for (LRESULT i = 0; i < ::SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
            wchar_t title[64] = {};
            ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(title));
            titles.push_back(title);
        }
        EXPECT_EQ(
            ::SendMessageW(combo, CB_GETITEMDATA, ::SendMessageW(combo, CB_GETCURSEL, 0, 0), 0),
            static_cast<LRESULT>(ExportFormat::Html));
        CModalAnswer::Click(d, IDCANCEL);
    }));
    // Every format of the exporter's table, under its own title.
    ASSERT_EQ(titles.size(), exporter::ExportFormatRows().size());
    EXPECT_EQ(titles.size(), 4u);
}

TEST_F(ExportDialogTest, WithoutAFriendSelectedOnlyAllFriendsCanBeChosen) {
    m_current = {};
    m_targets.folder = L"C:\\exports";
    EXPECT_TRUE(Open([](HWND d) {
        EXPECT_FALSE(Enabled(d, IDC_EXPORT_CURRENT));
        EXPECT_TRUE(Checked(d, IDC_EXPORT_ALL));
        EXPECT_EQ(Text(d, IDC_EXPORT_TARGET), L"C:\\exports");
        CModalAnswer::Click(d, IDOK);
    }));
    EXPECT_EQ(m_choices.scope, ExportScope::AllFriends);
    EXPECT_EQ(m_target, L"C:\\exports");
}

TEST_F(ExportDialogTest, FormatAndScopeGreyAndSwapWhatTheyMakeMeaningless) {
    m_targets = {L"C:\\one.txt", L"C:\\pages"};
    EXPECT_TRUE(Open([](HWND d) {
        EXPECT_EQ(Text(d, IDC_EXPORT_TARGET), L"C:\\pages"); // pages by month: a folder
        SelectFormat(d, ExportFormat::Txt);
        EXPECT_FALSE(Enabled(d, IDC_EXPORT_MONTH_PAGES));
        EXPECT_EQ(Text(d, IDC_EXPORT_TARGET), L"C:\\one.txt"); // one friend's text: a file
        CModalAnswer::Click(d, IDC_EXPORT_ALL);
        EXPECT_EQ(Text(d, IDC_EXPORT_TARGET), L"C:\\pages");
        CModalAnswer::Click(d, IDC_EXPORT_DATE_RANGE);
        EXPECT_TRUE(Enabled(d, IDC_EXPORT_FROM) && Enabled(d, IDC_EXPORT_TO));
        CModalAnswer::Click(d, IDC_EXPORT_SHOWN_ORDER);
        CModalAnswer::Click(d, IDOK);
    }));
    EXPECT_EQ(m_choices.format, ExportFormat::Txt);
    EXPECT_EQ(m_choices.scope, ExportScope::AllFriends);
    EXPECT_FALSE(m_choices.allDates);
    EXPECT_FALSE(m_choices.shownOrder);
    // Kept for the next opening.
    EXPECT_TRUE(Open([](HWND d) {
        EXPECT_TRUE(Checked(d, IDC_EXPORT_ALL));
        EXPECT_TRUE(Checked(d, IDC_EXPORT_DATE_RANGE));
        EXPECT_FALSE(Checked(d, IDC_EXPORT_SHOWN_ORDER));
        EXPECT_FALSE(Enabled(d, IDC_EXPORT_MONTH_PAGES));
        CModalAnswer::Click(d, IDOK);
    }));
}

TEST_F(ExportDialogTest, BrowseProposesNicknameKeyAndExtensionAndAnEmptyTargetAsksFirst) {
    m_shell.m_saveFiles = {L"", L"D:\\out\\zs.csv"};
    EXPECT_TRUE(Open([](HWND d) {
        SelectFormat(d, ExportFormat::Csv);
        CModalAnswer::Click(d, IDOK); // no target yet: the Save dialog, cancelled
        EXPECT_EQ(Text(d, IDC_EXPORT_TARGET), L"");
        CModalAnswer::Click(d, IDOK); // asked again, answered
    }));
    ASSERT_EQ(m_shell.m_saveRequests.size(), 2u);
    EXPECT_EQ(m_shell.m_saveRequests[0].name, L"张三(12345).csv");
    EXPECT_EQ(m_shell.m_saveRequests[0].extension, L"csv");
    EXPECT_EQ(m_target, L"D:\\out\\zs.csv");
    EXPECT_EQ(m_targets.file, L"D:\\out\\zs.csv");
}

TEST_F(ExportDialogTest, ARangeEndingBeforeItStartsIsRefused) {
    m_choices.allDates = false;
    m_choices.from = {2025, 3, 2};
    m_choices.to = {2025, 3, 1};
    m_targets.folder = L"C:\\x";
    bool stillOpen = false;
    EXPECT_FALSE(Open([&](HWND d) {
        CModalAnswer::Click(d, IDOK);
        stillOpen = ::IsWindowVisible(d) != FALSE;
        CModalAnswer::Click(d, IDCANCEL);
    }));
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(m_shell.m_messages.size(), 1u);
    EXPECT_EQ(m_choices.from.day, 2); // untouched by the refused run
}

} // namespace
