#pragma once
// Program text is UTF-16 in char16_t; the W functions take wchar_t, which on
// Windows has the same width. Copies, not casts: the two types may not alias.

#include <string>
#include <string_view>

namespace talvorin::platform::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W functions take UTF-16");

inline std::wstring to_wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

inline std::u16string from_wide(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace talvorin::platform::win32
