// Times the engine downloading the setup that the test update server serves
// (run by run.sh beside the server): from StartDownload to UE_DOWNLOAD_DONE.
//
//   download_bench HOST SIZE [DOCUMENT [SETUPKEY]]
//
// DOCUMENT is the version document's name on HOST (default v.ini). With
// SETUPKEY the engine checks a signed setup: the download hashes what
// arrives, and the hand-over's check of the held file (a second read through
// the handle that stays open) is timed as well.
//
// Prints "engine_seconds=S engine_bytes=N [verify_seconds=V]" on success.
#include "HeldSetup.h"
#include "UpdateEngine.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
HANDLE g_hEnded = nullptr;
UINT g_nLast = 0;
unsigned long long g_nReceived = 0;
LARGE_INTEGER g_start, g_end;
CUpdateEngine* g_pEngine = nullptr;
std::string g_setupPath;

double SecondsBetween(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

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
        g_setupPath = reinterpret_cast<const char*>(wParam);
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
        std::fprintf(stderr, "usage: download_bench HOST SIZE [DOCUMENT [SETUPKEY]]\n");
        return 2;
    }
    const char* document = argc > 3 ? argv[3] : "v.ini";
    updater::SetupKey key;
    const bool signedSetup = argc > 4;
    if (signedSetup && !updater::ParseHexBytes(argv[4], key)) {
        std::fprintf(stderr, "download_bench: SETUPKEY is not 128 hex digits\n");
        return 2;
    }
    g_hEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CUpdateEngine engine;
    g_pEngine = &engine;
    engine.SetServer(argv[1], "/", document);
    if ((signedSetup && !engine.SetSetupKey(key)) || !engine.SetCallback(&OnEvent, 0) ||
        !engine.StartCheck()) {
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
    std::printf("engine_seconds=%.3f engine_bytes=%llu", SecondsBetween(g_start, g_end),
                g_nReceived);
    bool verified = true;
    if (signedSetup) {
        updater::SetupDigest digest;
        LARGE_INTEGER from, to;
        QueryPerformanceCounter(&from);
        CHeldSetup held;
        verified = engine.GetSetupDigest(digest) && held.OpenVerified(g_setupPath.c_str(), digest);
        QueryPerformanceCounter(&to);
        std::printf(" verify_seconds=%.3f", SecondsBetween(from, to));
    }
    std::printf("\n");
    DeleteFileA(g_setupPath.c_str());
    const unsigned long long expected = std::strtoull(argv[2], nullptr, 10);
    return g_nReceived == expected && verified ? 0 : 1;
}
