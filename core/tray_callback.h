#pragma once
// What a callback from the tray icon means, and the guard that keeps a
// callback arriving inside another (while the menu is open) from acting.

#include <cstdint>
#include <optional>

namespace talvorin::core {

enum class MouseMessage : std::int32_t {
  Move = 0x200,
  LeftDown = 0x201,
  LeftUp = 0x202,
  LeftDoubleClick = 0x203,
  RightDown = 0x204,
  RightUp = 0x205,
};

enum class TrayAction { None, ShowWindow, PopupMenu };

// A mouse message's x in twips: the signed low word of lParam, in pixels.
// The shell packs the tray callback's mouse message there, so a callback
// comes to the icon's window as a mouse move to x = the message.
float mouse_x_twips(std::uint32_t lparam, float twips_per_pixel);

// The callback's mouse message comes back as the event's x coordinate in
// twips; dividing by the twips per pixel gives it back. Rounds to nearest,
// ties to even. A coordinate that cannot be a message decodes to 0.
std::int32_t decode_tray_message(float x_twips, float twips_per_pixel);

TrayAction tray_action_for(std::int32_t message);

class TrayCallbackState {
 public:
  // Decodes and remembers the message on every call. Returns the action to
  // run, and marks the handler busy, unless an earlier call is still acting.
  std::optional<TrayAction> enter(float x_twips, float twips_per_pixel);
  void leave() { busy_ = false; }

  bool busy() const { return busy_; }
  std::int32_t last_message() const { return last_message_; }

 private:
  bool busy_ = false;
  std::int32_t last_message_ = 0;
};

}  // namespace talvorin::core
