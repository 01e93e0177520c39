#include <windows.h>

#include <climits>

#include "core/error.h"
#include "platform/win32/adapters.h"
#include "platform/win32/wide.h"

namespace talvorin::platform::win32 {

namespace {

int checked_length(std::size_t size) {
  if (size > static_cast<std::size_t>(INT_MAX)) throw core::RangeError("text too long for the code page");
  return static_cast<int>(size);
}

}  // namespace

// Default flags throughout: the code page's best fit and its default
// character are what the shell has always been given.
std::string AnsiCodePage::encode(std::u16string_view text) const {
  if (text.empty()) return {};
  const std::wstring wide = to_wide(text);
  const int length = checked_length(wide.size());
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::u16string AnsiCodePage::decode(std::string_view bytes) const {
  if (bytes.empty()) return {};
  const int length = checked_length(bytes.size());
  const int size = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), size);
  return from_wide(wide);
}

}  // namespace talvorin::platform::win32
