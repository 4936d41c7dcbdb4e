// From the operands to the list of chat log files: an account folder (its
// ChatLog folder), a folder holding .dat files itself, or a log file named
// directly.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ExportSource {
    std::filesystem::path path;
    std::string ownerKey; // the account folder's name (UTF-8); empty if none
    bool hasOwnerKey = false;
    bool named = false; // a file named on the command line, not found in a folder
};

namespace exporter {

// Appends the logs of one operand (UTF-8) to `sources`, a folder's logs in
// the order its listing gives them and by the viewer's name rule. False with
// `error` set when the operand names nothing usable.
bool CollectExportSources(const std::string& operand, std::vector<ExportSource>& sources,
                          std::string& error);

// UTF-8 text of a path, for messages and documents.
std::string PathText(const std::filesystem::path& path);

} // namespace exporter
