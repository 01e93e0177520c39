#pragma once
// The arithmetic of the Win32 backend, kept apart from the windows: twips
// and pixels, the executable's folder and name, and how a mouse message becomes a forms mouse event.

#include <cstdint>
#include <string>
#include <string_view>

#include "forms/toolkit.h"

namespace talvorin::forms::win32 {

inline constexpr int kTwipsPerInch = 1440;

// Truncates, as the forms have always been laid out.
constexpr int twips_to_pixels(int twips, int dots_per_inch) { return twips * dots_per_inch / kTwipsPerInch; }

constexpr float twips_per_pixel(int dots_per_inch) {
  return static_cast<float>(kTwipsPerInch) / static_cast<float>(dots_per_inch);
}

// A font's height in pixels for CreateFont: negative, so it names the
// character height rather than the cell. Points are taken in tenths, as the
// designer stores them.
int font_height_pixels(double points, int dots_per_inch);

// The folder of a full module path without its trailing backslash, except
// for a drive root, which keeps it ("C:\").
std::u16string folder_of(std::u16string_view module_path);

// The file name of a module path without its extension.
std::u16string base_name_of(std::u16string_view module_path);

// A mouse message's x (the signed low half of lParam) in twips.
MouseEvent mouse_event_from(std::uint32_t position, float twips_per_pixel_x);

}  // namespace talvorin::forms::win32
