// Checks of the logs an export reads: whether a file named on the command
// line is a chat log at all, what is odd about a header, and whether a
// folder export would write over one of its own inputs.
#pragma once

#include "ChatLogFile.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace exporter {

// A file named on the command line that opened as a log (a whole header) is
// taken for one when it carries the chat log mark or a chat log's name;
// anything else is some other file named by mistake.
bool LooksLikeChatLog(const CChatLogFile& log, const std::filesystem::path& path);

// What is odd about a log's header, "" when nothing: the mark or version, a
// name that fills its field without an end. The log is read all the same,
// as the viewer reads it.
std::string DescribeHeaderIssues(const CChatLogFile& log);

// The first of `inputs` that a folder export into `folder` would write
// over, or `inputs.size()`: one whose name is in `written` (the names the
// export gives its files and folders there, compared without regard to
// ASCII case first, as Windows names are, and then by the file system), or,
// with a `pageExtension` (".html": split pages), a file of that extension
// inside one of the written folders.
std::size_t FindInputWrittenOver(const std::vector<std::filesystem::path>& inputs,
                                 const std::filesystem::path& folder,
                                 const std::vector<std::string>& written,
                                 const std::string& pageExtension);

// True, with `problem` set, when the file or folder a folder export would
// write at `path` is a symbolic link: planted in a shared folder, it would
// send what the export writes somewhere else.
bool IsRefusedLink(const std::filesystem::path& path, std::string& problem);

} // namespace exporter
