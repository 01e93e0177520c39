#pragma once
// A popup menu of one of the program's windows, opened at the pointer.

#include <cstdint>
#include <functional>

#include "platform/ports.h"

namespace talvorin::platform {

using MenuHandle = std::uintptr_t;

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// TrackPopupMenu flags. Left alignment and the left button are the zero
// values: a menu with neither of the others set opens with its left edge at
// the point and answers the left button only.
inline constexpr std::uint32_t kPopupRightButton = 0x0002;
inline constexpr std::uint32_t kPopupCenterAlign = 0x0004;
inline constexpr std::uint32_t kPopupRightAlign = 0x0008;
inline constexpr std::uint32_t kPopupReturnCommand = 0x0100;

// The Windows calls around a popup menu.
class PopupMenuCalls {
 public:
  virtual ~PopupMenuCalls() = default;
  virtual ScreenPoint cursor_position() = 0;
  // 0 when no window is in the foreground.
  virtual WindowHandle foreground_window() = 0;
  virtual void set_foreground_window(WindowHandle window) = 0;
  // The window still exists and is visible.
  virtual bool window_shown(WindowHandle window) = 0;
  // Returns when the menu has closed: the chosen item's id, or 0.
  virtual std::uint32_t track_popup_menu(MenuHandle menu, std::uint32_t flags, ScreenPoint at, WindowHandle owner) = 0;
  // WM_NULL, posted.
  virtual void post_null(WindowHandle window) = 0;
};

// Opens the menu at the pointer, left-aligned, for the left button, and
// once it has closed runs on_closed with the id of the item chosen, or 0.
// Then, where the foreground is still with the owner, the window that had it
// before the menu opened gets it back if it is still shown.
void track_popup_menu_at_pointer(PopupMenuCalls& calls, MenuHandle menu, WindowHandle owner,
                                 const std::function<void(std::uint32_t chosen)>& on_closed);

}  // namespace talvorin::platform
