#include "InputChecks.h"

#include "ChatLogNames.h"
#include "ExportInputs.h"

#include <cstring>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace exporter {

namespace {

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

bool LooksLikeChatLog(const CChatLogFile& log, const fs::path& path) {
    return std::memcmp(log.Header().magic, chatlog::kChatLogMagic, sizeof chatlog::kChatLogMagic) ==
               0 ||
           chatlog::IsChatLogFileName(path.filename().native().c_str());
}

std::string DescribeHeaderIssues(const CChatLogFile& log) {
    const chatlog::ChatLogHeader& header = log.Header();
    std::string issues;
    auto add = [&issues](const std::string& text) {
        issues += (issues.empty() ? "" : "; ") + text;
    };
    if (std::memcmp(header.magic, chatlog::kChatLogMagic, sizeof chatlog::kChatLogMagic) != 0 ||
        header.wVersion != chatlog::kChatLogVersion)
        add("not marked as a chat log (magic or version), read anyway");
    if (log.FriendKey().size() == sizeof header.szFriendKey ||
        log.OwnerName().size() == sizeof header.szOwnerName ||
        log.FriendName().size() == sizeof header.szFriendName)
        add("a header name fills its field without an end, cut at the field's end");
    return issues;
}

std::size_t FindInputWrittenOver(const std::vector<fs::path>& inputs, const fs::path& folder,
                                 const std::vector<std::string>& written,
                                 const std::string& pageExtension) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return inputs.size();
    // The file system is asked only about an input whose name is one the
    // export writes: one look per such input, not one per pair.
    std::map<std::string, std::string> names;
    for (const std::string& name : written)
        names[LowerAscii(name)] = name;
    auto isWritten = [&](const fs::path& path) {
        auto name = names.find(LowerAscii(PathText(path.filename())));
        return name != names.end() && fs::equivalent(path, folder / fs::u8path(name->second), ec);
    };
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        bool pageLike =
            !pageExtension.empty() && LowerAscii(PathText(inputs[i].extension())) == pageExtension;
        if (isWritten(inputs[i]) ||
            (pageLike && isWritten(fs::absolute(inputs[i], ec).parent_path())))
            return i;
    }
    return inputs.size();
}

bool IsRefusedLink(const fs::path& path, std::string& problem) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec)))
        return false;
    problem = PathText(path) + ": is a symbolic link; refused, nothing written there";
    return true;
}

} // namespace exporter
