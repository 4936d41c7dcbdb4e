// The real message list and content panes in a window of their own, for the
// benchmark: loads a log the way a friend selection or an order or filter
// switch does, and times it until the table has its rows and until it has
// painted them.
#pragma once

#include "ChatContentTitle.h"
#include "ContentOutput.h"

#include "viewer/ViewerMessages.h"
#include "viewer/framework/WinApp.h"
#include "viewer/res/resource.h"

#include <chrono>
#include <memory>

class CBenchMainWnd : public CWnd {
public:
    CContentOutput* m_content = nullptr;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kViewerMsgShowMessageText) {
            if (m_content != nullptr) {
                m_content->SetMessageText(reinterpret_cast<const char*>(wParam));
            }
            return kViewerMsgHandled;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class CBenchTable {
public:
    bool Create() {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&init);
        CWnd::RegisterClass(kGenericWndClass, CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        if (!m_main.CreateEx(0, kGenericWndClass, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             1000, 700, nullptr, 0)) {
            return false;
        }
        AfxSetMainWnd(&m_main);
        m_list = std::make_unique<CChatContentTitle>();
        m_content = std::make_unique<CContentOutput>();
        if (!m_list->Create(&m_main, 0xE900, WS_CHILD | WS_VISIBLE, RECT{0, 0, 980, 450},
                            nullptr) ||
            !m_content->Create(&m_main, 0xE910, WS_CHILD | WS_VISIBLE, RECT{0, 450, 980, 650},
                               nullptr)) {
            return false;
        }
        m_main.m_content = m_content.get();
        m_list->SendMessage(WM_INITIALUPDATE);
        m_content->SendMessage(WM_INITIALUPDATE);
        pump();
        return true;
    }

    // Loads log under the given order and filter (untimed when both times
    // are null): the order and filter are set with no log listed, as a user
    // would before picking the friend, then the log is loaded and timed.
    void Measure(CChatLogFile* log, int32_t order, int32_t filter, double* tableMs,
                 double* paintMs) {
        m_list->LoadMessages(nullptr);
        const int button = order == kOrderAscending ? IDC_SORT_ASCENDING : IDC_SORT_DESCENDING;
        ::SendMessageW(m_list->GetDlgItem(button), BM_CLICK, 0, 0);
        const int entry = filter == kFilterAll ? 0 : filter == kFilterSent ? 1 : 2;
        HWND combo = m_list->GetDlgItem(IDC_MESSAGE_FILTER);
        ::SendMessageW(combo, CB_SETCURSEL, entry, 0);
        ::SendMessageW(m_list->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MESSAGE_FILTER, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
        pump();
        if (log == nullptr) {
            return;
        }
        using Clock = std::chrono::steady_clock;
        const auto t0 = Clock::now();
        m_list->LoadMessages(log);
        const auto t1 = Clock::now();
        ::UpdateWindow(m_list->GetDlgItem(IDC_MESSAGE_LIST));
        const auto t2 = Clock::now();
        if (tableMs != nullptr) {
            *tableMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
        }
        if (paintMs != nullptr) {
            *paintMs = std::chrono::duration<double, std::milli>(t2 - t0).count();
        }
        pump();
    }

private:
    static void pump() {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    CBenchMainWnd m_main;
    std::unique_ptr<CChatContentTitle> m_list;
    std::unique_ptr<CContentOutput> m_content;
};
