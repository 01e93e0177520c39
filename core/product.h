#pragma once
// Names and texts the program shows or stores. Each stands once, spelled as
// the user sees it.

#include <string_view>

namespace talvorin::core {

// Application name of the settings, name of the autostart value, tray tooltip,
// window caption and the first word of the About title.
inline constexpr std::u16string_view kProductName = u"Talvorin";

inline constexpr std::u16string_view kErrorCannotFindWindow = u"Error: Cannot find window";

// The caption stored when the autostart box is not ticked: three letters, no "!".
inline constexpr std::u16string_view kFallbackCaption = u"Жми";

}  // namespace talvorin::core
