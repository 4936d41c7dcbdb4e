// Start-up as the program does it: the application object's InitInstance, the
// caption and the lookups by which the client finds the window, and the exit
// through the menu command.
#include "CorvelleApp.h"
#include "MainFrame.h"
#include "ViewerMessages.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <string>

namespace {

// 信息管理器 in code page 936.
const char kGbkCaption[] = "\xd0\xc5\xcf\xa2\xb9\xdc\xc0\xed\xc6\xf7";

TEST(StartUp, ShowsTheFrameUnderItsCaptionAndEndsThroughTheExitCommand) {
    CCorvelleApp app;
    ASSERT_EQ(AfxGetApp(), &app);
    ASSERT_TRUE(app.InitInstance());

    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetWindowText(), kViewerCaption);
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_NE(frame->GetFriendListPane(), nullptr);

    // The wide lookup finds it on every system.
    EXPECT_EQ(::FindWindowW(nullptr, kViewerCaption), frame->m_hWnd);
    // The ANSI lookup with the GBK caption, as the client makes it, finds it
    // exactly when the system's code page is Chinese.
    HWND ansi = ::FindWindowA(nullptr, kGbkCaption);
    if (::GetACP() == 936) {
        EXPECT_EQ(ansi, frame->m_hWnd);
        char caption[64] = {};
        ::GetWindowTextA(frame->m_hWnd, caption, sizeof caption);
        EXPECT_STREQ(caption, kGbkCaption);
    } else {
        EXPECT_EQ(ansi, nullptr);
    }

    // 退出(&X): the window goes and the loop is told to end.
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(::FindWindowW(nullptr, kViewerCaption), nullptr);
    EXPECT_EQ(app.Run(), 0);
}

// The program's resources (this test program carries the same ones).
TEST(Resources, VersionStringsAndChineseLanguage) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(self, &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(::GetFileVersionInfoW(self, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000009u); // 0.9
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00090000u); // 9.0
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00000009u);
    wchar_t* description = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\FileDescription",
                                 reinterpret_cast<void**>(&description), &length));
    EXPECT_STREQ(description, L"Vemli \u96c6\u6210\u901a\u8baf\u5ba2\u6237\u7aef"
                              L"\u4fe1\u606f\u7ba1\u7406\u5668"); // Vemli 集成通讯客户端信息管理器

    const WORD chinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    EXPECT_EQ(chinese, 2052);
    HMODULE module = ::GetModuleHandleW(nullptr);
    const struct {
        LPCWSTR type;
        WORD id;
    } resources[] = {{RT_MENU, 128},       {RT_ACCELERATOR, 128}, {RT_GROUP_ICON, 128},
                     {RT_GROUP_ICON, 129}, {RT_DIALOG, 130},      {RT_DIALOG, 131},
                     {RT_DIALOG, 132},     {RT_BITMAP, 133}};
    for (const auto& r : resources)
        EXPECT_NE(::FindResourceExW(module, r.type, MAKEINTRESOURCEW(r.id), chinese), nullptr)
            << r.id;

    wchar_t text[64] = {};
    ::LoadStringW(module, 0xE000, text, 64);
    EXPECT_STREQ(text, L"\u4fe1\u606f\u7ba1\u7406\u5668");
    ::LoadStringW(module, 128, text, 64);
    EXPECT_EQ(std::wstring(text).substr(0, 9), L"Merovane\n");

    // The toolbar that is never shown: version 1, 16 x 15 buttons, cut, copy,
    // paste, a separator (0) and print.
    HRSRC toolbar =
        ::FindResourceExW(module, MAKEINTRESOURCEW(241), MAKEINTRESOURCEW(128), chinese);
    ASSERT_NE(toolbar, nullptr);
    const WORD expectedToolbar[] = {1, 16, 15, 5, 0xE123, 0xE122, 0xE125, 0, 0xE107};
    ASSERT_EQ(::SizeofResource(module, toolbar), sizeof expectedToolbar);
    const auto* words = static_cast<const WORD*>(::LockResource(::LoadResource(module, toolbar)));
    EXPECT_TRUE(std::equal(std::begin(expectedToolbar), std::end(expectedToolbar), words));
    // The status indicators, never shown either (there is no status bar).
    const wchar_t* indicators[] = {L"扩展名", L"大写", L"数字", L"滚动", L"改写", L"记录"};
    for (UINT i = 0; i < 6; ++i) {
        text[0] = L'\0';
        ::LoadStringW(module, 0xE700 + i, text, 64);
        EXPECT_STREQ(text, indicators[i]) << i;
    }

    // The friend picture: 15 x 17.
    HBITMAP bitmap = static_cast<HBITMAP>(
        ::LoadImageW(module, MAKEINTRESOURCEW(133), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    ::GetObjectW(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 15);
    EXPECT_EQ(info.bmHeight, 17);
    ::DeleteObject(bitmap);
}

// The frame's caption buttons are drawn by the system with its Marlett font;
// the prefixes the tests and the demo run in must have it, or the buttons
// show the letters "0 1 r".
int CALLBACK NoteFontType(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
    *reinterpret_cast<DWORD*>(found) |= type | 0x80000000u;
    return 1;
}

TEST(Environment, TitleBarGlyphFontIsInstalled) {
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcscpy(wanted.lfFaceName, L"Marlett");
    DWORD found = 0;
    HDC dc = ::GetDC(nullptr);
    // A named stdcall function: a lambda does not convert to one in the
    // 32-bit build.
    ::EnumFontFamiliesExW(dc, &wanted, NoteFontType, reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, dc);
    EXPECT_NE(found, 0u) << "no Marlett font";
    EXPECT_NE(found & TRUETYPE_FONTTYPE, 0u);
}

} // namespace
