#include "forms/win32/units.h"
#include <windows.h>

#include <cmath>

namespace talvorin::forms::win32 {

static_assert(static_cast<std::uint32_t>(MouseKeys::Left) == MK_LBUTTON);
static_assert(static_cast<std::uint32_t>(MouseKeys::Right) == MK_RBUTTON);
static_assert(static_cast<std::uint32_t>(MouseKeys::Middle) == MK_MBUTTON);

int font_height_pixels(double points, int dots_per_inch) {
  const auto tenths = static_cast<int>(std::lround(points * 10));
  return -::MulDiv(tenths, dots_per_inch, 720);
}

std::u16string folder_of(std::u16string_view module_path) {
  const std::size_t slash = module_path.find_last_of(u'\\');
  if (slash == std::u16string_view::npos) return {};
  const std::u16string_view folder = module_path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == u':') return std::u16string(module_path.substr(0, slash + 1));
  return std::u16string(folder);
}

std::u16string base_name_of(std::u16string_view module_path) {
  const std::size_t slash = module_path.find_last_of(u'\\');
  std::u16string_view name = slash == std::u16string_view::npos ? module_path : module_path.substr(slash + 1);
  const std::size_t dot = name.find_last_of(u'.');
  if (dot != std::u16string_view::npos) name = name.substr(0, dot);
  return std::u16string(name);
}

std::int16_t mouse_buttons(std::uint32_t key_flags) {
  std::int16_t buttons = 0;
  if (key_flags & static_cast<std::uint32_t>(MouseKeys::Left)) buttons |= 1;
  if (key_flags & static_cast<std::uint32_t>(MouseKeys::Right)) buttons |= 2;
  if (key_flags & static_cast<std::uint32_t>(MouseKeys::Middle)) buttons |= 4;
  return buttons;
}

MouseEvent mouse_event_from(std::uint32_t key_flags, std::uint32_t position, float twips_per_pixel_x,
                            float twips_per_pixel_y) {
  const auto x = static_cast<std::int16_t>(position & 0xFFFF);
  const auto y = static_cast<std::int16_t>(position >> 16);
  return MouseEvent{.button = mouse_buttons(key_flags),
                    .shift = 0,
                    .x = static_cast<float>(x) * twips_per_pixel_x,
                    .y = static_cast<float>(y) * twips_per_pixel_y};
}

}  // namespace talvorin::forms::win32
