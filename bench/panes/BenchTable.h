// The real message list and content panes in a window of their own, for the
// benchmark: loads a log the way a friend selection or an order or filter
// switch does, and times it until the table has its rows and until it has
// painted them.
#pragma once

#include "ChatContentTitle.h"
#include "ContentOutput.h"
#include "ViewerMessages.h"
#include "WinApp.h"
#include "resource.h"

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
        Pump();
        return true;
    }

    // Sets the order and the filter as the user does: a click on a radio
    // button, a pick in the filter box. With a log listed, this reloads it.
    void SetOrder(int32_t order) {
        const int button = order == kOrderAscending ? IDC_SORT_ASCENDING : IDC_SORT_DESCENDING;
        ::SendMessageW(m_list->GetDlgItem(button), BM_CLICK, 0, 0);
    }
    void SetFilter(int32_t filter) {
        const int entry = filter == kFilterAll ? 0 : filter == kFilterSent ? 1 : 2;
        HWND combo = m_list->GetDlgItem(IDC_MESSAGE_FILTER);
        ::SendMessageW(combo, CB_SETCURSEL, entry, 0);
        ::SendMessageW(m_list->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MESSAGE_FILTER, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
    }
    void Unload() {
        m_list->LoadMessages(nullptr);
        Pump();
    }

    // A friend selection: order and filter set with no log listed, then the
    // log loaded, timed until the table has its rows and until it painted.
    void MeasureLoad(CChatLogFile* log, int32_t order, int32_t filter, double* tableMs,
                     double* paintMs) {
        Unload();
        SetOrder(order);
        SetFilter(filter);
        Pump();
        Timed([&] { m_list->LoadMessages(log); }, tableMs, paintMs);
    }

    // A switch while log is listed: from the other order, or from the filter
    // before this one, to (order, filter).
    void MeasureSwitch(CChatLogFile* log, int32_t order, int32_t filter, bool switchOrder,
                       double* tableMs, double* paintMs) {
        Unload();
        const int32_t otherOrder = order == kOrderAscending ? kOrderDescending : kOrderAscending;
        const int32_t previousFilter = filter == kFilterAll    ? kFilterReceived
                                       : filter == kFilterSent ? kFilterAll
                                                               : kFilterSent;
        SetOrder(switchOrder ? otherOrder : order);
        SetFilter(switchOrder ? filter : previousFilter);
        m_list->LoadMessages(log);
        Pump();
        Timed([&] { switchOrder ? SetOrder(order) : SetFilter(filter); }, tableMs, paintMs);
    }

    size_t Rows() const {
        return static_cast<size_t>(
            ::SendMessageW(m_list->GetDlgItem(IDC_MESSAGE_LIST), LVM_GETITEMCOUNT, 0, 0));
    }

private:
    template <class Step> void Timed(Step step, double* tableMs, double* paintMs) {
        using Clock = std::chrono::steady_clock;
        const auto t0 = Clock::now();
        step();
        const auto t1 = Clock::now();
        ::UpdateWindow(m_list->GetDlgItem(IDC_MESSAGE_LIST));
        const auto t2 = Clock::now();
        *tableMs = std::chrono::duration<double, std::milli>(t1 - t0).count();
        *paintMs = std::chrono::duration<double, std::milli>(t2 - t0).count();
        Pump();
    }

    static void Pump() {
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
