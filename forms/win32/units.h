#pragma once
// The arithmetic of the Win32 backend, kept apart from the windows: twips
// and pixels.

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

}  // namespace talvorin::forms::win32
