#include "platform/popup_menu.h"

namespace talvorin::platform {

void track_popup_menu_at_pointer(PopupMenuCalls& calls, MenuHandle menu, WindowHandle owner,
                                 const std::function<void(std::uint32_t chosen)>& on_closed) {
  const ScreenPoint at = calls.cursor_position();
  const WindowHandle before = calls.foreground_window();
  // A menu whose owner is not the foreground window stays open when the user
  // clicks elsewhere or presses Esc. Without the WM_NULL afterwards, the next
  // menu may close as soon as it opens.
  calls.set_foreground_window(owner);
  const std::uint32_t chosen = calls.track_popup_menu(menu, kPopupReturnCommand, at, owner);
  calls.post_null(owner);
  on_closed(chosen);
  // The owner is never shown and has no controls: left in front, it would
  // take what the user types next. A choice that showed one of the program's
  // windows, or a click that activated another window, has moved the
  // foreground on already, and that stays.
  if (calls.foreground_window() == owner && calls.window_shown(before)) {
    calls.set_foreground_window(before);
  }
}

}  // namespace talvorin::platform
