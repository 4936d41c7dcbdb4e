#include "ChatLogPaths.h"

namespace viewer {

namespace {
bool Fits(const std::wstring& text) {
    return text.size() < kPathBufferChars;
}
} // namespace

bool ComposeChatLogFolder(std::wstring_view currentDirectory, std::string_view key,
                          std::wstring& folder) {
    std::wstring text(currentDirectory);
    if (text.empty() || text.back() != L'\\')
        text += L'\\';
    // The key is decimal digits: ASCII widens as it is.
    text.append(key.begin(), key.end());
    text += L"\\ChatLog";
    if (!Fits(text))
        return false;
    folder = std::move(text);
    return true;
}

bool ComposeListingPattern(std::wstring_view folder, std::wstring& pattern) {
    std::wstring text(folder);
    text += L"\\*";
    if (!Fits(text))
        return false;
    pattern = std::move(text);
    return true;
}

bool ComposeListedFilePath(std::wstring_view folder, std::wstring_view name, std::wstring& path) {
    std::wstring text(folder);
    text += L'\\';
    text += name;
    if (!Fits(text))
        return false;
    path = std::move(text);
    return true;
}

} // namespace viewer
