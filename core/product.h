#pragma once
// Names and texts the program shows or stores. Each stands once, spelled as
// the user sees it.

#include <string>
#include <string_view>

namespace talvorin::core {

// Application name of the settings, name of the autostart value, tray tooltip,
// window caption and the first word of the About title.
inline constexpr std::u16string_view kProductName = u"Talvorin";

inline constexpr std::u16string_view kErrorCannotFindWindow = u"Error: Cannot find window";

// The caption stored when the autostart box is not ticked: three letters, no "!".
inline constexpr std::u16string_view kFallbackCaption = u"Жми";

// The author, as the version information names them: the About window's
// credit line, e-mail address and home page. The version block of the
// resources holds the same texts.
inline constexpr std::u16string_view kAuthorName = u"Arkady Tolmachev";
inline constexpr std::u16string_view kAuthorEmail = u"arkady@example.org";
inline constexpr std::u16string_view kHomePage = u"http://talvorin.example.org";
// What the links hand the shell: the address behind the label.
inline constexpr std::u16string_view kEmailLinkPrefix = u"mailto:";
inline constexpr std::u16string_view kHomePageLinkSuffix = u"/";

// The About title: the product name and the version as plain decimal
// numbers, 1.3 and not 1.03.
inline std::u16string about_title(int major, int minor) {
  const auto decimal = [](int number) {
    std::u16string digits;
    for (const char digit : std::to_string(number)) digits += static_cast<char16_t>(digit);
    return digits;
  };
  return std::u16string(kProductName) + u" " + decimal(major) + u"." + decimal(minor);
}

}  // namespace talvorin::core
