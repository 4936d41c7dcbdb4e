// updater.exe: started by the client with its packed version ("-v<number>"),
// asks the update server for a newer client, and when there is one hands the
// downloaded setup over to run silently into this folder. A copy of it, run
// from a fresh folder of its own, guards the setup and gives the client back
// when the setup leaves none. No window, no message, exit code 0 whatever
// happens.
#include "CommandLine.h"
#include "DebugTrace.h"
#include "GuardOrder.h"
#include "UpdateRun.h"
#include "WinGuard.h"

#include <memory>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Exit code 0 whatever happens, even should memory run out.
    try {
        // The same program runs as the guard of a hand-over (a copy of it,
        // from a folder of its own), told so by its arguments.
        const char* arguments = updater::SkipProgramName(GetCommandLineA());
        if (updater::IsGuardArguments(arguments)) {
            updater::RunGuard(arguments);
            return 0;
        }
        auto pRun = std::make_unique<CUpdateRun>();
        pRun->Run();
    } catch (...) {
        updater::DebugTrace("run ended by an exception");
    }
    return 0;
}
