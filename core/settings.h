#pragma once
// The two per-user settings: where they live, their defaults, and how the
// autostart box value is turned into stored text and back.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvorin::core {

inline constexpr std::u16string_view kSettingsSection = u"Settings";
inline constexpr std::u16string_view kKeyStartButtonText = u"StartButtonText";
inline constexpr std::u16string_view kKeyStartUp = u"StartUp";
inline constexpr std::u16string_view kStartUpDefault = u"0";

// Values of a check box.
enum class CheckState : std::int16_t { Clear = 0, Ticked = 1, Grayed = 2 };

// A value given to a check box from code: 0, 1 or 2; anything else throws
// RangeError.
CheckState check_state_from(std::int16_t value);

// A user's click goes between clear and ticked only; the grayed state comes
// from code, and a click ticks it.
constexpr CheckState after_click(CheckState state) {
  return state == CheckState::Ticked ? CheckState::Clear : CheckState::Ticked;
}

// A decimal 16-bit integer: optional blanks around it, an optional sign,
// at least one digit, nothing else. Out of range or malformed: nullopt.
std::optional<std::int16_t> parse_int16(std::u16string_view text);

// The stored "StartUp" text as a box value. Anything that is not 0, 1 or 2
// starts the box clear instead of stopping the program.
CheckState startup_from_text(std::u16string_view text);

// Decimal digits, a minus sign where negative, no leading blank.
std::u16string int16_to_text(std::int16_t value);

// What the unload writes under "StartButtonText": the box's text only while
// the autostart box is ticked.
std::u16string caption_to_store(CheckState box, std::u16string_view text);

}  // namespace talvorin::core
