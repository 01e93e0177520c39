#include "platform/popup_menu.h"

namespace talvorin::platform {

std::uint32_t track_popup_menu_at_pointer(PopupMenuCalls& calls, MenuHandle menu, WindowHandle owner) {
  const ScreenPoint at = calls.cursor_position();
  // A menu whose owner is not the foreground window stays open when the user
  // clicks elsewhere or presses Esc. Without the WM_NULL afterwards, the next
  // menu may close as soon as it opens.
  calls.set_foreground_window(owner);
  const std::uint32_t chosen = calls.track_popup_menu(menu, kPopupReturnCommand, at, owner);
  calls.post_null(owner);
  return chosen;
}

}  // namespace talvorin::platform
