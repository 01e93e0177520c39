#include "core/tray_callback.h"

#include <cmath>
#include <limits>

namespace talvorin::core {

std::int32_t decode_tray_message(float x_twips, float twips_per_pixel) {
  const double quotient = static_cast<double>(x_twips) / static_cast<double>(twips_per_pixel);
  if (!std::isfinite(quotient)) return 0;
  // nearbyint rounds ties to even in the default rounding mode.
  const double rounded = std::nearbyint(quotient);
  if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max()) {
    return 0;
  }
  return static_cast<std::int32_t>(rounded);
}

float mouse_x_twips(std::uint32_t lparam, float twips_per_pixel) {
  return static_cast<float>(static_cast<std::int16_t>(lparam & 0xFFFF)) * twips_per_pixel;
}

TrayAction tray_action_for(std::int32_t message) {
  switch (static_cast<MouseMessage>(message)) {
    case MouseMessage::LeftUp:
      return TrayAction::ShowWindow;
    case MouseMessage::RightUp:
      return TrayAction::PopupMenu;
    default:
      return TrayAction::None;
  }
}

std::optional<TrayAction> TrayCallbackState::enter(float x_twips, float twips_per_pixel) {
  last_message_ = decode_tray_message(x_twips, twips_per_pixel);
  if (busy_) return std::nullopt;
  busy_ = true;
  return tray_action_for(last_message_);
}

}  // namespace talvorin::core
