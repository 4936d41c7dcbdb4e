#include "ExportRun.h"

#include "ExportJob.h"
#include "ExportPlatform.h"
#include "ExportProgress.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

int CExportRun::Run() {
    ExportJobSettings settings;
    settings.options = m_options;
    // Whether -o names a folder decides whether --split can be obeyed, so
    // this usage error is told before anything is read or written.
    if (!m_options.output.empty()) {
        std::error_code ec;
        char last = m_options.output.back();
        settings.toFolder =
            fs::is_directory(fs::u8path(m_options.output), ec) || last == '/' || last == '\\';
    }
    if (!settings.toFolder &&
        (m_options.split == ExportSplit::Month || m_options.split == ExportSplit::Count)) {
        std::fprintf(stderr,
                     "chatlog-export: --split cuts the output into files in a folder, and %s is "
                     "not one: give -o FOLDER/\n",
                     m_options.output.c_str());
        std::fputs(exporter::ExportUsageText(), stderr);
        return kExitUsage;
    }
    CExportProgress bar(exporter::IsStandardErrorTerminal());
    ExportJobCallbacks callbacks;
    callbacks.progress = [&bar](const ExportJobProgress& progress) {
        bar.Update(progress);
        return !exporter::StopRequested();
    };
    callbacks.problem = [&bar](const std::string& text) {
        bar.Clear();
        std::fprintf(stderr, "chatlog-export: %s\n", text.c_str());
    };
    callbacks.note = callbacks.problem;
    exporter::WatchStopRequests();
    ExportJobResult result = exporter::RunExportJob(settings, callbacks);
    bar.Clear();
    if (result.cancelled)
        exporter::EndAsStopped(); // as the signal would have, nothing left behind
    return result.ExitCode();
}
