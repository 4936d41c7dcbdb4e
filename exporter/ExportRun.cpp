#include "ExportRun.h"

#include "ExportJob.h"
#include "ExportPlatform.h"
#include "ExportProgress.h"
#include "ExportText.h"

#include <algorithm>
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
    if (m_options.list)
        return List(settings, callbacks);
    exporter::WatchStopRequests();
    ExportJobResult result = exporter::RunExportJob(settings, callbacks);
    bar.Clear();
    if (result.cancelled)
        exporter::EndAsStopped(); // as the signal would have, nothing left behind
    if (result.unknownFriend)
        std::fputs(exporter::ExportUsageText(), stderr);
    return result.ExitCode();
}

// A line per friend: key, nickname, messages, first and last date, each
// after a tab, so that a script can take them apart; "-" for no date.
int CExportRun::List(const ExportJobSettings& settings, const ExportJobCallbacks& callbacks) {
    std::vector<ExportFriendSummary> friends;
    ExportJobResult result = exporter::ListExportFriends(settings, callbacks, friends);
    for (const ExportFriendSummary& f : friends) {
        // A friend chooses the nickname: no control character of it reaches
        // the terminal, and no tab splits the line.
        std::string key, name;
        exporter::AppendPlainText(key, f.key);
        exporter::AppendPlainText(name, f.name);
        for (std::string* field : {&key, &name})
            std::replace(field->begin(), field->end(), '\t', ' ');
        std::fprintf(stdout, "%s\t%s\t%llu\t%s\t%s\n", key.c_str(), name.c_str(),
                     static_cast<unsigned long long>(f.messages),
                     f.firstDate.empty() ? "-" : f.firstDate.c_str(),
                     f.lastDate.empty() ? "-" : f.lastDate.c_str());
    }
    if (std::fflush(stdout) != 0) {
        callbacks.problem("cannot write to standard output");
        return kExitWarnings;
    }
    return result.ExitCode();
}
