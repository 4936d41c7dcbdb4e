#include "ChatLogPaths.h"

#include <gtest/gtest.h>

namespace {

struct FolderCase {
    const wchar_t* current;
    const char* key;
    const wchar_t* expected;
};

TEST(ComposeChatLogFolder, JoinsWithSingleBackslashes) {
    const FolderCase cases[] = {
        {L"D:\\Apps\\Client", "12345678", L"D:\\Apps\\Client\\12345678\\ChatLog"},
        {L"C:\\", "12345678", L"C:\\12345678\\ChatLog"},
        {L"C:\\Client\\", "00", L"C:\\Client\\00\\ChatLog"},
        {L"Z:\\tmp", "14294967295", L"Z:\\tmp\\14294967295\\ChatLog"},
    };
    for (const FolderCase& c : cases) {
        std::wstring folder;
        ASSERT_TRUE(viewer::ComposeChatLogFolder(c.current, c.key, folder)) << c.key;
        EXPECT_EQ(folder, c.expected);
    }
}

TEST(ComposePaths, RefuseWhatWouldNotFitIn260Characters) {
    // "\\" + key + "\\ChatLog": with a 5-digit key that is 14 characters.
    const std::string key = "12345";
    const size_t tail = 1 + key.size() + 8;
    std::wstring folder;
    std::wstring longest(kPathBufferChars - 1 - tail, L'a'); // 259 characters in all
    EXPECT_TRUE(viewer::ComposeChatLogFolder(longest, key, folder));
    EXPECT_EQ(folder.size(), kPathBufferChars - 1);
    std::wstring tooLong(kPathBufferChars - tail, L'a'); // 260 characters
    folder = L"unchanged";
    EXPECT_FALSE(viewer::ComposeChatLogFolder(tooLong, key, folder));
    EXPECT_EQ(folder, L"unchanged");

    std::wstring pattern;
    EXPECT_TRUE(viewer::ComposeListingPattern(std::wstring(257, L'a'), pattern));
    EXPECT_FALSE(viewer::ComposeListingPattern(std::wstring(258, L'a'), pattern));

    std::wstring path;
    EXPECT_TRUE(viewer::ComposeListedFilePath(std::wstring(250, L'a'), L"12345678", path));
    EXPECT_FALSE(viewer::ComposeListedFilePath(std::wstring(251, L'a'), L"12345678", path));
}

TEST(ComposePaths, PatternAndFileKeepTheListedName) {
    std::wstring pattern, path;
    ASSERT_TRUE(viewer::ComposeListingPattern(L"C:\\c\\1\\ChatLog", pattern));
    EXPECT_EQ(pattern, L"C:\\c\\1\\ChatLog\\*");
    ASSERT_TRUE(viewer::ComposeListedFilePath(L"C:\\c\\1\\ChatLog", L"123.DAT", path));
    EXPECT_EQ(path, L"C:\\c\\1\\ChatLog\\123.DAT");
}

} // namespace
