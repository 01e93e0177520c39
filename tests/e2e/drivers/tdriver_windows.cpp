// The windows: the program's settings form and About window, message boxes, another program's window, the keys.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/system_function.h"
#include "tdriver.h"
#include "win32_util.h"

namespace tdriver {

// The settings window: the program's form with a text box. The About
// window is a form of the same class.
HWND find_form() {
  for (HWND form : e2e::top_level_windows(kFormWindowClass)) {
    if (::FindWindowExW(form, nullptr, L"Edit", nullptr)) return form;
  }
  return nullptr;
}

static HWND form_child(std::wstring_view class_name) {
  HWND form = find_form();
  return form ? ::FindWindowExW(form, nullptr, std::wstring(class_name).c_str(), nullptr) : nullptr;
}

static HWND form_check_box() {
  HWND form = find_form();
  if (!form) return nullptr;
  for (HWND button : e2e::child_windows(form, L"Button")) {
    const auto type = ::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE) return button;
  }
  return nullptr;
}

// --- the program's window ---------------------------------------------------

// "LEFT TOP RIGHT BOTTOM" of the whole window, frame included, on the screen.
static std::wstring window_rect_text(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return edges_text(rect);
}

int cmd_form(Args) {
  HWND form = find_form();
  if (!form) return missing(kFormWindowClass);
  print(L"visible " + std::to_wstring(::IsWindowVisible(form) ? 1 : 0));
  print(L"iconic " + std::to_wstring(::IsIconic(form) ? 1 : 0));
  print(L"caption " + e2e::window_text(form));
  print(L"window " + window_rect_text(form));
  return kOk;
}

int cmd_set_text(Args args) {
  if (args.empty()) return kUsage;
  HWND edit = form_child(L"Edit");
  if (!edit) return missing(L"Edit of " + std::wstring(kFormWindowClass));
  e2e::Stopwatch clock;
  ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[0].c_str()));
  if (args.size() >= 3 && args[1] == L"--wait-caption") return wait_for_caption(args[0], parse_long(args[2]), clock);
  if (args.size() >= 3 && args[1] == L"--wait-overlay") {
    return wait_for_overlay(args[0], std::nullopt, parse_long(args[2]), clock);
  }
  return kOk;
}

int cmd_set_check(Args args) {
  if (args.empty()) return kUsage;
  HWND box = form_check_box();
  if (!box) return missing(L"check box of " + std::wstring(kFormWindowClass));
  ::SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(parse_long(args[0])), 0);
  return kOk;
}

int cmd_get_check(Args) {
  HWND box = form_check_box();
  if (!box) return missing(L"check box of " + std::wstring(kFormWindowClass));
  print(std::to_wstring(::SendMessageW(box, BM_GETCHECK, 0, 0)));
  return kOk;
}

// "Ok" as the user presses it, posted: its handler may open a message box.
int cmd_press_ok(Args) {
  HWND form = find_form();
  if (!form) return missing(kFormWindowClass);
  for (HWND button : e2e::child_windows(form, L"Button")) {
    if ((::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) != BS_PUSHBUTTON) continue;
    ::PostMessageW(form, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return kOk;
  }
  return missing(L"push button of " + std::wstring(kFormWindowClass));
}

int cmd_close_form(Args) {
  HWND form = find_form();
  if (!form) return missing(kFormWindowClass);
  ::PostMessageW(form, WM_CLOSE, 0, 0);
  return kOk;
}

int cmd_minimize_form(Args) {
  HWND form = find_form();
  if (!form) return missing(kFormWindowClass);
  ::ShowWindow(form, SW_MINIMIZE);
  return kOk;
}

// The About window: the program's form without a text box.
static HWND find_about() {
  for (HWND form : e2e::top_level_windows(kFormWindowClass)) {
    if (!::FindWindowExW(form, nullptr, L"Edit", nullptr)) return form;
  }
  return nullptr;
}

static std::wstring rect_text(const RECT& r) {
  return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
         std::to_wstring(r.bottom - r.top);
}

// The About window as it stands: visibility, title, frame, client area on
// the screen and, in z-order (the tab order), each control with its client
// rectangle, whether Tab stops at it, and its text. With a field's name,
// that field's value alone ("about visible" prints 1 or 0).
int cmd_about(Args args) {
  HWND about = find_about();
  if (!about) return missing(L"About window");
  const std::wstring only = args.empty() ? L"" : args[0];
  const auto field = [&only](std::wstring_view name, const std::wstring& value) {
    if (only.empty()) {
      print(std::wstring(name) + L" " + value);
    } else if (only == name) {
      print(value);
    }
  };
  const auto style = static_cast<DWORD>(::GetWindowLongW(about, GWL_STYLE));
  field(L"visible", std::to_wstring(::IsWindowVisible(about) ? 1 : 0));
  field(L"caption", e2e::window_text(about));
  field(L"sizable", std::to_wstring((style & WS_THICKFRAME) ? 1 : 0) + L" min " +
                        std::to_wstring((style & WS_MINIMIZEBOX) ? 1 : 0) + L" max " +
                        std::to_wstring((style & WS_MAXIMIZEBOX) ? 1 : 0) + L" close " +
                        std::to_wstring((style & WS_SYSMENU) ? 1 : 0));
  RECT client{};
  ::GetClientRect(about, &client);
  POINT origin{0, 0};
  ::ClientToScreen(about, &origin);
  field(L"window", window_rect_text(about));
  field(L"client", std::to_wstring(origin.x) + L" " + std::to_wstring(origin.y) + L" " + std::to_wstring(client.right) +
                       L" " + std::to_wstring(client.bottom));
  if (!only.empty()) return kOk;
  for (HWND child = ::GetWindow(about, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT area{};
    ::GetWindowRect(child, &area);
    ::MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&area), 2);
    const bool tab_stop = (::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) != 0;
    print(L"control " + e2e::class_name(child) + L" " + rect_text(area) + L" " + std::to_wstring(tab_stop ? 1 : 0) +
          L" " + e2e::window_text(child));
  }
  return kOk;
}

// The DPI each of the program's windows is drawn for, as another process
// reads it: "settings N", "about N" (or "about none"), and for the first
// caption window that shows "caption N AWARENESS" (unaware, system or
// per-monitor, v1 and v2 alike). 0 where Windows does not tell.
int cmd_window_dpi(Args) {
  using talvorin::platform::win32::system_function;
  using DpiForWindowFn = UINT(WINAPI*)(HWND);
  using WindowContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
  using AwarenessFn = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
  constexpr wchar_t kUser32[] = L"user32.dll";
  const auto dpi_for_window = system_function<DpiForWindowFn>(kUser32, "GetDpiForWindow");
  const auto context_of = system_function<WindowContextFn>(kUser32, "GetWindowDpiAwarenessContext");
  const auto awareness_of = system_function<AwarenessFn>(kUser32, "GetAwarenessFromDpiAwarenessContext");
  if (!dpi_for_window || !context_of || !awareness_of) return missing(L"the DPI calls of Windows 10");
  const auto dpi = [&](HWND window) { return window ? std::to_wstring(dpi_for_window(window)) : L"none"; };
  const auto awareness = [&](HWND window) -> std::wstring {
    const DPI_AWARENESS_CONTEXT context = context_of(window);
    switch (context ? awareness_of(context) : DPI_AWARENESS_INVALID) {
      case DPI_AWARENESS_UNAWARE:
        return L"unaware";
      case DPI_AWARENESS_SYSTEM_AWARE:
        return L"system";
      case DPI_AWARENESS_PER_MONITOR_AWARE:
        return L"per-monitor";
      default:
        return L"unknown";
    }
  };
  print(L"settings " + dpi(find_form()));
  print(L"about " + dpi(find_about()));
  const std::vector<HWND> captions = shown_overlays();
  print(L"caption " + (captions.empty() ? std::wstring(L"none") : dpi(captions[0]) + L" " + awareness(captions[0])));
  return kOk;
}

// The handle of the pointer's shape now. Each process has handles of its
// own for the system's cursors, so the scripts compare these with each other.
int cmd_cursor(Args) {
  CURSORINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetCursorInfo(&info)) return missing(L"cursor");
  print(std::to_wstring(reinterpret_cast<std::uintptr_t>(info.hCursor)));
  return kOk;
}

// The close box of the About window, as a click on it asks.
int cmd_about_close(Args) {
  HWND about = find_about();
  if (!about) return missing(L"About window");
  ::PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
  return kOk;
}

// --- message boxes ----------------------------------------------------------

constexpr wchar_t kDialogClass[] = L"#32770";

int cmd_message_boxes(Args args) {
  if (args.empty()) return kUsage;
  std::vector<std::wstring> texts;
  for (HWND box : e2e::top_level_windows(kDialogClass)) {
    if (!::IsWindowVisible(box) || e2e::window_text(box) != args[0]) continue;
    std::wstring text;
    for (HWND label : e2e::child_windows(box, L"Static")) {
      const std::wstring part = e2e::window_text(label);
      if (!part.empty()) text += part;
    }
    texts.push_back(text);
  }
  print(L"count " + std::to_wstring(texts.size()));
  for (const auto& text : texts) print(L"text " + text);
  return kOk;
}

// Presses OK on every visible message box with this title.
int cmd_close_message_boxes(Args args) {
  if (args.empty()) return kUsage;
  for (HWND box : e2e::top_level_windows(kDialogClass)) {
    if (::IsWindowVisible(box) && e2e::window_text(box) == args[0]) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  return kOk;
}

// --- activation -------------------------------------------------------------

// Another program's window: a plain one over the desktop above the taskbar,
// neither topmost nor one of the program's, that the scenarios put in front
// of the program's windows.
constexpr wchar_t kCoverClass[] = L"TalvorinE2ECover";

static HWND find_cover() {
  const auto found = e2e::top_level_windows(kCoverClass);
  return found.empty() ? nullptr : found.front();
}

int cmd_cover(Args) {
  HWND cover = make_window(kCoverClass, nullptr, 0, WS_POPUP | WS_VISIBLE | WS_BORDER,
                           RECT{0, 0, 1024, kScreenHeight - kWineTaskbarHeight - 8});
  if (!cover) return missing(L"cover window");
  ::SetForegroundWindow(cover);
  print(L"ready");
  return e2e::pump_forever();
}

static HWND named_window(const std::wstring& name) {
  if (name == L"cover") return find_cover();
  if (name == L"form") return find_form();
  if (name == L"about") return find_about();
  return nullptr;
}

// activate cover|form|about: the system makes that window the foreground
// window, as a click on it would.
int cmd_activate(Args args) {
  if (args.empty()) return kUsage;
  HWND window = named_window(args[0]);
  if (!window) return missing(args[0]);
  ::SetForegroundWindow(window);
  return kOk;
}

// key-escape: Esc pressed and released, into the system's input as the
// keyboard's keys go: to the foreground thread, where an open menu takes it.
int cmd_key_escape(Args) {
  INPUT keys[2]{};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_ESCAPE;
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return ::SendInput(2, keys, sizeof(INPUT)) == 2 ? kOk : missing(L"keyboard input");
}

// What a window is to the scenarios: "form", "about", "app" (the program's
// hidden application window), "cover", or its class.
static std::wstring role_of(HWND window) {
  if (!window) return L"none";
  if (window == find_form()) return L"form";
  if (window == find_about()) return L"about";
  if (window == find_cover()) return L"cover";
  if (e2e::same_class(window, kAppWindowClass)) return L"app";
  return e2e::class_name(window);
}

// The foreground window as "ROLE visible V focus CLASS front F": whether it
// is shown, the class of the focus window of its thread (the window the
// keys go to), and 1 when it lies in front of the cover window.
int cmd_foreground(Args) {
  HWND foreground = ::GetForegroundWindow();
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  const HWND focus = foreground && ::GetGUIThreadInfo(::GetWindowThreadProcessId(foreground, nullptr), &info)
                         ? info.hwndFocus
                         : nullptr;
  bool in_front = false;
  HWND cover = find_cover();
  for (HWND above = cover ? ::GetWindow(cover, GW_HWNDPREV) : nullptr; above; above = ::GetWindow(above, GW_HWNDPREV)) {
    if (above == foreground) in_front = true;
  }
  print(role_of(foreground) + L" visible " + std::to_wstring(foreground && ::IsWindowVisible(foreground) ? 1 : 0) +
        L" focus " + (focus ? e2e::class_name(focus) : std::wstring(L"none")) + L" front " +
        std::to_wstring(in_front ? 1 : 0));
  return kOk;
}

}  // namespace tdriver
