// The failed-setup record as a file in the temporary folder: read by the
// updater before it hands over, written by the guard after a setup left no
// client.
#pragma once

#include "FailedSetupRecord.h"

#include <string>

namespace updater {

// The record's text (at most a few hundred bytes read); false when there is
// none.
bool ReadFailedSetupFile(std::string& text);

// Replaces the record; false (and a trace line) when it cannot be written.
bool WriteFailedSetupFile(const FailedSetup& failed);

} // namespace updater
