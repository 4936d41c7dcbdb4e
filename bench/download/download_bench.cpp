// Times the engine downloading the setup that the test update server serves
// (run by run.sh beside the server): from StartDownload to event 12.
//
//   download_bench HOST SIZE
//
// Prints "engine_seconds=S engine_bytes=N" on success.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "CUpdateEngine.h"

namespace {
HANDLE g_hEnded = nullptr;
UINT g_nLast = 0;
unsigned long long g_nReceived = 0;
LARGE_INTEGER g_start, g_end;
CUpdateEngine* g_pEngine = nullptr;

LONG CALLBACK OnEvent(UINT nCode, WPARAM wParam, LPARAM, DWORD) {
    switch (nCode) {
    case UE_VERSION_READY:
        QueryPerformanceCounter(&g_start);
        if (!g_pEngine->StartDownload(g_pEngine->GetDownloadUrl(0))) {
            g_nLast = nCode;
            SetEvent(g_hEnded);
        }
        return 0;
    case UE_DOWNLOAD_PROGRESS:
        g_nReceived = wParam;
        return 0;
    case UE_CHECK_STARTED:
    case UE_DOWNLOAD_STARTED:
    case UE_DOWNLOAD_RECEIVING:
        return 0;
    case UE_DOWNLOAD_DONE:
        QueryPerformanceCounter(&g_end);
        DeleteFileA(reinterpret_cast<const char*>(wParam));
        break;
    default:
        break;
    }
    g_nLast = nCode;
    SetEvent(g_hEnded);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: download_bench HOST SIZE\n");
        return 2;
    }
    g_hEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CUpdateEngine engine;
    g_pEngine = &engine;
    engine.SetServer(argv[1], "/", "v.ini");
    if (!engine.SetCallback(&OnEvent, 0) || !engine.StartCheck()) {
        std::fprintf(stderr, "download_bench: the check did not start\n");
        return 1;
    }
    WaitForSingleObject(g_hEnded, 600000);
    engine.Stop();
    if (g_nLast != UE_DOWNLOAD_DONE) {
        std::fprintf(stderr, "download_bench: ended with event %u: %s\n", g_nLast,
                     engine.GetLastErrorText().c_str());
        return 1;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const double seconds = double(g_end.QuadPart - g_start.QuadPart) / double(frequency.QuadPart);
    std::printf("engine_seconds=%.3f engine_bytes=%llu\n", seconds, g_nReceived);
    const unsigned long long expected = std::strtoull(argv[2], nullptr, 10);
    return g_nReceived == expected ? 0 : 1;
}
