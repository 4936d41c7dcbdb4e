// CChatLogFile through the Win32 mapping only: sizes a 32-bit view cannot
// hold and the narrow (GBK) and wide paths of the Windows build.
#include "ChatLogFile.h"
#include "ChatLogFileCases.h"
#include "ScratchDir.h"
#include "TestPlatform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// A log past 4 GiB (sparse, so it costs no disk; the low 32 bits of its size
// would make it a bare header) keeps the clamped size, and its walk never
// crashes: a 64-bit process maps that much and finds the one record before
// the zeros; a 32-bit one has no room for such a view and lists nothing.
// Windows builds only: the host's mapping is populated up front, which would
// fill 4 GiB of page cache with zeros.
TEST(ChatLogFileWin32, LogPastFourGiBIsClampedAndMappedOnlyWhereItFits) {
    CScratchDir dir;
    std::string path = dir.File("1.dat");
    ASSERT_TRUE(WriteFileBytes(path, Header() + Recs(1)));
    ASSERT_TRUE(TruncateFile(path, 0x100000000ull + 80));
    CChatLogFile log;
    ASSERT_TRUE(log.Open(path.c_str()));
    EXPECT_EQ(log.FileSize(), 0xFFFFFFFFu);
    EXPECT_EQ(Contents(log), sizeof(void*) == 8 ? Texts(1) : std::vector<std::string>{});
}

// The narrow path is GBK whatever Wine's ANSI code page is; the wide one is
// what a wide directory listing yields.
TEST(ChatLogFileWin32, GbkAndWidePaths) {
    CScratchDir dir;
    fs::path folder = dir.Path() / L"\x804a\x5929"; // 聊天
    fs::create_directories(folder);
    fs::path file = folder / L"8.dat";
    std::string bytes = Header("8") + Recs(2);
    std::FILE* out = _wfopen(file.c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), out), bytes.size());
    std::fclose(out);

    std::string narrow = dir.Path().string() + "\\\xc1\xc4\xcc\xec\\8.dat";
    CChatLogFile gbk;
    ASSERT_TRUE(gbk.Open(narrow.c_str()));
    EXPECT_EQ(Contents(gbk), Texts(2));

    CChatLogFile wide;
    ASSERT_TRUE(wide.Open(file.c_str()));
    EXPECT_EQ(wide.FriendKey(), "8");
    EXPECT_EQ(Contents(wide), Texts(2));

    std::wstring longPath(260, L'x');
    EXPECT_FALSE(wide.Open(longPath.c_str()));
    EXPECT_TRUE(wide.IsOpen());
    EXPECT_FALSE(wide.Open((folder / L"9.dat").c_str()));
    EXPECT_FALSE(fs::exists(folder / L"9.dat"));
}
