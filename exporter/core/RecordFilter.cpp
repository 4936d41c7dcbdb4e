#include "RecordFilter.h"

namespace exporter {

bool IsRecordSelected(const ExportOptions& options, bool sent, const ExportTime& time) {
    if (!(options.filter & (sent ? kExportFilterSent : kExportFilterReceived)))
        return false;
    if (!options.fromDate.empty() && (!time.valid || time.date < options.fromDate))
        return false;
    if (!options.toDate.empty() && (!time.valid || time.date > options.toDate))
        return false;
    return true;
}

} // namespace exporter
