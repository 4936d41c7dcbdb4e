// 在所有好友中查找 over 5,000 friend logs holding 1,000,000 messages in all:
// the time from 查找 pressed to the result list filled and painted, for a
// rare needle (100 hits) and a frequent one (every tenth message), against a
// bare loop that reads every log whole through the handle the friend list
// keeps open and runs the same search over it (no window, no list).
#include "BenchSupport.h"
#include "ChatLogFile.h"
#include "ChatLogSearch.h"
#include "ChatLogWriter.h"
#include "DocTemplate.h"
#include "FindAllFriendsWnd.h"
#include "LogPieces.h"
#include "MainFrame.h"
#include "MerovaneDoc.h"
#include "MerovaneView.h"
#include "UserTitleWnd.h"
#include "ViewerFrame.h"
#include "ViewerMessages.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kFriends = 5000;
constexpr int kMessagesPerFriend = 200; // 1,000,000 in all
constexpr int kRareEvery = 10000;       // the rare needle: 100 messages
constexpr int kRounds = 5;

// Texts of a chat: Chinese and ASCII, 20 to 60 bytes.
const char* const kTexts[] = {
    "\xc4\xe3\xba\xc3\xa3\xac\xbd\xf1\xcc\xec\xd4\xf5\xc3\xb4\xd1\xf9?", // 你好，今天怎么样?
    "see you at 8 pm, bring the report please",
    "\xba\xc3\xb5\xc4 ok \xc3\xf7\xcc\xec\xbc\xfb", // 好的 ok 明天见
    "meeting moved to Thursday afternoon, room 3",
    "\xce\xd2\xd4\xda\xc2\xb7\xc9\xcf\xa3\xac\xc2\xed\xc9\xcf\xb5\xbd", // 我在路上，马上到
};

bool WriteAccount(const fs::path& folder) {
    long message = 0;
    for (int i = 0; i < kFriends; ++i) {
        const std::string key = std::to_string(100000 + i);
        ChatLogHeaderFields fields;
        fields.friendKey = key;
        fields.friendName = "\xc5\xf3\xd3\xd1" + std::to_string(i); // 朋友N
        fields.ownerName = "\xce\xd2";                              // 我
        CChatLogWriter writer;
        if (!writer.Create((folder / (key + ".dat")).string(), fields))
            return false;
        for (int m = 0; m < kMessagesPerFriend; ++m, ++message) {
            std::string text = kTexts[message % std::size(kTexts)];
            if (message % 10 == 0)
                text += " #tenth";
            if (message % kRareEvery == 0)
                text += " zanzibar";
            writer.Append(static_cast<std::int32_t>(1767225600 + message), m % 2, text);
        }
        if (!writer.Close())
            return false;
    }
    return true;
}

// The bare loop: every log the friend list holds open read piece by piece
// into one buffer and searched with the same core, as the window does,
// without the window and its list. Returns the hits.
size_t BareSearch(CUserTitleWnd& friends, const chatlog::CTextSearch& search) {
    size_t hits = 0;
    std::vector<unsigned char> piece;
    friends.VisitFriendLogs([&](size_t, CChatLogFile& log) {
        std::uint32_t size = 0;
        if (!log.ReadableSize(size))
            return;
        viewer::VisitLogPieces(
            size, piece,
            [&log](std::uint32_t offset, unsigned char* buffer, std::uint32_t count, size_t& got) {
                return log.ReadAt(offset, buffer, count, got);
            },
            [&](const unsigned char* view, std::uint32_t viewSize, std::uint64_t) {
                chatlog::FindInLog(search, view, viewSize,
                                   [&](chatlog::ChatLogRecordPos) { ++hits; });
            });
    });
    return hits;
}

} // namespace

int main() {
    const fs::path folder = FreshChatLogFolder("findall_bench");
    const fs::path base = folder.parent_path().parent_path();
    std::error_code ec;
    if (!WriteAccount(folder)) {
        std::fprintf(stderr, "findall_bench: cannot write the account\n");
        return 1;
    }
    CMainFrame* frame = nullptr;
    std::unique_ptr<CSingleDocTemplate> docTemplate = OpenViewerFrame(base, frame);
    if (docTemplate == nullptr)
        return 1;
    frame->SendMessage(kViewerMsgShowAccount, 1, 234);
    frame->SendMessage(WM_COMMAND, ID_EDIT_FIND_ALL_FRIENDS);
    PumpViewerMessages();
    CFindAllFriendsWnd* window = frame->GetFindAllFriendsWnd();
    if (window == nullptr)
        return 1;
    HWND list = window->GetDlgItem(IDC_FIND_ALL_RESULTS);

    std::printf("findall_bench: %d friend logs, %d messages, median of %d rounds\n", kFriends,
                kFriends * kMessagesPerFriend, kRounds);
    const struct {
        const char* what;
        const wchar_t* needle;
        const char* gbk;
    } cases[] = {
        {"rare, 100 hits           ", L"zanzibar", "zanzibar"},
        {"every tenth, 100,000 hits", L"#tenth", "#tenth"},
    };
    for (const auto& c : cases) {
        const chatlog::CTextSearch search(c.gbk, false);
        BareSearch(*frame->GetFriendListPane(), search); // the file cache warm for both
        std::vector<double> bare, painted;
        size_t bareHits = 0;
        for (int round = 0; round < kRounds; ++round) {
            Clock::time_point t0 = Clock::now();
            bareHits = BareSearch(*frame->GetFriendListPane(), search);
            bare.push_back(Millis(t0, Clock::now()));

            ::SetDlgItemTextW(window->m_hWnd, IDC_FIND_ALL_TEXT, c.needle);
            t0 = Clock::now();
            ::SendMessageW(window->GetDlgItem(IDC_FIND_ALL_START), BM_CLICK, 0, 0);
            ::RedrawWindow(window->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            painted.push_back(Millis(t0, Clock::now()));
            PumpViewerMessages();
        }
        const size_t shown = static_cast<size_t>(ListView_GetItemCount(list));
        if (shown != bareHits)
            std::fprintf(stderr, "findall_bench: the list shows %zu hits, the bare loop %zu\n",
                         shown, bareHits);
        const double b = Median(bare), w = Median(painted);
        std::printf("  %s  bare loop %8.1f ms   查找 to list painted %8.1f ms   %.2fx\n", c.what, b,
                    w, w / b);
    }

    frame->SendMessage(kViewerMsgResetPanes);
    docTemplate.reset();
    ::SetCurrentDirectoryW(fs::temp_directory_path().wstring().c_str());
    fs::remove_all(base, ec);
    return 0;
}
