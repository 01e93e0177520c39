#pragma once
// The tray icon record kept by the settings window, and the 88-byte ANSI form
// the shell is handed for each call.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/ansi.h"

namespace talvorin::core {

inline constexpr std::uint32_t kTrayRecordSize = 88;
inline constexpr std::size_t kTrayTipLength = 64;
inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uint32_t kTrayCallbackMessage = 0x200;  // arrives as a mouse move

enum TrayFlags : std::uint32_t {
  kTrayFlagMessage = 1,
  kTrayFlagIcon = 2,
  kTrayFlagTip = 4,
};

enum class TrayCommand : std::uint32_t { Add = 0, Delete = 2 };

using TrayRecordBytes = std::array<std::uint8_t, kTrayRecordSize>;

struct TrayIcon {
  std::uint32_t cbSize = 0;
  std::uint32_t hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  std::uint32_t hIcon = 0;
  std::array<char16_t, kTrayTipLength> szTip{};

  // The text, one NUL, then blanks; a text of 64 characters or more is cut
  // to 64 and keeps no NUL, as the record has always been filled.
  void set_tip(std::u16string_view text);

  // Everything an add needs; the owner and the picture are read by the caller
  // right before the call.
  void fill_for_add(std::uint32_t owner, std::uint32_t icon, std::u16string_view tip);
  // A delete needs only the size, the owner and the id; the rest stays.
  void fill_for_delete(std::uint32_t owner);

  TrayRecordBytes to_ansi(const AnsiCodePage& code_page) const;
};

}  // namespace talvorin::core
