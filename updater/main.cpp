// updater.exe: started by the client with its packed version ("-v<number>"),
// asks the update server for a newer client, and when there is one hands the
// downloaded setup over to run silently into this folder. No window, no
// message, exit code 0 whatever happens.
#include "DebugTrace.h"
#include "UpdateRun.h"

#include <memory>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Exit code 0 whatever happens, even should memory run out.
    try {
        auto pRun = std::make_unique<CUpdateRun>();
        pRun->Run();
    } catch (...) {
        updater::DebugTrace("run ended by an exception");
    }
    return 0;
}
