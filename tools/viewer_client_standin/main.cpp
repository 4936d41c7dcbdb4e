// viewer-client-standin: plays the client towards a running viewer. Finds the window
// captioned 信息管理器 and sends it one message, printing the answer.
//
//   viewer-client-standin reset                 message 1025
//   viewer-client-standin account FIRST SECOND  message 1026 with the owner's numbers
//   viewer-client-standin friend FIRST SECOND   message 1027 with a friend's numbers
//   viewer-client-standin raw MSG [WPARAM [LPARAM]]  any message number
//   --ansi    look the window up with FindWindowA and the GBK caption, as the
//             client does on a Chinese system
//   --wait MS keep looking for the window for up to MS milliseconds
#include "ViewerMessages.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: viewer-client-standin [--ansi] [--wait MS] reset\n"
                 "       viewer-client-standin [--ansi] [--wait MS] account|friend FIRST SECOND\n"
                 "       viewer-client-standin [--ansi] [--wait MS] raw MSG [WPARAM [LPARAM]]\n");
    return 2;
}

bool ParseNumber(const char* text, unsigned long long& value) {
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    value = std::strtoull(text, &end, 0);
    return end != nullptr && *end == '\0';
}

HWND FindViewer(bool ansi) {
    if (!ansi)
        return ::FindWindowW(nullptr, kViewerCaption);
    char caption[64] = {};
    ::WideCharToMultiByte(936, 0, kViewerCaption, -1, caption, sizeof caption, nullptr, nullptr);
    return ::FindWindowA(nullptr, caption);
}

} // namespace

int main(int argc, char** argv) {
    bool ansi = false;
    unsigned long long waitMs = 0;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (std::strcmp(argv[i], "--ansi") == 0) {
            ansi = true;
        } else if (std::strcmp(argv[i], "--wait") == 0 && i + 1 < argc &&
                   ParseNumber(argv[i + 1], waitMs)) {
            ++i;
        } else {
            return Usage();
        }
    }
    if (i >= argc)
        return Usage();

    const std::string command = argv[i];
    unsigned long long message = 0, wParam = 0, lParam = 0;
    const int rest = argc - i - 1;
    char** args = argv + i + 1;
    if (command == "reset" && rest == 0) {
        message = kViewerMsgResetPanes;
    } else if ((command == "account" || command == "friend") && rest == 2 &&
               ParseNumber(args[0], wParam) && ParseNumber(args[1], lParam)) {
        message = command == "account" ? kViewerMsgShowAccount : kViewerMsgSelectFriend;
    } else if (command == "raw" && rest >= 1 && rest <= 3 && ParseNumber(args[0], message) &&
               (rest < 2 || ParseNumber(args[1], wParam)) &&
               (rest < 3 || ParseNumber(args[2], lParam))) {
    } else {
        return Usage();
    }

    HWND viewer = FindViewer(ansi);
    for (unsigned long long waited = 0; viewer == nullptr && waited < waitMs; waited += 50) {
        ::Sleep(50);
        viewer = FindViewer(ansi);
    }
    if (viewer == nullptr) {
        std::fprintf(stderr, "viewer-client-standin: no window titled the viewer's caption\n");
        return 1;
    }
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(viewer, static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                               static_cast<LPARAM>(lParam), SMTO_NORMAL, 30000, &answer)) {
        std::fprintf(stderr, "viewer-client-standin: the viewer did not answer\n");
        return 1;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(answer));
    return 0;
}
