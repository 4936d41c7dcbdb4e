// What the viewer tells the user when an export has ended (UTF-8): what was
// written, the friends whose logs were damaged or gone, or why nothing was.
#pragma once

#include "ExportJob.h"

#include <string>

namespace viewer {

std::string ExportResultText(const ExportJobResult& result);

// Whether there is something to show in the file manager.
bool ExportWroteFiles(const ExportJobResult& result);

} // namespace viewer
