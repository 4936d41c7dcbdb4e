// Plays the user inside a modal loop: `answer` runs from a thread timer
// while a command's dialog is up, until it says it is done.
#pragma once

#include <windows.h>

#include <functional>

class CModalAnswer {
public:
    // Runs `command`; true when `answer` finished inside it.
    static bool While(const std::function<bool()>& answer, const std::function<void()>& command) {
        Answer() = answer;
        Done() = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &Tick);
        command();
        ::KillTimer(nullptr, timer);
        Answer() = nullptr;
        return Done();
    }

    // The visible dialog of this thread that has the control `id`.
    static HWND DialogWith(int id) {
        Query query{id, nullptr};
        ::EnumThreadWindows(::GetCurrentThreadId(), &Match, reinterpret_cast<LPARAM>(&query));
        return query.found;
    }

    // A button pressed as a click does (a radio button or box changes too).
    static void Click(HWND dialog, int id) {
        ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    }

private:
    struct Query {
        int id;
        HWND found;
    };
    // A window-enumeration callback: stdcall on 32-bit Windows, so no lambda.
    static BOOL CALLBACK Match(HWND hwnd, LPARAM data) {
        auto* q = reinterpret_cast<Query*>(data);
        if (::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, q->id) != nullptr) {
            q->found = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static std::function<bool()>& Answer() {
        static std::function<bool()> answer;
        return answer;
    }
    static bool& Done() {
        static bool done = false;
        return done;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (Answer() && !Done() && Answer()())
            Done() = true;
    }
};
