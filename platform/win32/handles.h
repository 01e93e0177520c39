#pragma once
// Owners for Windows handles: one move-only template, an alias per close
// function, and a guard for a borrowed device context. Each owner counts the
// GDI and USER objects it holds, so a long run can show that none leak
// (where GetGuiResources cannot, as under Wine).

#include <windows.h>

#include <utility>

namespace talvorin::platform::win32 {

enum class HandleKind { Gdi, User, Other };

// Objects held now by the owners below; one thread, so plain counters.
struct LiveHandles {
  static inline long gdi = 0;
  static inline long user = 0;
  static void count(HandleKind kind, long change) noexcept {
    if (kind == HandleKind::Gdi) gdi += change;
    if (kind == HandleKind::User) user += change;
  }
};

template <typename T, auto Close, HandleKind Kind = HandleKind::Other>
class unique_any {
 public:
  unique_any() noexcept = default;
  explicit unique_any(T value) noexcept : value_(value) {
    if (value_ != T{}) LiveHandles::count(Kind, 1);
  }
  unique_any(const unique_any&) = delete;
  unique_any& operator=(const unique_any&) = delete;
  unique_any(unique_any&& other) noexcept : value_(std::exchange(other.value_, T{})) {}
  unique_any& operator=(unique_any&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~unique_any() { reset(); }

  T get() const noexcept { return value_; }
  // Hands the handle over without closing it.
  [[nodiscard]] T release() noexcept {
    if (value_ != T{}) LiveHandles::count(Kind, -1);
    return std::exchange(value_, T{});
  }
  void reset(T value = T{}) noexcept {
    if (value != T{}) LiveHandles::count(Kind, 1);
    const T old = std::exchange(value_, value);
    if (old != T{}) {
      LiveHandles::count(Kind, -1);
      Close(old);
    }
  }
  explicit operator bool() const noexcept { return value_ != T{}; }

 private:
  T value_{};
};

// The imported functions are reached through the import table, so their
// addresses are no constants; these are.
inline void close_hkey(HKEY key) noexcept { ::RegCloseKey(key); }
inline void delete_gdi_object(HGDIOBJ object) noexcept { ::DeleteObject(object); }
inline void destroy_icon(HICON icon) noexcept { ::DestroyIcon(icon); }
inline void destroy_cursor(HCURSOR cursor) noexcept { ::DestroyCursor(cursor); }
inline void delete_dc(HDC dc) noexcept { ::DeleteDC(dc); }
inline void destroy_menu(HMENU menu) noexcept { ::DestroyMenu(menu); }
inline void destroy_window(HWND window) noexcept { ::DestroyWindow(window); }
inline void unhook_win_event(HWINEVENTHOOK hook) noexcept { ::UnhookWinEvent(hook); }

using unique_hkey = unique_any<HKEY, close_hkey>;
using unique_hfont = unique_any<HFONT, delete_gdi_object, HandleKind::Gdi>;
using unique_hbrush = unique_any<HBRUSH, delete_gdi_object, HandleKind::Gdi>;
using unique_hbitmap = unique_any<HBITMAP, delete_gdi_object, HandleKind::Gdi>;
using unique_hdc = unique_any<HDC, delete_dc, HandleKind::Gdi>;
using unique_hicon = unique_any<HICON, destroy_icon, HandleKind::User>;
using unique_hcursor = unique_any<HCURSOR, destroy_cursor, HandleKind::User>;
using unique_hmenu = unique_any<HMENU, destroy_menu, HandleKind::User>;
using unique_hwnd = unique_any<HWND, destroy_window, HandleKind::User>;
using unique_hwineventhook = unique_any<HWINEVENTHOOK, unhook_win_event>;

// A device context borrowed from a window (the screen with no window) for
// the length of a scope.
class window_dc {
 public:
  explicit window_dc(HWND window = nullptr) noexcept : window_(window), dc_(::GetDC(window)) {
    if (dc_) LiveHandles::count(HandleKind::Gdi, 1);
  }
  window_dc(const window_dc&) = delete;
  window_dc& operator=(const window_dc&) = delete;
  ~window_dc() {
    if (!dc_) return;
    LiveHandles::count(HandleKind::Gdi, -1);
    ::ReleaseDC(window_, dc_);
  }

  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// The device context of WM_PAINT, from BeginPaint to EndPaint.
class paint_dc {
 public:
  explicit paint_dc(HWND window) noexcept : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  paint_dc(const paint_dc&) = delete;
  paint_dc& operator=(const paint_dc&) = delete;
  ~paint_dc() { ::EndPaint(window_, &paint_); }

  HDC get() const noexcept { return dc_; }
  const RECT& area() const noexcept { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a device context for the length of a scope; what
// it replaced goes back in at the end, so the object can then be deleted.
class selected_object {
 public:
  selected_object(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
  selected_object(const selected_object&) = delete;
  selected_object& operator=(const selected_object&) = delete;
  ~selected_object() {
    if (previous_) ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace talvorin::platform::win32
