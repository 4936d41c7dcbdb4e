#include "ExportJob.h"

#include "ExportJobRun.h"

int ExportJobResult::ExitCode() const {
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

} // namespace exporter
