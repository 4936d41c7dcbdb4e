// Which records an export takes: --filter's direction and the --from/--to
// dates, decided from the record alone. (--grep needs the decoded text and
// is matched after this.)
#pragma once

#include "ExportOptions.h"
#include "ExportText.h"

namespace exporter {

// `time` is the record's time as the export shows it (local or UTC); a time
// the system cannot convert passes only when no date bound is set.
bool IsRecordSelected(const ExportOptions& options, bool sent, const ExportTime& time);

} // namespace exporter
