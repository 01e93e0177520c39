// The caption laid over a Start button that paints none: a small window of
// the program's own that looks like the classic Start button with the
// user's word on it, follows the button and lets every click through.

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <string>

#include "core/error.h"
#include "core/start_button.h"
#include "platform/win32/adapters.h"
#include "platform/win32/dpi.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/window.h"
#include "platform/win32/window_names.h"

namespace talvorin::platform::win32 {

namespace {

constexpr const auto& kOverlayClass = kStartCaptionClass;
constexpr const auto& kOwnerClass = kStartCaptionOwnerClass;

// Click-through (layered and transparent), never activated, neither in the
// taskbar nor in Alt+Tab.
constexpr DWORD kOverlayExStyle = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
constexpr UINT kQuietMove = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, newer than some headers
// Room the font leaves above and below the caption inside the button's edge.
constexpr int kEdgeRoom = 4;
constexpr int kSmallestFont = 6;

RECT to_rect(const core::PixelRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

// The shell's caption font, for the DPI of the caption window's monitor
// where Windows tells monitors apart. Windows before Vista know the record
// without its last field and refuse the longer one.
LOGFONTW caption_font(HWND window) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (nonclient_metrics_for_window(window, metrics)) return metrics.lfCaptionFont;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
    metrics.cbSize = sizeof metrics - sizeof(int);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
      ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &metrics.lfCaptionFont);
    }
  }
  return metrics.lfCaptionFont;
}

// One GetWindow call a look, as the caption window walks down from itself.
class WindowZOrder final : public core::ZOrder {
 public:
  std::uintptr_t beneath(std::uintptr_t window) override {
    return as_handle(::GetWindow(as_hwnd(window), GW_HWNDNEXT));
  }
  std::uintptr_t above(std::uintptr_t window) override { return as_handle(::GetWindow(as_hwnd(window), GW_HWNDPREV)); }
  bool is_caption_window(std::uintptr_t window) override {
    wchar_t name[std::size(kOverlayClass) + 1]{};
    return ::GetClassNameW(as_hwnd(window), name, static_cast<int>(std::size(name))) != 0 &&
           std::wcscmp(name, kOverlayClass) == 0;
  }
  bool is_topmost(std::uintptr_t window) override {
    return (::GetWindowLongW(as_hwnd(window), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  }
};

}  // namespace

// The hidden owner of the caption windows. Being a top-level window, it
// hears of every change of the display, the settings and the theme, after
// which the shell may lay out its taskbar anew without a window event
// reaching the program.
class StartOverlays::Owner final : private Window {
 public:
  Owner(ErrorReport& errors, std::uint32_t& display_changes) : Window(errors), display_changes_(display_changes) {
    create(::GetModuleHandleW(nullptr), {.ex_style = WS_EX_TOOLWINDOW, .class_name = kOwnerClass, .style = WS_POPUP});
    ::SetWindowPos(hwnd(), HWND_BOTTOM, 0, 0, 0, 0, kQuietMove | SWP_NOMOVE | SWP_NOSIZE);
  }
  using Window::hwnd;

 private:
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_DISPLAYCHANGE:
      case WM_SETTINGCHANGE:
      case WM_THEMECHANGED:
      case kDpiChanged:
        ++display_changes_;
        break;
      default:
        break;
    }
    return default_procedure(message, wparam, lparam);
  }

  std::uint32_t& display_changes_;
};

class StartOverlays::Overlay final : private Window {
 public:
  Overlay(ErrorReport& errors, HWND owner, std::uint32_t& display_changes)
      : Window(errors), owner_(owner), display_changes_(display_changes) {}

  void place(const core::OverlayPlacement& placement, std::u16string_view caption) {
    if (!hwnd() && !create_window()) return;
    const HWND window = hwnd();
    const core::OverlayUpdate update = state_.show(placement, caption);
    if (update.set_caption) {
      right_to_left_ = core::reads_right_to_left(state_.caption());
      ::SetWindowTextW(window, to_wide(state_.caption()).c_str());
    }
    if (update.move) {
      const RECT rect = to_rect(placement.rect);
      ::SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     kQuietMove | SWP_NOZORDER);
    }
    if (update.set_topmost) {
      ::SetWindowPos(window, placement.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     kQuietMove | SWP_NOMOVE | SWP_NOSIZE);
    }
    if (update.show) {
      ::ShowWindow(window, SW_SHOWNOACTIVATE);
    } else if (update.redraw) {
      ::InvalidateRect(window, nullptr, FALSE);
    }
    // Shown first: showing a window may move it in the z-order.
    stand_above(as_hwnd(placement.above), placement.topmost);
  }

  void hide() {
    if (state_.hide()) ::ShowWindow(hwnd(), SW_HIDE);
  }

  void restack() {
    if (state_.shown()) stand_above(as_hwnd(state_.placement().above), state_.placement().topmost);
  }

 private:
  // A window that cannot be made now (the desktop's heap is full) is tried
  // again with the next tick; the caption in the button goes on meanwhile.
  bool create_window() {
    try {
      create(::GetModuleHandleW(nullptr),
             {.ex_style = kOverlayExStyle, .class_name = kOverlayClass, .style = WS_POPUP, .parent = owner_});
    } catch (const core::Error&) {
      return false;
    }
    // A layered window shows nothing until its opacity is set.
    ::SetLayeredWindowAttributes(hwnd(), 0, 255, LWA_ALPHA);
    return true;
  }

  // Directly above the window it covers: the choice is core's, made from
  // what this reads of the z-order. The shell raises its taskbar when it is
  // clicked; the next tick puts the overlay back on it.
  void stand_above(HWND above, bool topmost) {
    WindowZOrder z_order;
    const auto move = core::caption_window_move(z_order, as_handle(hwnd()), as_handle(above), topmost);
    if (!move) return;
    const HWND after = move->to == core::ZOrderMove::To::Beneath ? as_hwnd(move->window)
                       : move->to == core::ZOrderMove::To::Top   ? HWND_TOP
                                                                 : HWND_TOPMOST;
    ::SetWindowPos(hwnd(), after, 0, 0, 0, 0, kQuietMove | SWP_NOMOVE | SWP_NOSIZE);
  }

  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_NCHITTEST:
        return HTTRANSPARENT;
      case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
      case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel
      case WM_PAINT: {
        const paint_dc dc(hwnd());
        paint(dc.get());
        return 0;
      }
      case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wparam));
        return 0;
      case WM_SETTINGCHANGE:
        // Most setting changes leave the caption font as it is.
        if (wparam == SPI_SETNONCLIENTMETRICS) rebuild_font();
        break;
      case kDpiChanged:
        // Its monitor's taskbar is laid out for the new DPI too.
        ++display_changes_;
        rebuild_font();
        break;
      case WM_SYSCOLORCHANGE:
      case WM_THEMECHANGED:
        ::InvalidateRect(hwnd(), nullptr, FALSE);
        break;
      default:
        break;
    }
    return default_procedure(message, wparam, lparam);
  }

  void rebuild_font() {
    font_.reset();
    ::InvalidateRect(hwnd(), nullptr, FALSE);
  }

  // The classic Start button: a raised push-button face in the system's
  // colours, the caption bold and centred, cut with an ellipsis at its end,
  // which for a caption in Hebrew or Arabic is on the left.
  void paint(HDC dc) {
    RECT area{};
    ::GetClientRect(hwnd(), &area);
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(dc, &area, EDGE_RAISED, BF_RECT | BF_ADJUST);
    const selected_object font(dc, font_for(area.bottom - area.top));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    std::wstring text = to_wide(state_.caption());
    const UINT reading = right_to_left_ ? DT_RTLREADING : 0;
    ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &area,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | reading);
  }

  // The caption font in bold, made smaller where the button is lower than
  // the font is high.
  HFONT font_for(int height) {
    if (font_ && height == font_height_) return font_.get();
    LOGFONTW font = caption_font(hwnd());
    font.lfWeight = FW_BOLD;
    const int room = height - kEdgeRoom;
    if (room >= kSmallestFont && std::abs(font.lfHeight) > room) font.lfHeight = -room;
    font_.reset(::CreateFontIndirectW(&font));
    font_height_ = height;
    return font_.get();
  }

  HWND owner_;
  std::uint32_t& display_changes_;
  unique_hfont font_;
  int font_height_ = 0;
  core::OverlayState state_;
  bool right_to_left_ = false;
};

StartOverlays::StartOverlays(ErrorReport& errors) : errors_(errors) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = Window::procedure;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = kOverlayClass;
  ::RegisterClassW(&window_class);
  window_class.lpszClassName = kOwnerClass;
  ::RegisterClassW(&window_class);
}

StartOverlays::~StartOverlays() = default;

void StartOverlays::show(const std::vector<core::OverlayPlacement>& placements, std::u16string_view caption) {
  const CaptionDpiScope dpi;
  if (!owner_) {
    // Wine's taskbar lists every unowned window that shows, tool windows
    // too; an owner of our own keeps the overlays off it, and at the bottom
    // of the z-order it keeps them from no place they must go. Made on the
    // first tick, shown or not, so that it hears of every display change
    // from then on.
    try {
      owner_ = std::make_unique<Owner>(errors_, display_changes_);
    } catch (const core::Error&) {
      return;  // tried again with the next tick
    }
  }
  while (overlays_.size() < placements.size()) {
    overlays_.push_back(std::make_unique<Overlay>(errors_, owner_->hwnd(), display_changes_));
  }
  for (std::size_t i = 0; i < overlays_.size(); ++i) {
    if (i < placements.size()) {
      overlays_[i]->place(placements[i], caption);
    } else {
      overlays_[i]->hide();
    }
  }
}

void StartOverlays::restack() {
  for (const auto& overlay : overlays_) overlay->restack();
}

}  // namespace talvorin::platform::win32
