// The taskbar and the caption: Wine's Start button, the program's caption windows, stand-in taskbars.

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/window_names.h"
#include "tdriver.h"
#include "win32_util.h"

namespace tdriver {

using talvorin::platform::win32::kStartCaptionClass;
constexpr wchar_t kTrayClass[] = L"Shell_TrayWnd";
constexpr wchar_t kSecondaryTrayClass[] = L"Shell_SecondaryTrayWnd";
constexpr wchar_t kStartClass[] = L"Start";

constexpr DWORD kPollMs = 5;

namespace {

struct StandinSize {
  static constexpr int width = 200;
  static constexpr int height = 40;
  static constexpr int start_width = 60;  // the orb and the Start windows
  static constexpr int orb_overhang = 6;  // how far the orb stands out above its taskbar
};

}  // namespace

// Wine's Start button: the Button child of the taskbar that this driver did
// not create.
HWND wine_start_button() {
  for (HWND tray : e2e::top_level_windows(kTrayClass)) {
    if (is_ours(tray)) continue;
    if (HWND button = ::FindWindowExW(tray, nullptr, L"Button", nullptr)) return button;
  }
  return nullptr;
}

HWND wine_taskbar() {
  for (HWND tray : e2e::top_level_windows(kTrayClass)) {
    if (!is_ours(tray) && ::FindWindowExW(tray, nullptr, L"Button", nullptr)) return tray;
  }
  return nullptr;
}

// Waits until Wine's Start button reads `expected`; prints how long it took
// from `clock`'s start.
int wait_for_caption(const std::wstring& expected, long timeout_ms, const e2e::Stopwatch& clock) {
  std::wstring seen;
  bool found_button = false;
  for (;;) {
    if (HWND button = wine_start_button()) {
      found_button = true;
      seen = e2e::caption_of(button);
      if (seen == expected) {
        print(L"caption after " + std::to_wstring(clock.elapsed_ms()) + L" ms");
        return kOk;
      }
    }
    if (clock.elapsed_ms() > timeout_ms) break;
    ::Sleep(kPollMs);
  }
  print(L"timeout after " + std::to_wstring(clock.elapsed_ms()) + L" ms: expected caption \"" + expected +
        L"\", seen " + (found_button ? L"\"" + seen + L"\"" : std::wstring(L"no Start button")));
  return kMismatch;
}

int cmd_start_caption(Args) {
  HWND button = wine_start_button();
  if (!button) return missing(L"Start button");
  print(e2e::caption_of(button));
  return kOk;
}

int cmd_wait_caption(Args args) {
  if (args.size() < 2) return kUsage;
  return wait_for_caption(args[0], parse_long(args[1]), e2e::Stopwatch{});
}

// A window class whose windows do nothing of their own; `proc` may add to it.
// The title is the one Windows gives the window it stands for.
HWND make_window(const wchar_t* class_name, WNDPROC proc, DWORD ex_style, DWORD style, RECT where,
                 const wchar_t* title) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = proc ? proc : ::DefWindowProcW;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = class_name;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  ::RegisterClassW(&window_class);
  HWND window = ::CreateWindowExW(ex_style, class_name, title, style, where.left, where.top, where.right - where.left,
                                  where.bottom - where.top, nullptr, nullptr, window_class.hInstance, nullptr);
  if (window) ::SetPropW(window, kOursProperty, reinterpret_cast<HANDLE>(1));
  return window;
}

// The stand-in taskbar's window region, set by its own thread: a touch
// taskbar shows only part of its window. wParam and lParam carry the box's
// corners, from the window's top left corner; both 0, no region.
static UINT standin_region_message() {
  static const UINT message = ::RegisterWindowMessageW(L"TalvorinE2E.StandinRegion");
  return message;
}

static LRESULT standin_region(HWND bar, WPARAM wparam, LPARAM lparam) {
  const HRGN region = wparam == 0 && lparam == 0
                          ? nullptr
                          : ::CreateRectRgn(LOWORD(wparam), HIWORD(wparam), LOWORD(lparam), HIWORD(lparam));
  return ::SetWindowRgn(bar, region, TRUE);
}

// Set on a stand-in that refuses the tray's requests, as an Explorer that is
// not ready at log-on does.
constexpr wchar_t kRefusesTrayProperty[] = L"TalvorinE2E.RefusesTray";

// Shell_NotifyIcon talks to the first Shell_TrayWnd it finds. Our stand-in is
// that window, so it hands the tray requests on to Wine's taskbar, or the
// program under test would lose its icon; one that refuses them says so on
// its output, a line each.
static LRESULT CALLBACK standin_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == WM_COPYDATA) {
    if (::GetPropW(window, kRefusesTrayProperty)) {
      print(L"refused a tray request");
      return FALSE;
    }
    if (HWND real = wine_taskbar()) return ::SendMessageW(real, WM_COPYDATA, wparam, lparam);
    return FALSE;
  }
  if (message == standin_region_message()) return standin_region(window, wparam, lparam);
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// Topmost, so that FindWindow meets it before Wine's taskbar.
constexpr DWORD kShellExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

int cmd_decoy(Args) {
  HWND decoy = make_window(kTrayClass, nullptr, kShellExStyle, WS_POPUP, RECT{0, 0, 1, 1});
  if (!decoy) return missing(L"decoy window");
  print(L"ready");
  return e2e::pump_forever();
}

// A stand-in Start window, drawn by the shell as Windows 8 to 11 draw theirs:
// an icon and no text.
static HWND make_start_child(HWND bar, RECT where) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ::DefWindowProcW;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = kStartClass;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
  ::RegisterClassW(&window_class);
  return ::CreateWindowExW(0, kStartClass, L"", WS_CHILD | WS_VISIBLE, where.left, where.top, where.right - where.left,
                           where.bottom - where.top, bar, nullptr, window_class.hInstance, nullptr);
}

// A stand-in taskbar, bottom left above Wine's, shaped like one shell's:
// "xp" (the default: a Button child that paints its text), "wine" (an
// owner-drawn Button child, as Wine's own taskbar makes anew), "seven" (no
// Button child; a top-level Button of the same thread over the bar) or
// "ten" (a "Start" child, and a second taskbar at the top of the screen
// with its own). With "refuse-tray" after the shape, it refuses every tray
// request instead of handing it on.
int cmd_standin_taskbar(Args args) {
  const std::wstring shape = args.empty() ? L"xp" : args[0];
  const int top = kScreenHeight - kWineTaskbarHeight - StandinSize::height;
  const RECT where{0, top, StandinSize::width, top + StandinSize::height};
  HWND bar = make_window(kTrayClass, standin_proc, kShellExStyle, WS_POPUP | WS_VISIBLE | WS_BORDER, where);
  if (!bar) return missing(L"stand-in taskbar");
  if (args.size() > 1) {
    if (args[1] != L"refuse-tray") return kUsage;
    ::SetPropW(bar, kRefusesTrayProperty, reinterpret_cast<HANDLE>(1));
  }
  RECT client{};
  ::GetClientRect(bar, &client);
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (shape == L"xp" || shape == L"wine") {
    const DWORD kind = shape == L"xp" ? BS_PUSHBUTTON : BS_OWNERDRAW;
    const int width = shape == L"xp" ? client.right : StandinSize::start_width;
    if (!::CreateWindowExW(0, L"Button", L"Start", WS_CHILD | WS_VISIBLE | kind, 0, 0, width, client.bottom, bar,
                           nullptr, instance, nullptr)) {
      return missing(L"stand-in Start button");
    }
  } else if (shape == L"seven") {
    // The orb is taller than its taskbar and stands out above it.
    HWND orb = ::CreateWindowExW(kShellExStyle, L"Button", L"Start", WS_POPUP | WS_VISIBLE | BS_PUSHBUTTON, where.left,
                                 where.top - StandinSize::orb_overhang, StandinSize::start_width,
                                 StandinSize::height + StandinSize::orb_overhang, nullptr, nullptr, instance, nullptr);
    if (!orb) return missing(L"stand-in orb");
    ::SetPropW(orb, kOursProperty, reinterpret_cast<HANDLE>(1));
  } else if (shape == L"ten") {
    if (!make_start_child(bar, RECT{0, 0, StandinSize::start_width, client.bottom})) return missing(L"Start window");
    // The shell's thread owns top-level buttons of its own besides the
    // taskbars: none of them is the Start button.
    HWND stray = ::CreateWindowExW(kShellExStyle, L"Button", L"", WS_POPUP | WS_VISIBLE | BS_PUSHBUTTON, 400, 300, 60,
                                   30, nullptr, nullptr, instance, nullptr);
    if (!stray) return missing(L"stray button");
    HWND second = make_window(kSecondaryTrayClass, nullptr, kShellExStyle, WS_POPUP | WS_VISIBLE | WS_BORDER,
                              RECT{0, 0, StandinSize::width, StandinSize::height});
    if (!second || !make_start_child(second, RECT{0, 0, StandinSize::start_width, client.bottom})) {
      return missing(L"secondary taskbar");
    }
  } else {
    return kUsage;
  }
  print(L"ready");
  return e2e::pump_forever();
}

// The stand-in's Start window: the orb, or the Start or Button child of
// the stand-in taskbar.
HWND standin_start() {
  for (HWND tray : e2e::top_level_windows(kTrayClass)) {
    if (!is_ours(tray)) continue;
    for (const wchar_t* child : {kStartClass, L"Button"}) {
      if (HWND start = ::FindWindowExW(tray, nullptr, child, nullptr)) return start;
    }
  }
  for (HWND orb : e2e::top_level_windows(L"Button")) {
    if (is_ours(orb)) return orb;
  }
  return nullptr;
}

HWND standin_bar() {
  for (HWND tray : e2e::top_level_windows(kTrayClass)) {
    if (is_ours(tray) && ::IsWindowVisible(tray)) return tray;
  }
  return nullptr;
}

// standin-region LEFT TOP RIGHT BOTTOM | none
int cmd_standin_region(Args args) {
  HWND bar = standin_bar();
  if (!bar) return missing(L"stand-in taskbar");
  const bool none = !args.empty() && args[0] == L"none";
  if (!none && args.size() < 4) return kUsage;
  const auto word = [&args](std::size_t i) { return static_cast<WORD>(parse_long(args[i])); };
  const WPARAM corner = none ? 0 : MAKEWPARAM(word(0), word(1));
  const LPARAM far_corner = none ? 0 : MAKELPARAM(word(2), word(3));
  return ::SendMessageW(bar, standin_region_message(), corner, far_corner) ? kOk : missing(L"region");
}

// "LEFT TOP RIGHT BOTTOM".
std::wstring edges_text(const RECT& rect) {
  return std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " + std::to_wstring(rect.right) + L" " +
         std::to_wstring(rect.bottom);
}

// The program's overlays that show, top of the z-order first.
std::vector<HWND> shown_overlays() {
  std::vector<HWND> shown;
  for (HWND overlay : e2e::top_level_windows(kStartCaptionClass)) {
    if (::IsWindowVisible(overlay)) shown.push_back(overlay);
  }
  return shown;
}

// "count N", then one line for each overlay that shows: its rectangle, its
// extended styles, its owner, the class of the window right beneath it, and
// its text.
int cmd_overlays(Args) {
  const std::vector<HWND> shown = shown_overlays();
  print(L"count " + std::to_wstring(shown.size()));
  for (HWND overlay : shown) {
    RECT rect{};
    ::GetWindowRect(overlay, &rect);
    const auto ex_style = static_cast<DWORD>(::GetWindowLongW(overlay, GWL_EXSTYLE));
    const auto flag = [ex_style](DWORD bit, const wchar_t* name) {
      return (ex_style & bit) ? std::wstring(L" ") + name : std::wstring();
    };
    HWND below = ::GetWindow(overlay, GW_HWNDNEXT);
    HWND owner = ::GetWindow(overlay, GW_OWNER);
    DWORD overlay_pid = 0;
    DWORD owner_pid = 0;
    ::GetWindowThreadProcessId(overlay, &overlay_pid);
    if (owner) ::GetWindowThreadProcessId(owner, &owner_pid);
    print(L"overlay " + edges_text(rect) + L" |" + flag(WS_EX_LAYERED, L"layered") +
          flag(WS_EX_TRANSPARENT, L"transparent") + flag(WS_EX_NOACTIVATE, L"noactivate") +
          flag(WS_EX_TOOLWINDOW, L"toolwindow") + flag(WS_EX_TOPMOST, L"topmost") + L" | owner " +
          (!owner                     ? L"none"
           : owner_pid == overlay_pid ? L"own"
                                      : L"other") +
          L" | below " + (below ? e2e::class_name(below) : L"-") + L" | text " + e2e::window_text(overlay));
  }
  return kOk;
}

// Samples the caption windows that show every STEP ms for MS ms: "samples
// N changes C below B", with C the times their order in the z-order
// changed from one sample to the next, and B the samples in which one of
// them was not above Wine's taskbar.
int cmd_overlay_order(Args args) {
  if (args.size() < 2) return kUsage;
  HWND taskbar = wine_taskbar();
  if (!taskbar) return missing(L"Wine's taskbar");
  const auto above_taskbar = [taskbar](HWND overlay) {
    for (HWND beneath = ::GetWindow(overlay, GW_HWNDNEXT); beneath; beneath = ::GetWindow(beneath, GW_HWNDNEXT)) {
      if (beneath == taskbar) return true;
    }
    return false;
  };
  std::vector<HWND> last;
  int samples = 0;
  int changes = 0;
  int below = 0;
  for (const e2e::Stopwatch clock; clock.elapsed_ms() < parse_long(args[0]); ::Sleep(parse_long(args[1]))) {
    const std::vector<HWND> now = shown_overlays();
    if (samples++ > 0 && now != last) ++changes;
    if (!std::all_of(now.begin(), now.end(), above_taskbar)) ++below;
    last = now;
  }
  print(L"samples " + std::to_wstring(samples) + L" changes " + std::to_wstring(changes) + L" below " +
        std::to_wstring(below) + L" shown " + std::to_wstring(last.size()));
  return kOk;
}

// Waits until an overlay shows `text` over `rect` ("any" for wherever);
// prints how long it took from `clock`'s start.
int wait_for_overlay(const std::wstring& text, const std::optional<RECT>& rect, long timeout_ms,
                     const e2e::Stopwatch& clock) {
  for (;;) {
    for (HWND overlay : shown_overlays()) {
      RECT at{};
      ::GetWindowRect(overlay, &at);
      if (e2e::window_text(overlay) == text && (!rect || ::EqualRect(&at, &*rect))) {
        print(L"overlay after " + std::to_wstring(clock.elapsed_ms()) + L" ms");
        return kOk;
      }
    }
    if (clock.elapsed_ms() > timeout_ms) break;
    ::Sleep(1);
  }
  print(L"timeout after " + std::to_wstring(clock.elapsed_ms()) + L" ms: no overlay \"" + text + L"\"" +
        (rect ? L" at " + edges_text(*rect) : L""));
  return kMismatch;
}

int cmd_wait_overlay(Args args) {
  if (args.size() < 2) return kUsage;
  return wait_for_overlay(args[0], std::nullopt, parse_long(args[1]), e2e::Stopwatch{});
}

// What a user sees of the stand-in's Start window: the part inside its
// taskbar, inside the taskbar's window region where it has one, and on the
// screen. Empty where nothing is left.
RECT standin_visible_part(RECT start) {
  RECT bar{};
  HWND tray = standin_bar();
  if (tray) ::GetWindowRect(tray, &bar);
  const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  RECT part{};
  ::IntersectRect(&part, &start, &bar);
  ::IntersectRect(&part, &part, &screen);
  RECT region{};
  if (tray && ::GetWindowRgnBox(tray, &region) != ERROR) {
    ::OffsetRect(&region, bar.left, bar.top);
    ::IntersectRect(&part, &part, &region);
  }
  return part;
}

// Wine's Start button, or with "standin" the stand-in's, or with
// "standin-visible" what can be seen of it: "LEFT TOP RIGHT BOTTOM".
int cmd_start_rect(Args args) {
  const std::wstring which = args.empty() ? L"" : args[0];
  HWND start = which.starts_with(L"standin") ? standin_start() : wine_start_button();
  RECT rect{};
  if (!start || !::GetWindowRect(start, &rect)) return missing(L"Start button");
  print(edges_text(which == L"standin-visible" ? standin_visible_part(rect) : rect));
  return kOk;
}

// Moves the stand-in's Start window by DX DY from outside, as a shell moves
// its button, and waits for an overlay showing TEXT over its new place.
int cmd_standin_move(Args args) {
  if (args.size() < 4) return kUsage;
  HWND start = standin_start();
  if (!start) return missing(L"stand-in Start window");
  RECT rect{};
  ::GetWindowRect(start, &rect);
  ::OffsetRect(&rect, parse_long(args[0]), parse_long(args[1]));
  POINT origin{rect.left, rect.top};
  if (HWND parent = ::GetAncestor(start, GA_PARENT); parent && parent != ::GetDesktopWindow()) {
    ::ScreenToClient(parent, &origin);
  }
  e2e::Stopwatch clock;
  ::SetWindowPos(start, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return wait_for_overlay(args[2], standin_visible_part(rect), parse_long(args[3]), clock);
}

// Moves the stand-in taskbar by DX DY, its Start window with it (or beside
// it, the orb), as an auto-hidden taskbar slides off the screen and back.
int cmd_standin_bar_move(Args args) {
  if (args.size() < 2) return kUsage;
  HWND bar = standin_bar();
  if (!bar) return missing(L"stand-in taskbar");
  const auto move = [&args](HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::SetWindowPos(window, nullptr, rect.left + parse_long(args[0]), rect.top + parse_long(args[1]), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  move(bar);
  if (HWND start = standin_start(); start && ::GetAncestor(start, GA_PARENT) == ::GetDesktopWindow()) move(start);
  return kOk;
}

// The stand-in taskbar (with its orb or its second taskbar) in or out of the
// topmost windows. Out, the decoy behind it steps out first, so that the
// stand-in stays the first taskbar in the z-order.
int cmd_standin_topmost(Args args) {
  if (args.empty()) return kUsage;
  const HWND order = args[0] == L"1" ? HWND_TOPMOST : HWND_NOTOPMOST;
  HWND bar = standin_bar();
  if (!bar) return missing(L"stand-in taskbar");
  const auto place = [order](HWND window) {
    ::SetWindowPos(window, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  if (order == HWND_NOTOPMOST) {
    for (HWND tray : e2e::top_level_windows(kTrayClass)) {
      if (is_ours(tray) && tray != bar) place(tray);
    }
  }
  place(bar);
  if (HWND start = standin_start(); start && ::GetAncestor(start, GA_PARENT) == ::GetDesktopWindow()) place(start);
  for (HWND second : e2e::top_level_windows(kSecondaryTrayClass)) {
    if (is_ours(second)) place(second);
  }
  return kOk;
}

// A program gone full screen: an ordinary window over the whole screen,
// brought to the front.
int cmd_fullscreen(Args) {
  HWND window = make_window(L"TalvorinE2EFullScreen", nullptr, 0, WS_POPUP | WS_VISIBLE,
                            RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
  if (!window) return missing(L"full-screen window");
  ::SetForegroundWindow(window);
  ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  print(L"ready");
  return e2e::pump_forever();
}

// "above" when an overlay that shows stands above the full-screen window in
// the z-order, "beneath" when every one is under it.
int cmd_overlay_over_fullscreen(Args) {
  HWND full = nullptr;
  for (HWND window : e2e::top_level_windows(L"TalvorinE2EFullScreen")) full = window;
  if (!full) return missing(L"full-screen window");
  for (HWND overlay : shown_overlays()) {
    for (HWND above = ::GetWindow(full, GW_HWNDPREV); above; above = ::GetWindow(above, GW_HWNDPREV)) {
      if (above == overlay) {
        print(L"above");
        return kOk;
      }
    }
  }
  print(L"beneath");
  return kOk;
}

// Reads the stand-in's button, the one the program under test writes to.
int cmd_standin_caption(Args) {
  for (HWND tray : e2e::top_level_windows(kTrayClass)) {
    if (!is_ours(tray)) continue;
    if (HWND button = ::FindWindowExW(tray, nullptr, L"Button", nullptr)) {
      print(e2e::caption_of(button));
      return kOk;
    }
  }
  return missing(L"stand-in taskbar");
}

}  // namespace tdriver
