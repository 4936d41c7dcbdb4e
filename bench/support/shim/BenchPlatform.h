// What the benchmarks ask of the system, one file per platform behind it:
// starting a program and timing its processor use.
#pragma once

#include <string>
#include <vector>

// The device that swallows what is written to it ("NUL", "/dev/null").
const char* NullDevice();

// True in the native build. The Windows build runs under Wine, where the
// host's tools (ripgrep, the native exporter) are out of reach.
bool IsHostBuild();

// Runs args[0] (a path, or a name the system looks up) with the rest as its
// arguments, its standard output into the file `out`; its exit code, or -1
// when it cannot be started. `cpuMs` receives the processor time it used
// (user and system): on a machine shared with other work the wall time also
// holds the waits for a turn.
int RunProgram(const std::vector<std::string>& args, const std::string& out, double& cpuMs);
