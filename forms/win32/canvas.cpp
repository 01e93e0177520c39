#include "forms/win32/canvas.h"

#include <utility>

#include "core/error.h"

namespace talvorin::forms::win32 {

HFONT default_gui_font() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

Canvas::Canvas(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  const platform::win32::window_dc screen(window);
  dc_.reset(::CreateCompatibleDC(screen.get()));
  bitmap_.reset(::CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
  if (!dc_ || !bitmap_) throw core::Error("cannot create the window's image");
  bitmap_selection_.emplace(dc_.get(), bitmap_.get());
  font_selection_.emplace(dc_.get(), default_gui_font());
  ::FillRect(dc_.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
  // Text goes onto what is there, as on a form whose text is transparent.
  ::SetBkMode(dc_.get(), TRANSPARENT);
}

void Canvas::set_font(platform::win32::unique_hfont font) {
  font_selection_.reset();  // the font in use goes out before it is deleted
  font_ = std::move(font);
  font_selection_.emplace(dc_.get(), font_ ? static_cast<HGDIOBJ>(font_.get()) : default_gui_font());
}

void Canvas::paint(HDC target, const RECT& area) const {
  ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_.get(), area.left, area.top,
           SRCCOPY);
}

}  // namespace talvorin::forms::win32
