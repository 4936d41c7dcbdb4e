// One run of chatlog-export, from parsed options to the exit code: what the
// command line adds to the export job (ExportJob.h): whether -o names a
// folder, the progress bar and the warnings on standard error, and a stop
// by a signal that leaves the user's files as they were.
#pragma once

#include "ExportJob.h"
#include "ExportOptions.h"

class CExportRun {
public:
    explicit CExportRun(const ExportOptions& options) : m_options(options) {}

    int Run();

private:
    int List(const ExportJobSettings& settings, const ExportJobCallbacks& callbacks);

    const ExportOptions& m_options;
};
