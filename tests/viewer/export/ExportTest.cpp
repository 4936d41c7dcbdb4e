// 导出聊天记录 on a real main frame over a real account: every format, one
// friend and all, compared byte for byte with what chatlog-export writes for
// the same choices; a date range; a cancel in the middle; the client's
// messages during an export; the exports that must write nothing.
#include "ExportFixture.h"
#include "ModalAnswer.h"

#include <map>

namespace {

const char kZhang[] = "\xd5\xc5\xc8\xfd"; // 张三
const char kLi[] = "\xc0\xee\xcb\xc4";    // 李四
// 你好 and the characters the formats must escape.
const char kText[] = "\xc4\xe3\xba\xc3 <b>&\"x\",=1";
constexpr std::int32_t kJan15 = 1705320000; // 2024-01-15 12:00 UTC
constexpr std::int32_t kDay = 86400;

using FileTree = std::map<std::string, std::string>; // relative path -> bytes

// A file, or every file below a folder, by relative path.
FileTree ReadTree(const std::filesystem::path& root) {
    FileTree tree;
    if (std::filesystem::is_regular_file(root)) {
        tree["."] = ReadBytes(root);
        return tree;
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ec)) {
        if (entry.is_regular_file())
            tree[std::filesystem::relative(entry.path(), root).generic_string()] =
                ReadBytes(entry.path());
    }
    return tree;
}

// chatlog-export with these arguments; its exit code, or -1.
int RunExporter(const std::vector<std::wstring>& args) {
    const std::wstring exe = std::filesystem::u8path(BuildOutput(CHATLOG_EXPORT_EXE)).wstring();
    std::wstring line = L"\"" + exe + L"\"";
    for (const std::wstring& arg : args) {
        // A trailing backslash would escape the closing quote.
        line += L" \"" + arg + (!arg.empty() && arg.back() == L'\\' ? L"\\" : L"") + L"\"";
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &process))
        return -1;
    ::WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

const wchar_t* FormatName(ExportFormat format) {
    switch (format) {
    case ExportFormat::Txt:
        return L"txt";
    case ExportFormat::Csv:
        return L"csv";
    case ExportFormat::Json:
        return L"json";
    default:
        return L"html";
    }
}

class ViewerExport : public ViewerExportTest {
protected:
    void SetUp() override {
        ViewerExportTest::SetUp();
        std::vector<LogRecord> zhang, li;
        for (int i = 0; i < 40; ++i)
            zhang.push_back({kJan15 + i * 3 * kDay, static_cast<std::uint32_t>(i % 2),
                             kText + std::to_string(i)});
        for (int i = 0; i < 5; ++i)
            li.push_back({kJan15 + 20 * kDay + i * 60, 1, "li " + std::to_string(i)});
        WriteLog(m_logs, "11.dat", LogBytes("11", kZhang, zhang));
        WriteLog(m_logs, "22.dat", LogBytes("22", kLi, li));
        WriteLog(m_logs, "33.dat", LogBytes("33", "empty"));
        Send(kViewerMsgShowAccount, 1, 234);
        SelectFriend("11");
    }
    // chatlog-export's arguments for the same choices on these logs.
    static std::vector<std::wstring> CliArgs(const ExportChoices& c,
                                             const std::vector<std::wstring>& logs,
                                             const std::filesystem::path& to, bool descending) {
        std::vector<std::wstring> args = logs;
        args.insert(args.end(), {L"--format", FormatName(c.format)});
        if (c.shownOrder && descending)
            args.insert(args.end(), {L"--order", L"desc"});
        if (!c.allDates) {
            const std::string from = viewer::IsoDate(c.from), till = viewer::IsoDate(c.to);
            args.insert(args.end(), {L"--from", std::wstring(from.begin(), from.end()), L"--to",
                                     std::wstring(till.begin(), till.end())});
        }
        const bool folder = viewer::ExportsToFolder(c);
        args.insert(args.end(), {L"-o", to.wstring() + (folder ? L"\\" : L"")});
        if (folder && c.format == ExportFormat::Html)
            args.insert(args.end(), {L"--split", c.monthPages ? L"month" : L"none"});
        return args;
    }
    std::vector<std::wstring> LogPaths(const std::vector<const char*>& names) {
        std::vector<std::wstring> paths;
        for (const char* name : names)
            paths.push_back((m_logs / name).wstring());
        return paths;
    }
    std::vector<std::wstring> AllLogsInTreeOrder() {
        std::vector<std::wstring> paths;
        for (const std::wstring& name : ListingOrder(m_logs, {L"11.dat", L"22.dat", L"33.dat"}))
            paths.push_back((m_logs / name).wstring());
        return paths;
    }
};

TEST_F(ViewerExport, WritesWhatTheCommandLineWritesInEveryFormat) {
    // The table shows the newest first: 按当前排序和筛选 takes that order.
    CWnd* pane = m_frame->GetMessageListPane();
    ::SendMessageW(::GetDlgItem(pane->m_hWnd, IDC_SORT_DESCENDING), BM_CLICK, 0, 0);
    Pump();
    ASSERT_EQ(m_frame->GetMessageListPane()->GetSortOrder(), 2);
    const struct {
        ExportScope scope;
        ExportFormat format;
        bool monthPages;
        bool shownOrder;
    } cases[] = {
        {ExportScope::CurrentFriend, ExportFormat::Txt, true, true},
        {ExportScope::CurrentFriend, ExportFormat::Csv, true, false},
        {ExportScope::CurrentFriend, ExportFormat::Json, true, true},
        {ExportScope::CurrentFriend, ExportFormat::Html, false, true},
        {ExportScope::CurrentFriend, ExportFormat::Html, true, false},
        {ExportScope::AllFriends, ExportFormat::Txt, true, false},
        {ExportScope::AllFriends, ExportFormat::Csv, true, true},
        {ExportScope::AllFriends, ExportFormat::Json, true, false},
        {ExportScope::AllFriends, ExportFormat::Html, true, true},
        {ExportScope::AllFriends, ExportFormat::Html, false, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        ExportChoices choices;
        choices.scope = c.scope;
        choices.format = c.format;
        choices.monthPages = c.monthPages;
        choices.shownOrder = c.shownOrder;
        const std::string name = "case" + std::to_string(n++);
        const std::filesystem::path mine = m_dir / "viewer" / name, theirs = m_dir / "cli" / name;
        std::filesystem::create_directories(mine.parent_path());
        std::filesystem::create_directories(theirs.parent_path());
        const ExportJobResult& result = Export(choices, mine);
        EXPECT_FALSE(result.refused || result.cancelled) << name;
        EXPECT_EQ(result.messages, c.scope == ExportScope::AllFriends ? 45u : 40u) << name;
        const auto logs =
            c.scope == ExportScope::AllFriends ? AllLogsInTreeOrder() : LogPaths({"11.dat"});
        ASSERT_EQ(RunExporter(CliArgs(choices, logs, theirs, true)), 0) << name;
        const FileTree expected = ReadTree(theirs);
        EXPECT_FALSE(expected.empty()) << name;
        EXPECT_TRUE(ReadTree(mine) == expected) << name;
    }
    // The result was offered in the file manager each time; the user said no.
    EXPECT_TRUE(m_shell.m_shown.empty());
    EXPECT_EQ(m_shell.m_messages.size(), std::size(cases));
}

TEST_F(ViewerExport, ADateRangeTakesItsDaysInclusiveAndTheResultCanBeShown) {
    ExportChoices choices;
    choices.format = ExportFormat::Txt;
    choices.allDates = false;
    choices.from = {2024, 2, 2}; // the 7th message, 2024-02-02
    choices.to = {2024, 2, 29};
    m_shell.m_messageAnswer = IDYES;
    const std::filesystem::path mine = m_dir / "range.txt", theirs = m_dir / "range-cli.txt";
    const ExportJobResult& result = Export(choices, mine);
    EXPECT_EQ(result.messages, 10u); // 02-02 .. 02-29, every third day
    ASSERT_EQ(RunExporter(CliArgs(choices, LogPaths({"11.dat"}), theirs, false)), 0);
    EXPECT_EQ(ReadBytes(mine), ReadBytes(theirs));
    ASSERT_EQ(m_shell.m_shown.size(), 1u);
    EXPECT_EQ(m_shell.m_shown[0], mine.wstring());
    EXPECT_NE(m_shell.m_messages.back().find(L"10 条消息"), std::wstring::npos);
}

TEST_F(ViewerExport, RefusedExportsChangeNothingAndSaySo) {
    const std::string logBefore = ReadBytes(m_logs / "11.dat");
    WriteLog(m_dir, "plain.txt", "a file");
    const struct {
        ExportScope scope;
        std::filesystem::path target;
        const char* what;
    } cases[] = {
        {ExportScope::CurrentFriend, m_logs / "11.dat", "the log being exported"},
        {ExportScope::AllFriends, m_dir / "plain.txt" / "out", "a folder under a file"},
    };
    for (const auto& c : cases) {
        ExportChoices choices;
        choices.scope = c.scope;
        choices.format = ExportFormat::Txt;
        m_shell.m_messages.clear();
        const ExportJobResult& result = Export(choices, c.target);
        EXPECT_TRUE(result.refused) << c.what;
        EXPECT_EQ(result.files, 0u) << c.what;
        ASSERT_EQ(m_shell.m_messages.size(), 1u) << c.what;
        EXPECT_NE(m_shell.m_messages[0].find(L"没有导出"), std::wstring::npos) << c.what;
    }
    EXPECT_EQ(ReadBytes(m_logs / "11.dat"), logBefore);
    EXPECT_EQ(ReadBytes(m_dir / "plain.txt"), "a file");
    EXPECT_TRUE(m_shell.m_shown.empty());
}

// A log big enough that an export is still running when the user acts, also
// on a fast machine: the bar moves first after a refresh of the window.
constexpr int kManyMessages = 600000;

class ViewerLongExport : public ViewerExport {
protected:
    void SetUp() override {
        ViewerExport::SetUp();
        std::vector<LogRecord> many;
        for (int i = 0; i < kManyMessages; ++i)
            many.push_back({kJan15 + i * 600, static_cast<std::uint32_t>(i % 2), kText});
        WriteLog(m_logs, "44.dat", LogBytes("44", "many", many));
        Send(kViewerMsgShowAccount, 1, 234);
        SelectFriend("44");
    }
    // While an export to `to` runs, `act` is called once its bar has moved.
    bool WhileExporting(const ExportChoices& choices, const std::filesystem::path& to,
                        const std::function<void(HWND)>& act) {
        return CModalAnswer::While(
            [&] {
                HWND progress = CModalAnswer::DialogWith(IDC_EXPORT_BAR);
                if (progress == nullptr ||
                    ::SendDlgItemMessageW(progress, IDC_EXPORT_BAR, PBM_GETPOS, 0, 0) == 0)
                    return false;
                act(progress);
                return true;
            },
            [&] { Export(choices, to); });
    }
};

TEST_F(ViewerLongExport, CancelLeavesNothingWrittenAndTheReplacedFileAsItWas) {
    ExportChoices choices;
    choices.format = ExportFormat::Txt;
    std::filesystem::create_directories(m_dir / "out");
    const std::filesystem::path file = m_dir / "out" / "many.txt";
    WriteLog(m_dir / "out", "many.txt", "the previous export");
    ASSERT_TRUE(WhileExporting(choices, file,
                               [](HWND progress) { CModalAnswer::Click(progress, IDCANCEL); }));
    EXPECT_TRUE(m_frame->ExportCommand().LastResult().cancelled);
    EXPECT_EQ(ReadTree(m_dir / "out"), (FileTree{{"many.txt", "the previous export"}}));

    // Pages by month into a new folder: none of it stays.
    choices.format = ExportFormat::Html;
    ASSERT_TRUE(WhileExporting(choices, m_dir / "pages",
                               [](HWND progress) { CModalAnswer::Click(progress, IDCANCEL); }));
    EXPECT_TRUE(m_frame->ExportCommand().LastResult().cancelled);
    EXPECT_TRUE(ReadTree(m_dir / "pages").empty());
}

TEST_F(ViewerLongExport, TheClientIsAnsweredDuringAnExportThatGoesOnWithItsFiles) {
    std::filesystem::path other = AccountFolder("5678");
    WriteLog(other, "77.dat", LogBytes("77", "other"));
    ExportChoices choices;
    choices.format = ExportFormat::Csv;
    const std::filesystem::path mine = m_dir / "many.csv", theirs = m_dir / "many-cli.csv";
    std::vector<std::wstring> labelsDuring;
    ASSERT_TRUE(WhileExporting(choices, mine, [&](HWND) {
        EXPECT_EQ(Send(kViewerMsgSelectFriend, 1, 1), kViewerMsgHandled);
        EXPECT_EQ(Send(kViewerMsgResetPanes), kViewerMsgHandled);
        EXPECT_EQ(Send(kViewerMsgShowAccount, 5, 678), kViewerMsgHandled);
        labelsDuring = FriendLabels();
    }));
    EXPECT_EQ(labelsDuring, std::vector<std::wstring>{L"other(77)"});
    const ExportJobResult& result = m_frame->ExportCommand().LastResult();
    EXPECT_FALSE(result.cancelled || result.refused);
    EXPECT_EQ(result.messages, static_cast<std::uint64_t>(kManyMessages));
    ASSERT_EQ(RunExporter(CliArgs(choices, LogPaths({"44.dat"}), theirs, false)), 0);
    EXPECT_TRUE(ReadBytes(mine) == ReadBytes(theirs));
}

} // namespace
