// The output formats in one table: what the command line's parser and
// usage, the split plan and the viewer's export dialog know of each. A new
// format is one row here and one writer file (declared in ExportFormats.h).
#pragma once

#include "ExportOptions.h"
#include "ExportWriters.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

struct ExportFormatRow {
    ExportFormat id;
    const char* name;      // as --format takes it
    const char* extension; // of its files, without the dot
    const char* title;     // as the viewer's export dialog lists it (UTF-8)
    // Cut into a file per month in a folder unless told otherwise: a browser
    // opens a month's page at once, not a life's history.
    bool splitsByDefault;
    std::unique_ptr<CExportWriter> (*makeWriter)(COutputSink& sink,
                                                 const ExportWriterChoice& choice);
    // A friend's own index of its pages, and the account's index of friends.
    std::unique_ptr<CPageIndexWriter> (*makePageIndex)(COutputSink& sink);
    void (*writeIndex)(const std::vector<ExportIndexEntry>& entries, COutputSink& sink,
                       const ExportWriterChoice& choice);
};

namespace exporter {

// Every format, in the order the usage lists them; the first is the default.
const std::vector<ExportFormatRow>& ExportFormatRows();
const ExportFormatRow& FormatRow(ExportFormat format);
// The row whose name is `name`, or null.
const ExportFormatRow* FindFormat(std::string_view name);

inline const char* FormatExtension(ExportFormat format) {
    return FormatRow(format).extension;
}

} // namespace exporter
