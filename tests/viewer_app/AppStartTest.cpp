// Start-up as the program does it: the application object's InitInstance, the
// caption and the lookups by which the client finds the window, and the exit
// through the menu command.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "viewer/CorvelleApp.h"
#include "viewer/MainFrm.h"
#include "viewer/ViewerMessages.h"

namespace {

// 信息管理器 in code page 936.
const char kGbkCaption[] = "\xd0\xc5\xcf\xa2\xb9\xdc\xc0\xed\xc6\xf7";

TEST(StartUp, ShowsTheFrameUnderItsCaptionAndEndsThroughTheExitCommand) {
    CCorvelleApp app;
    ASSERT_EQ(AfxGetApp(), &app);
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.GetMaxRecentFiles(), 4u);

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

} // namespace
