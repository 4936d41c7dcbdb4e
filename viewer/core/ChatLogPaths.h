// Paths of the chat log folder layout, built in buffers of the platform's
// 260 characters: a path that would not fit is refused, never cut.
#pragma once

#include <string>
#include <string_view>

constexpr size_t kPathBufferChars = 260; // room for the text and its NUL

namespace viewer {

// The account's chat log folder below the current directory: a backslash
// unless it already ends in one, the key, "\ChatLog".
bool ComposeChatLogFolder(std::wstring_view currentDirectory, std::string_view key,
                          std::wstring& folder);
// The listing pattern of a folder: the folder, "\*".
bool ComposeListingPattern(std::wstring_view folder, std::wstring& pattern);
// A listed file's path: the folder, a backslash, the name as listed.
bool ComposeListedFilePath(std::wstring_view folder, std::wstring_view name, std::wstring& path);

} // namespace viewer
