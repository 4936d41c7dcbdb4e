// Which records an export takes: direction and date bounds over a table.
#include "RecordFilter.h"

#include <gtest/gtest.h>

#include <string>

TEST(RecordFilter, DirectionAndDatesDecide) {
    struct Case {
        unsigned filter;
        const char* from;
        const char* to;
        bool sent;
        const char* date; // null: a time the system could not convert
        bool selected;
    };
    const Case cases[] = {
        {kExportFilterAll, "", "", true, "2026-03-01", true},
        {kExportFilterAll, "", "", false, "2026-03-01", true},
        {kExportFilterSent, "", "", true, "2026-03-01", true},
        {kExportFilterSent, "", "", false, "2026-03-01", false},
        {kExportFilterReceived, "", "", true, "2026-03-01", false},
        {kExportFilterReceived, "", "", false, "2026-03-01", true},
        // Both bounds are inclusive.
        {kExportFilterAll, "2026-03-01", "", true, "2026-03-01", true},
        {kExportFilterAll, "2026-03-01", "", true, "2026-02-28", false},
        {kExportFilterAll, "", "2026-03-01", true, "2026-03-01", true},
        {kExportFilterAll, "", "2026-03-01", true, "2026-03-02", false},
        {kExportFilterAll, "2026-01-01", "2026-12-31", false, "2026-06-15", true},
        {kExportFilterAll, "2026-01-01", "2026-12-31", false, "2027-01-01", false},
        {kExportFilterAll, "2026-01-01", "2026-12-31", false, "2025-12-31", false},
        // A time without a date passes only where no date is asked for.
        {kExportFilterAll, "", "", true, nullptr, true},
        {kExportFilterAll, "2026-01-01", "", true, nullptr, false},
        {kExportFilterAll, "", "2026-12-31", true, nullptr, false},
        // The direction decides even inside the dates.
        {kExportFilterSent, "2026-01-01", "2026-12-31", false, "2026-06-15", false},
    };
    for (const Case& c : cases) {
        ExportOptions options;
        options.filter = c.filter;
        options.fromDate = c.from;
        options.toDate = c.to;
        ExportTime time;
        time.valid = c.date != nullptr;
        time.date = c.date ? c.date : "";
        EXPECT_EQ(exporter::IsRecordSelected(options, c.sent, time), c.selected)
            << c.filter << " " << c.from << ".." << c.to << " " << c.sent << " "
            << (c.date ? c.date : "(no date)");
    }
}
