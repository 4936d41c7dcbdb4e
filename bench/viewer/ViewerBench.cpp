// 1026 for an account of 5,000 friend logs, timed from the message to the tree
// filled and painted, against the least the listing can cost: a bare loop
// that lists the folder, opens every log and reads its 80-byte header (the
// handles stay open, as the viewer keeps them).
//
// "First" lists into an empty tree; "again" sends 1026 for the same account
// while the root is still expanded from the first listing, so the old items
// go and the new ones come under an expanded root.
#include "BenchSupport.h"
#include "ChatLogWriter.h"
#include "DocTemplate.h"
#include "MainFrame.h"
#include "MerovaneDoc.h"
#include "MerovaneView.h"
#include "UniqueHandle.h"
#include "UserTitleWnd.h"
#include "ViewerFrame.h"
#include "ViewerMessages.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kFriends = 5000;
constexpr int kRounds = 5;

// The bare loop; returns the headers read.
int BareListing(const fs::path& folder) {
    std::vector<HANDLE> open;
    open.reserve(kFriends);
    WIN32_FIND_DATAW entry;
    CFindHandle find(::FindFirstFileW((folder / "*").wstring().c_str(), &entry));
    int headers = 0;
    if (find.IsValid()) {
        do {
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            HANDLE file = ::CreateFileW((folder / entry.cFileName).wstring().c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                continue;
            char header[80];
            DWORD got = 0;
            if (::ReadFile(file, header, 80, &got, nullptr) && got == 80)
                ++headers;
            open.push_back(file);
        } while (::FindNextFileW(find.Get(), &entry));
    }
    for (HANDLE file : open)
        ::CloseHandle(file);
    return headers;
}

} // namespace

int main() {
    const fs::path folder = FreshChatLogFolder("viewer_bench");
    const fs::path base = folder.parent_path().parent_path();
    std::error_code ec;
    for (int i = 0; i < kFriends; ++i) {
        std::string key = std::to_string(100000 + i);
        ChatLogHeaderFields fields;
        fields.friendKey = key;
        fields.friendName = "\xc5\xf3\xd3\xd1" + std::to_string(i); // 朋友N
        fields.ownerName = "\xce\xd2";                              // 我
        std::string bytes = BuildHeaderBytes(fields) + BuildRecordBytes(1767225600, 0, "hi") +
                            BuildRecordBytes(1767225660, 1, "\xc4\xe3\xba\xc3");
        if (!WriteFileBytes((folder / (key + ".dat")).string(), bytes)) {
            std::fprintf(stderr, "viewer_bench: cannot write the account\n");
            return 1;
        }
    }
    CMainFrame* frame = nullptr;
    std::unique_ptr<CSingleDocTemplate> docTemplate = OpenViewerFrame(base, frame);
    if (docTemplate == nullptr)
        return 1;
    CTreeCtrl& tree = *dynamic_cast<CTreeCtrl*>(CWnd::FromHandlePermanent(
        ::GetDlgItem(frame->GetFriendListPane()->m_hWnd, IDC_FRIEND_TREE)));

    BareListing(folder); // the file cache warm for both sides
    std::vector<double> bare, first, again, reset;
    for (int round = 0; round < kRounds; ++round) {
        Clock::time_point t0 = Clock::now();
        int headers = BareListing(folder);
        bare.push_back(Millis(t0, Clock::now()));
        if (headers != kFriends)
            std::fprintf(stderr, "viewer_bench: bare loop read %d headers\n", headers);

        // First listing: into an empty tree (the reset of the previous
        // round's listing is timed on its own).
        t0 = Clock::now();
        frame->SendMessage(kViewerMsgResetPanes);
        ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (round > 0)
            reset.push_back(Millis(t0, Clock::now()));
        PumpViewerMessages();
        t0 = Clock::now();
        frame->SendMessage(kViewerMsgShowAccount, 1, 234);
        ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        first.push_back(Millis(t0, Clock::now()));
        if (tree.GetCount() != kFriends + 1u)
            std::fprintf(stderr, "viewer_bench: the tree holds %u items\n", tree.GetCount());
        PumpViewerMessages();

        // Again, while the root is still expanded.
        t0 = Clock::now();
        frame->SendMessage(kViewerMsgShowAccount, 1, 234);
        ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        again.push_back(Millis(t0, Clock::now()));
        PumpViewerMessages();
    }
    const double b = Median(bare), f = Median(first), a = Median(again), r = Median(reset);
    std::printf("viewer_bench: %d friend logs, median of %d rounds\n", kFriends, kRounds);
    std::printf("  bare loop (list, open, read 80 bytes)   %8.1f ms\n", b);
    std::printf("  1026, first listing to tree painted     %8.1f ms   %.2fx the bare loop\n", f,
                f / b);
    std::printf("  1026 again, root still expanded         %8.1f ms   %.2fx the bare loop\n", a,
                a / b);

    std::printf("  1025 with the friends listed            %8.1f ms   %.2fx the bare loop\n", r,
                r / b);

    frame->SendMessage(kViewerMsgResetPanes);
    ::SetCurrentDirectoryW(fs::temp_directory_path().wstring().c_str());
    fs::remove_all(base, ec);
    return 0;
}
