// One export, from the chosen logs to the files written: what chatlog-export
// runs, and what the viewer's export dialog runs on a worker thread, so that
// both write the same bytes for the same choices.
//
// How to use it:
//   ExportJobSettings settings;
//   settings.options.inputs = {accountFolderOrLogFileUtf8, ...};
//   settings.options.format = ExportFormat::Html;   // see ExportFormatTable.h
//   settings.options.fromDate = "2024-01-01";        // optional, local dates
//   settings.options.order / .filter                 // the table's order and filter
//   settings.options.split = ExportSplit::Month;     // or None (folders only)
//   settings.options.output = "C:\\out";              // UTF-8, a file or a folder
//   settings.toFolder = true;                        // output names a folder
//   settings.countFirst = true;                      // a total before the first byte
//   ExportJobCallbacks callbacks;
//   callbacks.progress = [&](const ExportJobProgress& p) { ...; return !cancelled; };
//   ExportJobResult result = exporter::RunExportJob(settings, callbacks);
//
// Threads: RunExportJob runs on the calling thread and calls both callbacks
// on it; it opens and maps every log itself (its own handles) and shares
// nothing with other threads, so several jobs may run at once. The callbacks
// may post to a window but must not wait for the thread that waits for the
// job.
//
// Files: every output file is written under a temporary name beside it and
// only renamed into place when the whole export is done, so a cancel (the
// progress callback answers false), a failure or a signal leaves every file
// it would have replaced as it was, and removes what it had written (the
// temporaries, and the folders it made that stay empty).
#pragma once

#include "ExportOptions.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ExportJobSettings {
    // What the command line takes (inputs, format, friends, dates, order,
    // filter, --grep, --utc, --csv-raw, split, output). An empty output is
    // standard output.
    ExportOptions options;
    // The output names a folder: a file per friend (or a folder of pages
    // per friend, split) and an index; else one file holds every friend.
    bool toFolder = false;
    // Walk every log once before the first byte is written, so that the
    // progress has its total (messagesTotal); costs one read of each log.
    bool countFirst = false;
    // The inputs are logs listed earlier (the viewer's friend tree), not
    // paths the user typed: one that is gone or cannot be opened by now is
    // named in the result's `damaged` and left out, and the others are
    // exported (refused only when none is left); else it refuses the export.
    bool inputsListedEarlier = false;
};

struct ExportJobProgress {
    // The logs are being counted (countFirst): nothing written yet, and the
    // total still grows; false from the first friend written on, with the
    // total fixed.
    bool counting = false;
    // Messages the export has taken, of those it will take: every message
    // that the direction and the dates select (--grep may write fewer). The
    // total is 0 without countFirst.
    std::uint64_t messagesDone = 0;
    std::uint64_t messagesTotal = 0;
    std::size_t friendsDone = 0;  // logs finished
    std::size_t friendsTotal = 0; // logs to export
    // The friend being written (UTF-8); empty between friends.
    std::string friendKey;
    std::string friendName;
};

// A log that could not be read whole: exported up to the damage, or (it
// vanished or cannot be opened) not at all.
struct ExportDamagedLog {
    std::string path; // UTF-8
    std::string friendKey;
    std::string friendName;
    std::string what; // the warning chatlog-export prints for it
};

struct ExportJobResult {
    // Refused before anything was written (an input that is no chat log,
    // an output that would overwrite a log, a folder that cannot be made):
    // nothing changed, `problems` says why.
    bool refused = false;
    // Cancelled by the progress callback: nothing changed.
    bool cancelled = false;
    // Written: in the files put in place, or to standard output.
    std::uint64_t messages = 0;
    std::size_t friends = 0; // friends with messages or a file written
    std::size_t files = 0;   // files written, pages and indexes included
    // Files not written: making, writing or renaming one failed (a disk
    // that filled, say), or a link stood in its place. No part of one is
    // left, a file it would have replaced is as it was, `problems` says
    // why, and its messages are not in `messages`.
    std::size_t filesFailed = 0;
    std::size_t stalePagesRemoved = 0;
    std::vector<ExportDamagedLog> damaged;
    // Every warning, as chatlog-export prints it after "chatlog-export: ".
    std::vector<std::string> problems;
    bool grepMatchedNothing = false;
    // A --friend value names no friend, or is a nickname that friends with
    // different keys share (`problems` names them): refused, and
    // chatlog-export exits 64 with its usage.
    bool unknownFriend = false;

    // chatlog-export's exit code for this result: 0, 1 (--grep found
    // nothing), 2 (refused, or a warning), 64 (unknownFriend).
    int ExitCode() const;
};

struct ExportJobCallbacks {
    // Called at each friend's start and end and every few thousand messages
    // (never more than every 1,024); false cancels the export.
    std::function<bool(const ExportJobProgress&)> progress;
    // Each warning as it happens (also kept in the result); may be empty.
    std::function<void(const std::string&)> problem;
    // A line for the user that is no warning (a hint about a large page, how
    // many stale pages were removed); may be empty.
    std::function<void(const std::string&)> note;
};

// One friend as chatlog-export --list shows it.
struct ExportFriendSummary {
    std::string key; // UTF-8
    std::string name;
    std::string path;
    std::uint64_t messages = 0;
    std::string firstDate, lastDate; // "YYYY-MM-DD" (UTC with --utc); empty without messages
};

namespace exporter {

// The friends of settings.options.inputs in the order the viewer's friend
// tree shows them (the folder listing's, as the export and its indexes take
// them; a log that cannot be opened is told to the problem callback and
// left out, as the tree leaves it out). The job's result says what failed.
ExportJobResult ListExportFriends(const ExportJobSettings& settings,
                                  const ExportJobCallbacks& callbacks,
                                  std::vector<ExportFriendSummary>& friends);

ExportJobResult RunExportJob(const ExportJobSettings& settings,
                             const ExportJobCallbacks& callbacks);

} // namespace exporter
