#include "ExportOptions.h"

#include "ExportFormatTable.h"

#include <algorithm>

namespace exporter {

namespace {

// The --format line of the usage, from the format table.
std::string FormatUsageLine() {
    std::string line = "  --format ";
    const char* separator = "";
    for (const ExportFormatRow& row : ExportFormatRows()) {
        line += separator;
        line += row.name;
        separator = "|";
    }
    line.resize(line.size() < 34 ? 34 : line.size() + 1, ' ');
    return line + "(default " + ExportFormatRows().front().name + ")\n";
}

} // namespace

const char* ExportUsageText() {
    static const std::string text =
        "usage: chatlog-export ACCOUNT_FOLDER | FILE.dat ...   [options]\n" + FormatUsageLine() +
        "  --friend KEY|NICKNAME            only this friend's log (repeatable)\n"
        "  --list                           each friend instead: key, nickname, messages,\n"
        "                                   first and last date, in the viewer's order\n"
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
    return text.c_str();
}

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// "a, b or c", as the complaint about a value lists the ones taken.
std::string Alternatives(const std::vector<std::string>& words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i)
            text += i + 1 == words.size() ? " or " : ", ";
        text += words[i];
    }
    return text;
}

template <class T> struct Word {
    const char* word;
    T value;
};

// One of `words`, or a complaint that lists them.
template <class T, std::size_t N>
bool Choose(const std::string& name, const std::string& value, const Word<T> (&words)[N], T& out,
            std::string& error) {
    std::vector<std::string> taken;
    for (const Word<T>& word : words) {
        if (value == word.word) {
            out = word.value;
            return true;
        }
        taken.push_back(word.word);
    }
    error = name + " takes " + Alternatives(taken) + ", not '" + value + "'";
    return false;
}

constexpr Word<ExportOrder> kOrders[] = {{"asc", ExportOrder::Ascending},
                                         {"desc", ExportOrder::Descending}};
constexpr Word<unsigned> kFilters[] = {
    {"all", kExportFilterAll}, {"sent", kExportFilterSent}, {"received", kExportFilterReceived}};

// "none", "month" or a count of messages: decimal digits, from 1 up to a
// count no log can reach (a 4 GiB log holds fewer than 400 million).
bool ParseSplit(const std::string& value, ExportOptions& options) {
    if (value == "none" || value == "month") {
        options.split = value == "none" ? ExportSplit::None : ExportSplit::Month;
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
    options.split = ExportSplit::Count;
    options.splitCount = count;
    return count != 0;
}

// What each option that takes a value does with it: false with `error` set
// when the value is not one it takes.
using ValueSetter = bool (*)(const std::string& name, const std::string& value, ExportOptions& o,
                             std::string& error);

bool SetFormat(const std::string& name, const std::string& value, ExportOptions& o,
               std::string& error) {
    std::vector<std::string> names;
    for (const ExportFormatRow& row : ExportFormatRows()) {
        if (value == row.name) {
            o.format = row.id;
            return true;
        }
        names.push_back(row.name);
    }
    error = name + " takes " + Alternatives(names) + ", not '" + value + "'";
    return false;
}

bool SetOrder(const std::string& name, const std::string& value, ExportOptions& o,
              std::string& error) {
    return Choose(name, value, kOrders, o.order, error);
}

bool SetFilter(const std::string& name, const std::string& value, ExportOptions& o,
               std::string& error) {
    return Choose(name, value, kFilters, o.filter, error);
}

// A value that must not be empty, `need` saying what it should be.
bool Required(const std::string& name, const std::string& value, const char* need,
              std::string& error) {
    if (value.empty())
        error = name + " needs " + need;
    return !value.empty();
}

bool AddFriend(const std::string& name, const std::string& value, ExportOptions& o,
               std::string& error) {
    if (!Required(name, value, "a friend's account key or nickname", error))
        return false;
    o.friendKeys.push_back(value);
    return true;
}

bool SetDate(const std::string& name, const std::string& value, ExportOptions& o,
             std::string& error) {
    if (!IsValidIsoDate(value)) {
        error = name + " takes a date YYYY-MM-DD, not '" + value + "'";
        return false;
    }
    (name == "--from" ? o.fromDate : o.toDate) = value;
    return true;
}

bool SetGrep(const std::string& name, const std::string& value, ExportOptions& o,
             std::string& error) {
    o.hasGrep = true;
    o.grep = value;
    return Required(name, value, "a text to look for", error);
}

bool SetSplit(const std::string& name, const std::string& value, ExportOptions& o,
              std::string& error) {
    if (!ParseSplit(value, o))
        error = name + " takes none, month or a number of messages from 1 up, not '" + value + "'";
    return error.empty();
}

bool SetOutput(const std::string& name, const std::string& value, ExportOptions& o,
               std::string& error) {
    o.output = value;
    return Required(name, value, "a path", error);
}

struct ValuedOption {
    const char* name;
    bool repeatable;
    ValueSetter set;
};

constexpr ValuedOption kValuedOptions[] = {
    {"--format", false, SetFormat}, {"--friend", true, AddFriend}, {"--order", false, SetOrder},
    {"--filter", false, SetFilter}, {"--from", false, SetDate},    {"--to", false, SetDate},
    {"--grep", false, SetGrep},     {"-o", false, SetOutput},      {"--split", false, SetSplit}};

struct FlagOption {
    const char* name;
    bool ExportOptions::*flag;
};

constexpr FlagOption kFlagOptions[] = {{"-h", &ExportOptions::help},
                                       {"--help", &ExportOptions::help},
                                       {"--utc", &ExportOptions::utc},
                                       {"--list", &ExportOptions::list},
                                       {"--csv-raw", &ExportOptions::csvRaw}};

// What the options say together, once all are read.
bool CheckTogether(const ExportOptions& o, std::string& error) {
    if (o.inputs.empty())
        error = "no account folder or chat log file given";
    else if (o.csvRaw && o.format != ExportFormat::Csv)
        error = "--csv-raw goes with --format csv";
    // ISO dates compare correctly as text.
    else if (!o.fromDate.empty() && !o.toDate.empty() && o.fromDate > o.toDate)
        error = "--from " + o.fromDate + " is after --to " + o.toDate;
    // Whether -o names a folder is known only when the run looks at it; no
    // output at all can be told here.
    else if (o.output.empty() && (o.split == ExportSplit::Month || o.split == ExportSplit::Count))
        error = "--split cuts the output into files in a folder: give -o FOLDER/";
    return error.empty();
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

bool ParseExportArgs(const std::vector<std::string>& args, ExportOptions& options,
                     std::string& error) {
    options = ExportOptions();
    std::vector<std::string> seen;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options.inputs.push_back(arg);
            continue;
        }
        optionsEnded = arg == "--";
        const FlagOption* flag = nullptr;
        for (const FlagOption& candidate : kFlagOptions)
            flag = arg == candidate.name ? &candidate : flag;
        if (flag)
            options.*flag->flag = true;
        if (options.help)
            return true;
        if (flag || optionsEnded)
            continue;
        // Every other option takes a value, as the next argument or after '='.
        std::size_t equals = arg.compare(0, 2, "--") == 0 ? arg.find('=') : std::string::npos;
        std::string name = arg.substr(0, equals);
        const ValuedOption* option = nullptr;
        for (const ValuedOption& candidate : kValuedOptions)
            option = name == candidate.name ? &candidate : option;
        if (!option) {
            error = "unknown option '" + arg + "'";
            return false;
        }
        if (equals == std::string::npos && i + 1 >= args.size()) {
            error = "option '" + name + "' needs a value";
            return false;
        }
        std::string value = equals == std::string::npos ? args[++i] : arg.substr(equals + 1);
        bool twice = std::find(seen.begin(), seen.end(), name) != seen.end();
        if (twice && !option->repeatable) {
            error = "option '" + name + "' given twice";
            return false;
        }
        seen.push_back(name);
        if (!option->set(name, value, options, error))
            return false;
    }
    return CheckTogether(options, error);
}

} // namespace exporter
