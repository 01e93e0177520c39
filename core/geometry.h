#pragma once
// Rectangles on the screen, in pixels.

#include <cstdint>

namespace talvorin::core {

// Left, top, right, bottom: the layout of a Win32 RECT.
struct PixelRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace talvorin::core
