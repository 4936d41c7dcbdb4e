// The real Corvelle.exe in its own process, driven by the client stand-in
// from another, under a Chinese locale (ANSI code page 936) as on the
// client's own systems: the stand-in finds the window with FindWindowA and
// the GBK caption. The panes are read back across processes with messages
// that carry no pointers.
#include "ChatLogWriter.h"
#include "ScratchDir.h"
#include "ViewerMessages.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <string>

namespace {

std::wstring WindowsPath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path;
}

struct ClientRun {
    DWORD exitCode = 1;
    std::string output;
};

ClientRun RunClient(const std::wstring& arguments) {
    ClientRun run;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return run;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    std::wstring exe = WindowsPath(VEMLI_CLIENT_STANDIN_EXE);
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    PROCESS_INFORMATION process = {};
    BOOL started = ::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                    nullptr, &startup, &process);
    ::CloseHandle(writeEnd);
    if (started) {
        char buffer[256];
        DWORD got = 0;
        while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            run.output.append(buffer, got);
        ::WaitForSingleObject(process.hProcess, 60000);
        ::GetExitCodeProcess(process.hProcess, &run.exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(readEnd);
    return run;
}

struct ChildSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (::lstrcmpiW(name, search->className) != 0)
        return TRUE;
    search->found = child;
    return FALSE;
}

HWND FindChild(HWND parent, const wchar_t* className) {
    ChildSearch search{className, nullptr};
    ::EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::path folder = m_dir / "1234" / "ChatLog";
        std::filesystem::create_directories(folder);
        auto log = [&](const char* file, const char* key, const char* name, int records) {
            ChatLogHeaderFields fields;
            fields.friendKey = key;
            fields.friendName = name;
            fields.ownerName = "\xce\xd2"; // 我
            std::string bytes = BuildHeaderBytes(fields);
            for (int i = 0; i < records; ++i)
                bytes += BuildRecordBytes(1767225600 + i * 60, i % 2, "\xc4\xe3\xba\xc3"); // 你好
            ASSERT_TRUE(WriteFileBytes((folder / file).string(), bytes));
        };
        log("5001.dat", "5001", "\xd5\xc5\xc8\xfd", 3); // 张三
        log("5002.dat", "5002", "\xc0\xee\xcb\xc4", 5); // 李四
        log("5003.dat", "5003", "Amy", 1);
    }

    void TearDown() override {
        if (m_viewer.hProcess != nullptr) {
            if (::WaitForSingleObject(m_viewer.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(m_viewer.hProcess, 1);
            ::CloseHandle(m_viewer.hThread);
            ::CloseHandle(m_viewer.hProcess);
        }
    }

    CScratchDir m_scratch{"viewer_e2e"};
    const std::filesystem::path& m_dir = m_scratch.Path();
    PROCESS_INFORMATION m_viewer = {};
};

TEST_F(EndToEnd, TheClientStandInDrivesTheRealViewer) {
    // Without the Chinese code page the ANSI lookup below would prove nothing.
    ASSERT_EQ(::GetACP(), 936u) << "run with LANG=zh_CN.UTF-8 and LOCPATH (see CMakeLists)";

    std::wstring exe = WindowsPath(VEMLI_VIEWER_EXE);
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 m_dir.wstring().c_str(), &startup, &m_viewer));

    // The stand-in prints the answer as a console line (CR LF). It waits for
    // the window itself; kViewerMsgResetPanes first, on empty panes.
    ClientRun run = RunClient(L"--ansi --wait 30000 reset");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output, "1\r\n");
    HWND viewer = ::FindWindowW(nullptr, kViewerCaption);
    ASSERT_NE(viewer, nullptr);
    HWND tree = FindChild(viewer, L"SysTreeView32");
    HWND list = FindChild(viewer, L"SysListView32");
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(TreeItemCount(tree), 1);

    run = RunClient(L"--ansi account 1 234");
    EXPECT_EQ(run.output, "1\r\n");
    EXPECT_EQ(TreeItemCount(tree), 4);
    HTREEITEM root =
        reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    EXPECT_TRUE(
        ::SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(root), TVIS_EXPANDED) &
        TVIS_EXPANDED);

    run = RunClient(L"--ansi friend 500 2"); // 5002: five messages
    EXPECT_EQ(run.output, "1\r\n");
    HTREEITEM selected =
        reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_NE(selected, nullptr);
    EXPECT_NE(selected, root);
    EXPECT_EQ(ListRowCount(list), 5);

    // Not one of the viewer's messages: the default answer, nothing changes.
    run = RunClient(L"--ansi raw 1030 1 234");
    EXPECT_EQ(run.output, "0\r\n");
    EXPECT_EQ(ListRowCount(list), 5);

    run = RunClient(L"--ansi reset");
    EXPECT_EQ(run.output, "1\r\n");
    EXPECT_EQ(TreeItemCount(tree), 1);
    EXPECT_EQ(ListRowCount(list), 0);

    // Closing the window ends the program normally.
    ::PostMessageW(viewer, WM_CLOSE, 0, 0);
    ASSERT_EQ(::WaitForSingleObject(m_viewer.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(m_viewer.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);

    // With no viewer the stand-in says so and fails.
    run = RunClient(L"reset");
    EXPECT_NE(run.exitCode, 0u);
}

} // namespace
