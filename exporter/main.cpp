// chatlog-export: a user's chat history out of the chat log files, as a
// transcript, CSV, JSON or web pages, or searched with --grep. This file
// only starts: the command line here, the run in CExportRun.
#include "ExportOptions.h"
#include "ExportPlatform.h"
#include "ExportRun.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

int ExportMain(const std::vector<std::string>& args) {
    exporter::PrepareStandardStreams();
    ExportOptions options;
    std::string error;
    if (!exporter::ParseExportArgs(args, options, error)) {
        std::fprintf(stderr, "chatlog-export: %s\n", error.c_str());
        std::fputs(exporter::ExportUsageText(), stderr);
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(exporter::ExportUsageText(), stdout);
        return kExitOk;
    }
    // Large writes: the sink hands over 64 KB pieces.
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    CExportRun run(options);
    // Out of memory or the like: the run's files remove their temporaries
    // on the way out, which an exception that no one catches would skip.
    try {
        return run.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "chatlog-export: stopped: %s\n", e.what());
    }
    return kExitWarnings;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    return ExportMain(exporter::Utf8Arguments(argc, argv));
}
#else
int main(int argc, char** argv) {
    return ExportMain(exporter::Utf8Arguments(argc, argv));
}
#endif
