// 导出聊天记录 of one friend of 1,000,000 messages to web pages by month:
// the viewer's export (dialog choices to the files, under its progress
// window) against chatlog-export.exe of the same build with the same
// choices, and the export job called in-process. During the viewer's export
// it samples how often the progress window's count moves and how long the
// frame takes to answer and repaint when another thread asks it to, against
// the same repaint with no export running.
#include "BenchPlatform.h"
#include "BenchSupport.h"
#include "ChatLogWriter.h"
#include "ExportJob.h"
#include "ShellDialogs.h"
#include "ViewerFrame.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 3;

class CAnswerNo : public CShellDialogs {
public:
    int Message(HWND, const std::wstring&, UINT) override { return IDNO; }
};

// What the timer inside the progress window's loop saw.
struct ProgressSamples {
    Clock::time_point lastChange;
    std::wstring lastCount;
    double longestGap = 0;
    int changes = 0;
};
ProgressSamples g_samples;

void CALLBACK SampleProgress(HWND, UINT, UINT_PTR, DWORD) {
    HWND progress = nullptr;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w != nullptr;
         w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) {
        if (::GetDlgItem(w, IDC_EXPORT_BAR) != nullptr)
            progress = w;
    }
    if (progress == nullptr)
        return;
    wchar_t count[64] = {};
    ::GetDlgItemTextW(progress, IDC_EXPORT_COUNT, count, 64);
    if (count[0] == L'\0' || g_samples.lastCount == count)
        return;
    const Clock::time_point now = Clock::now();
    if (g_samples.changes > 0)
        g_samples.longestGap = std::max(g_samples.longestGap, Millis(g_samples.lastChange, now));
    g_samples.lastChange = now;
    g_samples.lastCount = count;
    ++g_samples.changes;
}

// Another thread asks the frame to answer and repaint, every 25 ms, and
// keeps how long each took. Stop() pumps the frame's messages until the
// thread has ended, since it may be waiting for this one to paint.
class CRepaintSampler {
public:
    explicit CRepaintSampler(HWND frame)
        : m_thread([this, frame] {
              while (m_running) {
                  const Clock::time_point t0 = Clock::now();
                  ::RedrawWindow(frame, nullptr, nullptr,
                                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                  m_samples.push_back(Millis(t0, Clock::now()));
                  ::Sleep(25);
              }
              m_stopped = true;
          }) {}
    std::vector<double> Stop() {
        m_running = false;
        while (!m_stopped) {
            PumpViewerMessages();
            ::Sleep(1);
        }
        m_thread.join();
        return m_samples;
    }

private:
    std::atomic<bool> m_running{true}, m_stopped{false};
    std::vector<double> m_samples;
    std::thread m_thread;
};

// The frame's thread idle in a message loop for `ms`, as it is between
// the client's messages.
void IdleFor(DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (DWORD passed = 0; passed < ms; passed = ::GetTickCount() - start) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - passed, QS_ALLINPUT);
        PumpViewerMessages();
    }
}

void PrintRepaints(const char* what, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    if (samples.empty())
        return;
    const auto over =
        std::count_if(samples.begin(), samples.end(), [](double ms) { return ms > 100; });
    std::printf("  repaint of the frame %-16s median %5.1f  95th %5.1f  longest %5.1f ms"
                "  (%zu asked, %d over 100 ms)\n",
                what, Median(samples), samples[samples.size() * 95 / 100], samples.back(),
                samples.size(), static_cast<int>(over));
}

std::string ExporterPath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return (fs::path(self).parent_path() / CHATLOG_EXPORT_EXE).lexically_normal().u8string();
}

// The log: `messages` over about three years, both directions, Chinese text.
bool WriteLog(const fs::path& file, int messages) {
    ChatLogHeaderFields fields;
    fields.friendKey = "11";
    fields.friendName = "\xc5\xf3\xd3\xd1"; // 朋友
    fields.ownerName = "\xce\xd2";          // 我
    std::string bytes = BuildHeaderBytes(fields);
    bytes.reserve(bytes.size() + static_cast<size_t>(messages) * 48);
    const int step = 100000000 / messages + 1; // ~3 years in all
    for (int i = 0; i < messages; ++i)
        bytes += BuildRecordBytes(1600000000 + i * step, static_cast<uint32_t>(i % 2),
                                  "message " + std::to_string(i) + " \xc4\xe3\xba\xc3 <b>&");
    return WriteFileBytes(file.string(), bytes);
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0); // each line as soon as it is measured
    const int messages = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const fs::path base = fs::temp_directory_path() /
                          ("viewer_export_bench_" + std::to_string(::GetCurrentProcessId()));
    const fs::path folder = base / "1234" / "ChatLog";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!WriteLog(folder / "11.dat", messages)) {
        std::fprintf(stderr, "viewer_export_bench: cannot write the log\n");
        return 1;
    }
    CMainFrame* frame = nullptr;
    std::unique_ptr<CSingleDocTemplate> docTemplate = OpenViewerFrame(base, frame);
    if (docTemplate == nullptr)
        return 1;
    CAnswerNo answers;
    frame->SetShellDialogs(answers);
    frame->SendMessage(kViewerMsgShowAccount, 1, 234);
    frame->SendMessage(kViewerMsgSelectFriend, 1, 1);
    PumpViewerMessages();

    ExportChoices choices; // 当前好友, 网页, 每月一页: what the dialog offers first
    std::vector<double> viewer, cli, job;
    std::vector<double> during;
    int status = 0;
    CRepaintSampler restSampler(frame->m_hWnd);
    IdleFor(3000);
    const std::vector<double> atRest = restSampler.Stop();
    for (int round = 0; round < kRounds; ++round) {
        const fs::path mine = base / ("viewer" + std::to_string(round));
        const fs::path theirs = base / ("cli" + std::to_string(round));
        const fs::path inProcess = base / ("job" + std::to_string(round));

        CRepaintSampler repaints(frame->m_hWnd);
        g_samples = {};
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &SampleProgress);
        Clock::time_point t0 = Clock::now();
        frame->ExportCommand().Export(*frame, choices, mine.wstring());
        viewer.push_back(Millis(t0, Clock::now()));
        ::KillTimer(nullptr, timer);
        std::vector<double> mineRepaints = repaints.Stop();
        during.insert(during.end(), mineRepaints.begin(), mineRepaints.end());
        const ExportJobResult& result = frame->ExportCommand().LastResult();
        if (result.messages != static_cast<std::uint64_t>(messages))
            status = 1;
        std::printf("  round %d: progress moved %d times, longest still %.0f ms\n", round,
                    g_samples.changes, g_samples.longestGap);

        // The folder ends in '/': a trailing backslash would escape the
        // closing quote of its argument.
        double cpuMs = 0;
        t0 = Clock::now();
        const int code = RunProgram({ExporterPath(), (folder / "11.dat").u8string(), "--format",
                                     "html", "--split", "month", "-o", theirs.u8string() + "/"},
                                    NullDevice(), cpuMs);
        cli.push_back(Millis(t0, Clock::now()));
        if (code != 0)
            status = 1;

        ExportJobSettings settings;
        settings.options.inputs = {(folder / "11.dat").u8string()};
        settings.options.format = ExportFormat::Html;
        settings.options.split = ExportSplit::Month;
        settings.options.output = inProcess.u8string() + "\\";
        settings.toFolder = true;
        settings.countFirst = true;
        t0 = Clock::now();
        exporter::RunExportJob(settings, {});
        job.push_back(Millis(t0, Clock::now()));
    }
    std::printf(
        "viewer_export_bench: %d messages of one friend to web pages by month, median of %d\n",
        messages, kRounds);
    std::printf("  viewer (progress window, worker thread)   %9.1f ms\n", Median(viewer));
    std::printf("  chatlog-export.exe (process start incl.)  %9.1f ms\n", Median(cli));
    std::printf("  export job in-process, no window          %9.1f ms\n", Median(job));
    std::printf("  viewer / command line                     %9.2f\n",
                Median(viewer) / Median(cli));
    PrintRepaints("with no export", atRest);
    PrintRepaints("during exports", during);
    frame->SendMessage(kViewerMsgResetPanes);
    docTemplate.reset();
    ::SetCurrentDirectoryW(fs::temp_directory_path().wstring().c_str());
    fs::remove_all(base, ec);
    return status;
}
