#include "ExportInputs.h"

#include "ChatLogNames.h"

#include <system_error>

namespace exporter {

namespace fs = std::filesystem;

namespace {

bool EqualsAsciiFold(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return i == a.size() && !b[i];
}

bool IsChatLogEntry(const fs::directory_entry& entry) {
    std::error_code ec;
    // The viewer takes what is not a directory; a special file is turned away
    // later by the open, with a warning.
    if (entry.is_directory(ec))
        return false;
    return chatlog::IsChatLogFileName(entry.path().filename().native().c_str());
}

// The ChatLog folder of an account folder: "ChatLog" itself, or on a file
// system that tells case apart a folder of that name in another case (a copy
// made on Windows may have it so).
bool FindChatLogFolder(const fs::path& folder, fs::path& chatLog) {
    std::error_code ec;
    if (fs::is_directory(folder / "ChatLog", ec)) {
        chatLog = folder / "ChatLog";
        return true;
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec) && EqualsAsciiFold(PathText(it->path().filename()), "ChatLog")) {
            chatLog = it->path();
            return true;
        }
    }
    return false;
}

bool ListLogs(const fs::path& folder, const std::string& ownerKey, bool hasOwnerKey,
              std::vector<ExportSource>& sources, std::size_t& found, std::string& error) {
    std::error_code ec;
    found = 0;
    fs::directory_iterator it(folder, ec);
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        if (!IsChatLogEntry(*it))
            continue;
        sources.push_back({it->path(), ownerKey, hasOwnerKey, false});
        ++found;
    }
    if (ec) {
        error = PathText(folder) + ": cannot list the folder: " + ec.message();
        return false;
    }
    return true;
}

} // namespace

std::string PathText(const fs::path& path) {
    auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool CollectExportSources(const std::string& operand, std::vector<ExportSource>& sources,
                          std::string& error) {
    fs::path path = fs::u8path(operand);
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
        error = operand + ": no such file or folder";
        return false;
    }
    if (!fs::is_directory(status)) {
        sources.push_back({path, std::string(), false, true});
        return true;
    }
    // The account folder's name is the owner's key; "." and ".." say
    // nothing, so the absolute name is used.
    fs::path absolute = fs::absolute(path, ec);
    if (ec)
        absolute = path;
    absolute = absolute.lexically_normal();
    if (!absolute.has_filename())
        absolute = absolute.parent_path();
    fs::path chatLog;
    std::size_t found = 0;
    if (FindChatLogFolder(path, chatLog))
        return ListLogs(chatLog, PathText(absolute.filename()), true, sources, found, error);
    // A ChatLog folder named directly: its parent is the account folder.
    bool isChatLogItself = EqualsAsciiFold(PathText(absolute.filename()), "ChatLog");
    std::string ownerKey = isChatLogItself ? PathText(absolute.parent_path().filename()) : "";
    if (!ListLogs(path, ownerKey, isChatLogItself && !ownerKey.empty(), sources, found, error))
        return false;
    if (found == 0 && !isChatLogItself) {
        error = operand + ": neither an account folder (it has no ChatLog folder) nor a folder "
                          "of chat log files";
        return false;
    }
    return true;
}

} // namespace exporter
