#pragma once
// The drawing surface of a form with auto-redraw.

#include <windows.h>

#include <optional>

#include "platform/win32/handles.h"

namespace talvorin::forms::win32 {

// The font of a form and of its controls, unless they name their own.
HFONT default_gui_font();

// The image a form with auto-redraw keeps: a memory device context of the
// client area's size, on the button face, that the drawing goes to and the
// window repaints itself from.
class Canvas {
 public:
  explicit Canvas(HWND window);

  HDC dc() const { return dc_.get(); }
  void set_font(platform::win32::unique_hfont font);
  void paint(HDC target, const RECT& area) const;

 private:
  // Declared so that the selections go before what they select.
  platform::win32::unique_hdc dc_;
  platform::win32::unique_hbitmap bitmap_;
  platform::win32::unique_hfont font_;
  std::optional<platform::win32::selected_object> bitmap_selection_;
  std::optional<platform::win32::selected_object> font_selection_;
};

}  // namespace talvorin::forms::win32
