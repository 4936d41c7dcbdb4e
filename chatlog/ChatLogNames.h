// Names in the chat log folder layout: the account key and the rule that
// picks chat log files out of an account folder's listing.
#pragma once

#include <cstdint>
#include <string>

namespace chatlog {

// The account key of the client's two numbers: "%u%u" of the low 16 bits of
// the first and the low 32 bits of the second. Both are taken pointer-sized,
// as they arrive in WPARAM and LPARAM, so the bits above are ignored on any
// target. At most 15 digits.
std::string FormatAccountKey(std::uintptr_t wParam, std::uintptr_t lParam);

// False for a missing text; true when every character is 0-9. The empty
// text passes.
bool IsDigitString(const char* text);

// Whether a listed file name names a chat log: cut at its first '.', the
// rest equals ".dat" without regard to ASCII case and the part before it is
// a digit string (possibly empty). Directories are the caller's to skip.
bool IsChatLogFileName(const char* name);
bool IsChatLogFileName(const wchar_t* name);

} // namespace chatlog
