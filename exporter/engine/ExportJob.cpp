#include "ExportJob.h"

#include "ExportJobRun.h"

int ExportJobResult::ExitCode() const {
    if (unknownFriend)
        return kExitUsage;
    if (refused || !problems.empty())
        return kExitWarnings;
    return grepMatchedNothing ? kExitNoMatch : kExitOk;
}

namespace exporter {

ExportJobResult RunExportJob(const ExportJobSettings& settings,
                             const ExportJobCallbacks& callbacks) {
    CExportJob job(settings, callbacks);
    return job.Run();
}

ExportJobResult ListExportFriends(const ExportJobSettings& settings,
                                  const ExportJobCallbacks& callbacks,
                                  std::vector<ExportFriendSummary>& friends) {
    CExportJob job(settings, callbacks);
    return job.List(friends);
}

} // namespace exporter
