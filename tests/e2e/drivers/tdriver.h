#pragma once
// What the test driver's areas share: the exit codes, the helpers more than
// one area uses, and each area's commands for the one table in tdriver.cpp.

#include <windows.h>

#include <cwchar>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/window_names.h"
#include "win32_util.h"

namespace tdriver {

using e2e::print;
using Args = std::span<const std::wstring>;

constexpr int kOk = 0;
constexpr int kMismatch = 1;
constexpr int kUsage = 2;

// Windows this driver makes carry this property, so that the driver's searches
// can tell Wine's own taskbar from our stand-ins and decoys.
constexpr wchar_t kOursProperty[] = L"TalvorinE2E.Ours";

// The program's own windows, by the names it registers them under.
using talvorin::platform::win32::kAppWindowClass;
using talvorin::platform::win32::kFormWindowClass;

constexpr int kScreenHeight = 768;
constexpr int kWineTaskbarHeight = 20;

inline bool is_ours(HWND window) { return ::GetPropW(window, kOursProperty) != nullptr; }

inline long parse_long(const std::wstring& text) { return std::wcstol(text.c_str(), nullptr, 10); }

inline int missing(std::wstring_view what) {
  print(L"missing: " + std::wstring(what));
  return kUsage;
}

// The taskbar, the caption and the stand-ins (tdriver_taskbar.cpp).
HWND wine_start_button();
HWND wine_taskbar();
int wait_for_caption(const std::wstring& expected, long timeout_ms, const e2e::Stopwatch& clock);
HWND make_window(const wchar_t* class_name, WNDPROC proc, DWORD ex_style, DWORD style, RECT where,
                 const wchar_t* title = L"");
HWND standin_start();
HWND standin_bar();
std::wstring edges_text(const RECT& rect);
std::vector<HWND> shown_overlays();
int wait_for_overlay(const std::wstring& text, const std::optional<RECT>& rect, long timeout_ms,
                     const e2e::Stopwatch& clock);
RECT standin_visible_part(RECT start);

int cmd_start_caption(Args);
int cmd_wait_caption(Args);
int cmd_decoy(Args);
int cmd_standin_taskbar(Args);
int cmd_overlays(Args);
int cmd_overlay_order(Args);
int cmd_wait_overlay(Args);
int cmd_start_rect(Args);
int cmd_standin_move(Args);
int cmd_standin_bar_move(Args);
int cmd_standin_topmost(Args);
int cmd_fullscreen(Args);
int cmd_overlay_over_fullscreen(Args);
int cmd_standin_caption(Args);
int cmd_standin_region(Args);

// Following the shell between the program's ticks (tdriver_following.cpp).
int cmd_raise_taskbar(Args);
int cmd_standin_steps(Args);

// Processes and the system (tdriver_processes.cpp).
int cmd_start(Args);
int cmd_wait_exit(Args);
int cmd_end_session(Args);
int cmd_kill(Args);
int cmd_peak_memory(Args);
int cmd_module_path(Args);
int cmd_screen_dpi(Args);
int cmd_live_handles(Args);
int cmd_acp(Args);
int cmd_hold(Args);

// The program's windows and the others (tdriver_windows.cpp).
HWND find_form();

int cmd_message_boxes(Args);
int cmd_close_message_boxes(Args);
int cmd_form(Args);
int cmd_set_text(Args);
int cmd_set_check(Args);
int cmd_get_check(Args);
int cmd_press_ok(Args);
int cmd_close_form(Args);
int cmd_minimize_form(Args);
int cmd_about(Args);
int cmd_window_dpi(Args);
int cmd_cursor(Args);
int cmd_about_close(Args);
int cmd_cover(Args);
int cmd_activate(Args);
int cmd_key_escape(Args);
int cmd_foreground(Args);

// The tray and the popup menus (tdriver_tray.cpp).
int cmd_tray_callback(Args);
int cmd_tray_delete(Args);
int cmd_tray_present(Args);
int cmd_copies(Args);
int cmd_taskbar_created(Args);
int cmd_menu_window(Args);
int cmd_menu_hook(Args);
int cmd_menu_item_point(Args);

// The registry (tdriver_registry.cpp).
int cmd_reg_get(Args);
int cmd_reg_summary(Args);
int cmd_reg_set(Args);
int cmd_reg_set_repeated(Args);
int cmd_reg_make_key(Args);
int cmd_reg_delete(Args);

// The desktop's icons (tdriver_desktop.cpp).
int cmd_desktop_icons(Args);
int cmd_desktop_icons_visible(Args);

}  // namespace tdriver
