#include "platform/popup_menu.h"

namespace talvorin::platform {

std::uint32_t PopupMenuAtPointer(PopupMenuCalls& calls, MenuHandle menu, WindowHandle owner) {
  const ScreenPoint at = calls.cursor_position();
  // A menu whose owner is not the foreground window stays open when the user
  // clicks elsewhere or presses Esc. The WM_NULL afterwards makes the owner's
  // thread notice the switch, so that the next menu opens and closes as well.
  calls.set_foreground_window(owner);
  const std::uint32_t chosen = calls.track_popup_menu(menu, kPopupReturnCommand, at, owner);
  calls.post_null(owner);
  return chosen;
}

}  // namespace talvorin::platform
