// The caption laid over a Start button that paints none: a small window of
// the program's own that looks like the classic Start button with the
// user's word on it, follows the button and lets every click through.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/win32/adapters.h"
#include "platform/win32/dpi.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace talvorin::platform::win32 {

namespace {

constexpr wchar_t kOverlayClass[] = L"TalvorinStartCaption";

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

}  // namespace

class StartOverlays::Overlay {
 public:
  explicit Overlay(HWND owner) {
    window_.reset(::CreateWindowExW(kOverlayExStyle, kOverlayClass, L"", WS_POPUP, 0, 0, 0, 0, owner, nullptr,
                                    ::GetModuleHandleW(nullptr), this));
    // A layered window shows nothing until its opacity is set.
    if (window_) ::SetLayeredWindowAttributes(window_.get(), 0, 255, LWA_ALPHA);
  }
  Overlay(const Overlay&) = delete;
  Overlay& operator=(const Overlay&) = delete;
  ~Overlay() {
    if (window_) ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  }

  void place(const core::OverlayPlacement& placement, std::u16string_view caption) {
    if (!window_) return;
    const HWND hwnd = window_.get();
    bool redraw = false;
    if (caption != caption_) {
      caption_ = std::u16string(caption);
      ::SetWindowTextW(hwnd, to_wide(caption_).c_str());
      redraw = true;
    }
    if (!shown_ || placement.rect != placement_.rect) {
      const RECT rect = to_rect(placement.rect);
      ::SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     kQuietMove | SWP_NOZORDER);
      redraw = true;
    }
    if (!shown_ || placement.topmost != placement_.topmost) {
      ::SetWindowPos(hwnd, placement.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     kQuietMove | SWP_NOMOVE | SWP_NOSIZE);
    }
    if (!shown_) {
      ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
      shown_ = true;
    } else if (redraw) {
      ::InvalidateRect(hwnd, nullptr, FALSE);
    }
    // Shown first: showing a window may move it in the z-order.
    stand_above(as_hwnd(placement.above), placement.topmost);
    placement_ = placement;
  }

  void hide() {
    if (!shown_) return;
    ::ShowWindow(window_.get(), SW_HIDE);
    shown_ = false;
  }

  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Overlay*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->handle(hwnd, message, wparam, lparam) : ::DefWindowProcW(hwnd, message, wparam, lparam);
  }

 private:
  // Directly above the window it covers: above the taskbar that holds the
  // button, beneath whatever stands above that taskbar (a full-screen
  // program). The shell raises its taskbar when it is clicked; the next tick
  // puts the overlay back on it. One look at the z-order a tick otherwise.
  void stand_above(HWND above, bool topmost) {
    const HWND hwnd = window_.get();
    if (above == nullptr || ::GetWindow(hwnd, GW_HWNDNEXT) == above) return;
    HWND over = ::GetWindow(above, GW_HWNDPREV);
    if (over == hwnd) return;
    if (over == nullptr) {
      over = topmost ? HWND_TOPMOST : HWND_TOP;
    } else if (((::GetWindowLongW(over, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) != topmost) {
      // Only topmost windows stand above the window covered: the top of the
      // ordinary ones is right above it. A topmost overlay over an ordinary
      // window is above it already.
      if (topmost) return;
      over = HWND_TOP;
    }
    ::SetWindowPos(hwnd, over, 0, 0, 0, 0, kQuietMove | SWP_NOMOVE | SWP_NOSIZE);
  }

  LRESULT handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_NCHITTEST:
        return HTTRANSPARENT;
      case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
      case WM_ERASEBKGND:
        return 1;  // the paint covers every pixel
      case WM_PAINT: {
        const paint_dc dc(hwnd);
        paint(dc.get());
        return 0;
      }
      case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wparam));
        return 0;
      case WM_SETTINGCHANGE:
      case WM_DISPLAYCHANGE:
      case kDpiChanged:
        font_.reset();  // the caption font or its size may be another now
        ::InvalidateRect(hwnd, nullptr, FALSE);
        break;
      case WM_SYSCOLORCHANGE:
      case WM_THEMECHANGED:
        ::InvalidateRect(hwnd, nullptr, FALSE);
        break;
      default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, wparam, lparam);
  }

  // The classic Start button: a raised push-button face in the system's
  // colours, the caption bold and centred, cut with an ellipsis.
  void paint(HDC dc) {
    RECT area{};
    ::GetClientRect(window_.get(), &area);
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(dc, &area, EDGE_RAISED, BF_RECT | BF_ADJUST);
    const selected_object font(dc, font_for(area.bottom - area.top));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    std::wstring text = to_wide(caption_);
    ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &area,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  }

  // The caption font in bold, made smaller where the button is lower than
  // the font is high.
  HFONT font_for(int height) {
    if (font_ && height == font_height_) return font_.get();
    LOGFONTW font = caption_font(window_.get());
    font.lfWeight = FW_BOLD;
    const int room = height - kEdgeRoom;
    if (room >= kSmallestFont && std::abs(font.lfHeight) > room) font.lfHeight = -room;
    font_.reset(::CreateFontIndirectW(&font));
    font_height_ = height;
    return font_.get();
  }

  unique_hwnd window_;
  unique_hfont font_;
  int font_height_ = 0;
  std::u16string caption_;
  core::OverlayPlacement placement_{};
  bool shown_ = false;
};

StartOverlays::StartOverlays() {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = Overlay::procedure;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = kOverlayClass;
  ::RegisterClassW(&window_class);
}

StartOverlays::~StartOverlays() = default;

void StartOverlays::show(const std::vector<core::OverlayPlacement>& placements, std::u16string_view caption) {
  const CaptionDpiScope dpi;
  if (!owner_ && !placements.empty()) {
    // Wine's taskbar lists every unowned window that shows, tool windows
    // too; an owner of our own keeps the overlays off it, and at the bottom
    // of the z-order it keeps them from no place they must go.
    owner_.reset(::CreateWindowExW(WS_EX_TOOLWINDOW, kOverlayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr));
    ::SetWindowPos(owner_.get(), HWND_BOTTOM, 0, 0, 0, 0, kQuietMove | SWP_NOMOVE | SWP_NOSIZE);
  }
  while (overlays_.size() < placements.size()) overlays_.push_back(std::make_unique<Overlay>(owner_.get()));
  for (std::size_t i = 0; i < overlays_.size(); ++i) {
    if (i < placements.size()) {
      overlays_[i]->place(placements[i], caption);
    } else {
      overlays_[i]->hide();
    }
  }
}

}  // namespace talvorin::platform::win32
