// Names, texts and numbers of updater.exe, each named once here. Plain C++ so
// that the portable core and the Windows program share them.
#pragma once

#include <cstddef>

namespace updater {

// Marks that an updater runs; created not owned. Global so every session of
// the machine shares one updater at a time.
constexpr char kInstanceMutexName[] = "{F7F42CC4-6D2B-4ea3-A469-602229835F9C}";

// The command line must begin with this, compared without case.
constexpr char kVersionSwitch[] = "-v";

// The configuration, relative to the updater's own folder.
constexpr char kConfigPath[] = ".\\Server.ini";

// Arguments of the setup program: silent, installing into the given folder.
constexpr char kSetupArgumentsFormat[] = " /S /D=%s";
// Room for the setup arguments: " /S /D=" and a path (2 x MAX_PATH).
constexpr std::size_t kSetupArgumentsSize = 2 * 260;

// Paths and window titles the Win32 calls take (MAX_PATH, terminator included).
constexpr std::size_t kPathSize = 260;

// Title of the client's windows, compared without case.
constexpr char kClientWindowTitle[] = "Vemli";
// The client executable beside the updater, and the copy kept of it until
// the setup has ended (so a setup that fails never costs the user the
// client). The copy takes the first free name of "Vemli.exe.bak",
// "Vemli.exe.1.bak" and so on: a file the user keeps is never overwritten.
constexpr char kClientExeName[] = "Vemli.exe";
constexpr char kClientCopySuffix[] = ".bak";
constexpr unsigned kClientCopyNames = 10;

// Sent to each client window (wParam 0, lParam 0, sent and waited for); a
// non-zero answer means the client agrees to end, and WM_QUIT follows.
constexpr unsigned kClientQuitQuery = 0x7FFE; // 32766
// The longest a client window may take to answer it. A window that does not
// answer in time (or hangs) is taken as one that refused: the updater holds
// the instance mutex and the setup meanwhile, so it must never wait for ever.
constexpr unsigned kClientAnswerTimeoutMs = 30000;

// How long the main thread waits for the engine (20 minutes), and the pause
// that gives the client time to end before its executable is deleted.
constexpr unsigned long kEngineWaitMs = 1200000;
constexpr unsigned long kClientExitPauseMs = 2000;

// The record of a setup that ended without leaving a client, in the
// temporary folder (see FailedSetupRecord.h).
constexpr char kFailedSetupRecordName[] = "VemliSetup.failed.txt";

// How long the guard waits for the updater to end before it goes on anyway
// (the updater only stops its engine after the client's pause).
constexpr unsigned long kUpdaterEndWaitMs = 30000;

} // namespace updater
