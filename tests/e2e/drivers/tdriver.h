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
// Every command: its arguments in, the exit code out.
using Command = int(Args);

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

Command cmd_start_caption, cmd_wait_caption, cmd_decoy, cmd_standin_taskbar, cmd_overlays, cmd_overlay_order,
    cmd_wait_overlay, cmd_start_rect, cmd_standin_move, cmd_standin_bar_move, cmd_standin_topmost, cmd_fullscreen,
    cmd_overlay_over_fullscreen, cmd_standin_caption, cmd_standin_region;

// Following the shell between the program's ticks (tdriver_following.cpp).
Command cmd_raise_taskbar, cmd_standin_steps;

// Processes and the system (tdriver_processes.cpp).
Command cmd_start, cmd_wait_exit, cmd_end_session, cmd_kill, cmd_peak_memory, cmd_module_path, cmd_screen_dpi,
    cmd_live_handles, cmd_acp, cmd_hold;

// The program's windows and the others (tdriver_windows.cpp).
HWND find_form();

Command cmd_message_boxes, cmd_close_message_boxes, cmd_form, cmd_set_text, cmd_set_check, cmd_get_check, cmd_press_ok,
    cmd_close_form, cmd_minimize_form, cmd_about, cmd_window_dpi, cmd_cursor, cmd_about_close, cmd_cover, cmd_activate,
    cmd_key_escape, cmd_foreground;

// The tray and the popup menus (tdriver_tray.cpp).
Command cmd_tray_callback, cmd_tray_delete, cmd_tray_present, cmd_copies, cmd_taskbar_created, cmd_menu_window,
    cmd_menu_hook, cmd_menu_item_point;

// The registry (tdriver_registry.cpp).
Command cmd_reg_get, cmd_reg_summary, cmd_reg_set, cmd_reg_set_repeated, cmd_reg_make_key, cmd_reg_delete;

// The desktop's icons (tdriver_desktop.cpp).
Command cmd_desktop_icons, cmd_desktop_icons_visible;

}  // namespace tdriver
