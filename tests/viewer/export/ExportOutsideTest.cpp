// Exports that the world outside the viewer fails, run under
// outside_hand.py: a disk that fills in the middle of a file (no file this
// program writes grows past VEMLI_FILE_LIMIT bytes), and a friend's log
// removed after the tree listed it by something Windows' sharing does not
// stop (another machine on a shared folder).
#include "ExportFixture.h"

#include <cstdlib>

namespace {

const char kZhang[] = "\xd5\xc5\xc8\xfd";   // 张三
constexpr std::int32_t kJan15 = 1705320000; // 2024-01-15 12:00 UTC

// Wine's own conversions between its paths and the Linux ones.
using UnixNameOf = char*(CDECL*)(LPCWSTR);
using DosNameOf = WCHAR*(CDECL*)(LPCSTR);

template <class F> F WineExport(const char* name) {
    // Through a pointer to a function of no arguments, the cast that says
    // the type is known.
    return reinterpret_cast<F>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name)));
}

// Asks the hand outside Windows to remove `file`; its answer ("removed").
std::string RemoveBehindWindowsBack(const std::filesystem::path& file) {
    const auto unixName = WineExport<UnixNameOf>("wine_get_unix_file_name");
    const auto dosName = WineExport<DosNameOf>("wine_get_dos_file_name");
    const char* handPath = std::getenv("VEMLI_OUTSIDE_HAND");
    if (unixName == nullptr || dosName == nullptr || handPath == nullptr)
        return "no hand outside Windows";
    char* target = unixName(file.wstring().c_str());
    WCHAR* handDos = dosName(handPath);
    if (target == nullptr || handDos == nullptr)
        return "no Linux name";
    const std::filesystem::path hand(handDos);
    std::ofstream(hand / "remove.tmp", std::ios::binary) << target;
    ::HeapFree(::GetProcessHeap(), 0, target);
    ::HeapFree(::GetProcessHeap(), 0, handDos);
    if (!::MoveFileExW((hand / "remove.tmp").wstring().c_str(), (hand / "remove").wstring().c_str(),
                       MOVEFILE_REPLACE_EXISTING))
        return "no request";
    for (int i = 0; i < 1000 && !std::filesystem::exists(hand / "answer"); ++i)
        ::Sleep(10);
    std::string answer = ReadBytes(hand / "answer");
    std::filesystem::remove(hand / "answer");
    return answer;
}

class ViewerExportOutside : public ViewerExportTest {
protected:
    void List(const char* selectKey) {
        Send(kViewerMsgShowAccount, 1, 234);
        SelectFriend(selectKey);
    }
    static std::vector<LogRecord> Messages(int count, const std::string& text) {
        std::vector<LogRecord> records;
        for (int i = 0; i < count; ++i)
            records.push_back({kJan15 + i * 60, static_cast<std::uint32_t>(i % 2), text});
        return records;
    }
    std::vector<std::filesystem::path> Files(const std::filesystem::path& folder) {
        std::vector<std::filesystem::path> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            names.push_back(std::filesystem::relative(entry.path(), folder));
        return names;
    }
};

TEST_F(ViewerExportOutside, ADiskThatFillsLeavesNoPartOfAFileAndTheReplacedOnesAsTheyWere) {
    const char* limitText = std::getenv("VEMLI_FILE_LIMIT");
    const long long limit = limitText ? std::atoll(limitText) : 0;
    ASSERT_GT(limit, 0) << "run under outside_hand.py";
    // 张三's log stays under the limit; his page, every "<&>" escaped, does
    // not. 李四's three messages fit anywhere.
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "<&>";
    const std::string log = LogBytes("11", kZhang, Messages(static_cast<int>(limit / 300), text));
    ASSERT_LT(log.size(), static_cast<size_t>(limit));
    WriteLog(m_logs, "11.dat", log);
    WriteLog(m_logs, "22.dat", LogBytes("22", "li", Messages(3, "hello")));
    List("11");

    const struct {
        ExportScope scope;
        const char* target;
        const char* replaced; // a file of an earlier export there
        std::uint64_t messages;
        const wchar_t* says;
    } cases[] = {
        {ExportScope::CurrentFriend, "zhang.html", "zhang.html", 0, L"导出失败"},
        {ExportScope::AllFriends, "pages", "pages/11/2024-01.html", 3, L"没有全部完成"},
    };
    for (const auto& c : cases) {
        const std::filesystem::path out = m_dir / "out", replaced = out / c.replaced;
        std::filesystem::create_directories(replaced.parent_path());
        std::ofstream(replaced, std::ios::binary) << "the previous export";
        ExportChoices choices;
        choices.scope = c.scope;
        choices.monthPages = c.scope == ExportScope::AllFriends;
        m_shell.m_messages.clear();
        const ExportJobResult& result = Export(choices, out / c.target);
        EXPECT_GE(result.filesFailed, 1u) << c.target;
        EXPECT_EQ(result.messages, c.messages) << c.target;
        EXPECT_EQ(ReadBytes(replaced), "the previous export") << c.target;
        for (const std::filesystem::path& file : Files(out))
            EXPECT_EQ(file.filename().string().find(".tmp"), std::string::npos) << file;
        ASSERT_EQ(m_shell.m_messages.size(), 1u) << c.target;
        EXPECT_NE(m_shell.m_messages[0].find(c.says), std::wstring::npos) << c.target;
        EXPECT_EQ(m_shell.m_messages[0].find(L"导出完成"), std::wstring::npos) << c.target;
        std::filesystem::remove_all(out);
    }
    EXPECT_TRUE(m_shell.m_shown.empty());
}

TEST_F(ViewerExportOutside, AFriendWhoseLogVanishedSinceItWasListedIsNamedAndTheOthersWritten) {
    WriteLog(m_logs, "11.dat", LogBytes("11", kZhang, Messages(4, "hello")));
    WriteLog(m_logs, "22.dat", LogBytes("22", "li", Messages(3, "gone")));
    List("22");
    ASSERT_EQ(RemoveBehindWindowsBack(m_logs / "22.dat"), "removed");
    ASSERT_FALSE(std::filesystem::exists(m_logs / "22.dat"));

    ExportChoices choices;
    choices.scope = ExportScope::AllFriends;
    choices.format = ExportFormat::Txt;
    const ExportJobResult& result = Export(choices, m_dir / "out");
    EXPECT_EQ(result.messages, 4u);
    EXPECT_EQ(result.friends, 1u);
    ASSERT_EQ(result.damaged.size(), 1u);
    ASSERT_EQ(m_shell.m_messages.size(), 1u);
    EXPECT_NE(m_shell.m_messages[0].find(L"22.dat"), std::wstring::npos) << m_shell.m_messages[0];
    // The viewer still shows what it had read of the friend.
    EXPECT_EQ(MessageRows(), 3);
}

} // namespace
