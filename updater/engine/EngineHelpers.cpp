#include "EngineHelpers.h"

#include "DebugTrace.h"

void updater::Trace(const char* pszText) {
    updater::DebugTrace("engine: %s", pszText);
}
