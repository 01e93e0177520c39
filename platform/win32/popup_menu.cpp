#include "platform/win32/adapters.h"

namespace talvorin::platform::win32 {

namespace {

static_assert(kPopupRightButton == TPM_RIGHTBUTTON && kPopupCenterAlign == TPM_CENTERALIGN &&
              kPopupRightAlign == TPM_RIGHTALIGN && kPopupReturnCommand == TPM_RETURNCMD);
static_assert(TPM_LEFTALIGN == 0 && TPM_LEFTBUTTON == 0);

}  // namespace

ScreenPoint PopupMenuCalls::cursor_position() {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  return {cursor.x, cursor.y};
}

WindowHandle PopupMenuCalls::foreground_window() { return as_handle(::GetForegroundWindow()); }

void PopupMenuCalls::set_foreground_window(WindowHandle window) { ::SetForegroundWindow(as_hwnd(window)); }

bool PopupMenuCalls::window_shown(WindowHandle window) {
  return ::IsWindow(as_hwnd(window)) && ::IsWindowVisible(as_hwnd(window));
}

std::uint32_t PopupMenuCalls::track_popup_menu(MenuHandle menu, std::uint32_t flags, ScreenPoint at,
                                               WindowHandle owner) {
  return static_cast<std::uint32_t>(
      ::TrackPopupMenu(reinterpret_cast<HMENU>(menu), flags, at.x, at.y, 0, as_hwnd(owner), nullptr));
}

void PopupMenuCalls::post_null(WindowHandle window) { ::PostMessageW(as_hwnd(window), WM_NULL, 0, 0); }

}  // namespace talvorin::platform::win32
