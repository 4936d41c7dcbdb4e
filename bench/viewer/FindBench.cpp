// Find next in the viewer: a friend of 1,000,000 messages, the first row
// selected, the Find dialog's "find next" clicked for a text held by the
// last row alone; timed from the click to the row selected, its text in the
// content pane with the match selected, and the window painted. Beside it,
// the search core's own scan of the same rows.
#include "BenchSupport.h"
#include "ChatContentTitle.h"
#include "ChatLogWriter.h"
#include "ContentOutput.h"
#include "DocTemplate.h"
#include "MainFrame.h"
#include "MerovaneDoc.h"
#include "MerovaneView.h"
#include "MessageFind.h"
#include "ViewerFrame.h"
#include "ViewerMessages.h"
#include "resource.h"

#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 7;
const char kNeedle[] = "zebra-needle";

HWND FindDialog(HWND owner) {
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) {
        if (::GetWindow(w, GW_OWNER) == owner && ::GetDlgItem(w, edt1) != nullptr)
            return w;
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const int messages = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const fs::path base =
        fs::temp_directory_path() / ("find_bench_" + std::to_string(::GetCurrentProcessId()));
    const fs::path folder = base / "1234" / "ChatLog";
    std::error_code ec;
    fs::create_directories(folder, ec);
    ChatLogHeaderFields fields;
    fields.friendKey = "11";
    fields.friendName = "\xc5\xf3\xd3\xd1"; // 朋友
    fields.ownerName = "\xce\xd2";          // 我
    std::string bytes = BuildHeaderBytes(fields);
    bytes.reserve(bytes.size() + static_cast<size_t>(messages) * 48);
    for (int i = 0; i < messages; ++i) {
        std::string text = "message " + std::to_string(i) + " \xc4\xe3\xba\xc3 zebra needle";
        if (i == messages - 1)
            text += std::string(" ") + kNeedle;
        bytes += BuildRecordBytes(1700000000 + i, static_cast<uint32_t>(i % 2), text);
    }
    if (!WriteFileBytes((folder / "11.dat").string(), bytes)) {
        std::fprintf(stderr, "find_bench: cannot write the log\n");
        return 1;
    }
    bytes = std::string();
    int status = 0;
    {
        CMainFrame* frame = nullptr;
        std::unique_ptr<CSingleDocTemplate> docTemplate = OpenViewerFrame(base, frame);
        if (docTemplate == nullptr)
            return 1;
        frame->SendMessage(kViewerMsgShowAccount, 1, 234);
        frame->SendMessage(kViewerMsgSelectFriend, 1, 1);
        PumpViewerMessages();
        CChatContentTitle& list = *frame->GetMessageListPane();
        const HWND table = list.TableWindow();
        if (list.Rows().RowCount() != static_cast<size_t>(messages)) {
            std::fprintf(stderr, "find_bench: %zu rows listed\n", list.Rows().RowCount());
            return 1;
        }

        frame->SendMessage(WM_COMMAND, ID_EDIT_FIND);
        const HWND dialog = FindDialog(frame->m_hWnd);
        if (dialog == nullptr) {
            std::fprintf(stderr, "find_bench: no Find dialog\n");
            return 1;
        }
        ::SetDlgItemTextA(dialog, edt1, kNeedle);
        ::SendDlgItemMessageW(dialog, rad2, BM_CLICK, 0, 0);
        PumpViewerMessages();

        const chatlog::CTextSearch search(kNeedle, false);
        std::vector<double> core, click;
        for (int round = 0; round < kRounds; ++round) {
            Clock::time_point t0 = Clock::now();
            const size_t row = viewer::FindShownRow(search, list.Rows(), list.ViewEnd(), 0, true);
            core.push_back(Millis(t0, Clock::now()));
            if (row != static_cast<size_t>(messages - 1))
                status = 1;

            list.SelectRow(0);
            ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            PumpViewerMessages();
            t0 = Clock::now();
            ::SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
            ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            click.push_back(Millis(t0, Clock::now()));
            if (list.SelectedRow() != messages - 1)
                status = 1;
            PumpViewerMessages();
        }
        DWORD start = 0, end = 0;
        ::SendMessageW(::GetDlgItem(frame->GetContentPane()->m_hWnd, IDC_MESSAGE_EDIT), EM_GETSEL,
                       reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (status != 0 || end - start != sizeof kNeedle - 1 ||
            ::SendMessageW(table, LVM_GETSELECTEDCOUNT, 0, 0) != 1) {
            std::fprintf(stderr, "find_bench: the find did not land on the last row's match\n");
            status = 1;
        }
        std::printf("find_bench: %d messages, one hit in the last row, median of %d rounds\n",
                    messages, kRounds);
        std::printf("  search core, row 0 to the hit                 %8.2f ms\n", Median(core));
        std::printf("  find next clicked to row shown and painted    %8.2f ms\n", Median(click));
        frame->SendMessage(kViewerMsgResetPanes);
    }
    ::SetCurrentDirectoryW(fs::temp_directory_path().wstring().c_str());
    fs::remove_all(base, ec);
    return status;
}
