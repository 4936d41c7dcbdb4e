#include "ExportOptions.h"

namespace exporter {

const char* ExportUsageText() {
    return "usage: chatlog-export ACCOUNT_FOLDER | FILE.dat ...   [options]\n"
           "  --format txt|csv|json|html      (default txt)\n"
           "  --friend KEY                     only this friend's log (repeatable)\n"
           "  --order asc|desc                 file order (default) or reverse, as the viewer\n"
           "  --filter all|sent|received       as the viewer's "
           "\xe6\x89\x80\xe6\x9c\x89\xe4\xbf\xa1\xe6\x81\xaf / "
           "\xe5\x8f\x91\xe5\x87\xba\xe4\xbf\xa1\xe6\x81\xaf / "
           "\xe6\x94\xb6\xe5\x88\xb0\xe4\xbf\xa1\xe6\x81\xaf\n"
           "  --from DATE --to DATE            local dates, inclusive, YYYY-MM-DD\n"
           "                                   (UTC dates with --utc)\n"
           "  --grep TEXT                      only messages whose text contains TEXT\n"
           "                                   (after decoding; ASCII letters case-insensitive)\n"
           "  --utc                            times in UTC instead of local time\n"
           "  --csv-raw                        CSV texts exactly, without the apostrophe\n"
           "                                   before = + - @ (JSON is the lossless format)\n"
           "  -o PATH                          a file, or a folder for one file per friend\n"
           "                                   plus an index; default: standard output\n"
           "  --split none|month|N             in a folder: one file per friend (none), a file\n"
           "                                   per month of local dates (UTC with --utc), or\n"
           "                                   files of at most N messages, in a folder per\n"
           "                                   friend with its own index (default: month for\n"
           "                                   html, none for the others)\n"
           "exit codes: 0 done, 1 nothing matched --grep, 2 damaged, foreign or unreadable\n"
           "files (everything readable is still exported), 64 bad options\n";
}

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// "none", "month" or a count of messages: decimal digits, from 1 up to a
// count no log can reach (a 4 GiB log holds fewer than 400 million).
bool ParseSplit(const std::string& value, ExportOptions& options) {
    if (value == "none") {
        options.split = ExportSplit::None;
        return true;
    }
    if (value == "month") {
        options.split = ExportSplit::Month;
        return true;
    }
    if (value.empty() || value.size() > 12)
        return false;
    std::uint64_t count = 0;
    for (char c : value) {
        if (c < '0' || c > '9')
            return false;
        count = count * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (count == 0)
        return false;
    options.split = ExportSplit::Count;
    options.splitCount = count;
    return true;
}

} // namespace

bool IsValidIsoDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u}) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    int year = std::stoi(text.substr(0, 4));
    int month = std::stoi(text.substr(5, 2));
    int day = std::stoi(text.substr(8, 2));
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1000 || month < 1 || month > 12 || day < 1)
        return false;
    int last = kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    return day <= last;
}

const char* FormatExtension(ExportFormat format) {
    switch (format) {
    case ExportFormat::Csv:
        return "csv";
    case ExportFormat::Json:
        return "json";
    case ExportFormat::Html:
        return "html";
    case ExportFormat::Txt:
        break;
    }
    return "txt";
}

bool ParseExportArgs(const std::vector<std::string>& args, ExportOptions& options,
                     std::string& error) {
    options = ExportOptions();
    bool seenFormat = false, seenOrder = false, seenFilter = false, seenOutput = false,
         seenSplit = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            return true;
        }
        if (arg == "--utc") {
            options.utc = true;
            continue;
        }
        if (arg == "--csv-raw") {
            options.csvRaw = true;
            continue;
        }
        // Every other option takes a value, as the next argument or after '='.
        std::string name = arg, value;
        bool hasValue = false;
        std::size_t equals = arg.find('=');
        if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            hasValue = true;
        }
        static const char* const kValued[] = {"--format", "--friend", "--order",
                                              "--filter", "--from",   "--to",
                                              "--grep",   "-o",       "--split"};
        bool known = false;
        for (const char* candidate : kValued)
            known = known || name == candidate;
        if (!known) {
            error = "unknown option '" + arg + "'";
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                error = "option '" + name + "' needs a value";
                return false;
            }
            value = args[++i];
        }
        auto once = [&](bool& seen) {
            if (seen)
                error = "option '" + name + "' given twice";
            seen = true;
            return error.empty();
        };
        if (name == "--format") {
            if (!once(seenFormat))
                return false;
            if (value == "txt")
                options.format = ExportFormat::Txt;
            else if (value == "csv")
                options.format = ExportFormat::Csv;
            else if (value == "json")
                options.format = ExportFormat::Json;
            else if (value == "html")
                options.format = ExportFormat::Html;
            else {
                error = "--format takes txt, csv, json or html, not '" + value + "'";
                return false;
            }
        } else if (name == "--order") {
            if (!once(seenOrder))
                return false;
            if (value == "asc")
                options.order = ExportOrder::Ascending;
            else if (value == "desc")
                options.order = ExportOrder::Descending;
            else {
                error = "--order takes asc or desc, not '" + value + "'";
                return false;
            }
        } else if (name == "--filter") {
            if (!once(seenFilter))
                return false;
            if (value == "all")
                options.filter = kExportFilterAll;
            else if (value == "sent")
                options.filter = kExportFilterSent;
            else if (value == "received")
                options.filter = kExportFilterReceived;
            else {
                error = "--filter takes all, sent or received, not '" + value + "'";
                return false;
            }
        } else if (name == "--friend") {
            if (value.empty()) {
                error = "--friend needs a friend's account key";
                return false;
            }
            options.friendKeys.push_back(value);
        } else if (name == "--from" || name == "--to") {
            std::string& date = name == "--from" ? options.fromDate : options.toDate;
            if (!date.empty()) {
                error = "option '" + name + "' given twice";
                return false;
            }
            if (!IsValidIsoDate(value)) {
                error = name + " takes a date YYYY-MM-DD, not '" + value + "'";
                return false;
            }
            date = value;
        } else if (name == "--grep") {
            if (options.hasGrep) {
                error = "option '--grep' given twice";
                return false;
            }
            if (value.empty()) {
                error = "--grep needs a text to look for";
                return false;
            }
            options.hasGrep = true;
            options.grep = value;
        } else if (name == "--split") {
            if (!once(seenSplit))
                return false;
            if (!ParseSplit(value, options)) {
                error = "--split takes none, month or a number of messages from 1 up, not '" +
                        value + "'";
                return false;
            }
        } else { // -o
            if (!once(seenOutput))
                return false;
            if (value.empty()) {
                error = "-o needs a path";
                return false;
            }
            options.output = value;
        }
    }
    if (options.inputs.empty()) {
        error = "no account folder or chat log file given";
        return false;
    }
    if (options.csvRaw && options.format != ExportFormat::Csv) {
        error = "--csv-raw goes with --format csv";
        return false;
    }
    // ISO dates compare correctly as text.
    if (!options.fromDate.empty() && !options.toDate.empty() && options.fromDate > options.toDate) {
        error = "--from " + options.fromDate + " is after --to " + options.toDate;
        return false;
    }
    // Whether -o names a folder is known only when the run looks at it; no
    // output at all can be told here.
    if (options.output.empty() &&
        (options.split == ExportSplit::Month || options.split == ExportSplit::Count)) {
        error = "--split cuts the output into files in a folder: give -o FOLDER/";
        return false;
    }
    return true;
}

} // namespace exporter
