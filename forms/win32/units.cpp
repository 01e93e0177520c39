#include "forms/win32/units.h"
#include <windows.h>

#include <cmath>

namespace talvorin::forms::win32 {

int font_height_pixels(double points, int dots_per_inch) {
  const auto tenths = static_cast<int>(std::lround(points * 10));
  return -::MulDiv(tenths, dots_per_inch, 720);
}

}  // namespace talvorin::forms::win32
