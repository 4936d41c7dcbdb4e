// Talking to the running client: every top-level window titled "Vemli" (any
// letter case) is asked whether it agrees to end, and told to quit if so.
#pragma once

namespace updater {

// Runs on the main thread; blocks while each client window answers.
void CloseRunningClient();

} // namespace updater
