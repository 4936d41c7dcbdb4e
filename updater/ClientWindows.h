// Talking to the running client: every top-level window titled "Vemli" (any
// letter case) is asked whether it agrees to end, and told to quit if so.
#pragma once

namespace updater {

// Runs on the main thread; waits for each client window's answer, at most
// kClientAnswerTimeoutMs each. True when a window agreed to quit.
bool CloseRunningClient();

} // namespace updater
