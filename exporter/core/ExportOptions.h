// The exporter's command line: what it accepts, the usage text and the
// parser that turns arguments (UTF-8) into options or a clear complaint.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ExportFormat { Txt, Csv, Json, Html };
enum class ExportOrder { Ascending, Descending };
// How a friend's messages are cut into files in folder mode. Default: by
// month for web pages (a browser opens a month's page at once, not a life's
// history), one file per friend for the other formats.
enum class ExportSplit { Default, None, Month, Count };

// Bit values as the viewer's filter keeps them: 1 sent, 2 received.
constexpr unsigned kExportFilterSent = 1;
constexpr unsigned kExportFilterReceived = 2;
constexpr unsigned kExportFilterAll = kExportFilterSent | kExportFilterReceived;

// Exit codes: grep's 0 and 1, 2 for files that were damaged, foreign or
// unreadable, and the BSD "usage" code for bad options.
constexpr int kExitOk = 0;
constexpr int kExitNoMatch = 1;
constexpr int kExitWarnings = 2;
constexpr int kExitUsage = 64;

struct ExportOptions {
    std::vector<std::string> inputs; // account folders, log folders or log files
    ExportFormat format = ExportFormat::Txt;
    ExportOrder order = ExportOrder::Ascending;
    unsigned filter = kExportFilterAll;
    std::vector<std::string> friendKeys; // keys or nicknames (UTF-8); empty: every friend
    std::string fromDate;                // "YYYY-MM-DD" or empty
    std::string toDate;
    bool hasGrep = false;
    std::string grep; // UTF-8
    bool utc = false;
    bool csvRaw = false; // CSV texts without the formula guard
    std::string output;  // empty: standard output
    ExportSplit split = ExportSplit::Default;
    std::uint64_t splitCount = 0; // messages per file with ExportSplit::Count
    bool help = false;
    bool list = false; // --list: the friends, not their messages
};

namespace exporter {

const char* ExportUsageText();

// False with `error` set for anything not understood: unknown option, a
// missing or bad value, no input, --from after --to, a split of the output
// without -o.
bool ParseExportArgs(const std::vector<std::string>& args, ExportOptions& options,
                     std::string& error);

// A real calendar date written "YYYY-MM-DD" (years 1000-9999).
bool IsValidIsoDate(const std::string& text);

} // namespace exporter
