#pragma once
// Small helpers shared by the test drivers: owning handles (the program's own
// owner template), UTF-8 output and window searches by class.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/system_function.h"

namespace e2e {

using talvorin::platform::win32::unique_any;
using talvorin::platform::win32::unique_hkey;
using talvorin::platform::win32::unique_hwnd;

inline void close_handle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void unhook(HHOOK h) noexcept { ::UnhookWindowsHookEx(h); }
inline void free_library(HMODULE m) noexcept { ::FreeLibrary(m); }

using unique_handle = unique_any<HANDLE, close_handle>;
using unique_hhook = unique_any<HHOOK, unhook>;
using unique_hmodule = unique_any<HMODULE, free_library>;

inline std::string to_utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

inline std::wstring from_utf8(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

// Scripts read our output as UTF-8 whatever the console code page is.
inline void print(std::wstring_view line) {
  const std::string bytes = to_utf8(line) + "\n";
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

inline std::wstring window_text(HWND window) {
  const auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

// A caption as the window manager holds it, without a message to the owner:
// what GetWindowTextW gives for a window of another process.
inline std::wstring caption_of(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

inline std::wstring class_name(HWND window) {
  wchar_t buffer[256] = {};
  const int n = ::GetClassNameW(window, buffer, 256);
  return std::wstring(buffer, static_cast<size_t>(n > 0 ? n : 0));
}

inline bool same_class(HWND window, std::wstring_view name) {
  const std::wstring actual = class_name(window);
  return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, actual.data(), static_cast<int>(actual.size()),
                          name.data(), static_cast<int>(name.size())) == CSTR_EQUAL;
}

struct WindowSearch {
  std::wstring_view name;
  std::vector<HWND> found;
};

inline BOOL CALLBACK collect_window(HWND window, LPARAM context) noexcept {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  if (same_class(window, search->name)) search->found.push_back(window);
  return TRUE;
}

// Top-level windows of a class, from the top of the z-order down.
inline std::vector<HWND> top_level_windows(std::wstring_view class_name_wanted) {
  WindowSearch search{class_name_wanted, {}};
  ::EnumWindows(collect_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline std::vector<HWND> child_windows(HWND parent, std::wstring_view class_name_wanted) {
  std::vector<HWND> found;
  for (HWND child = ::FindWindowExW(parent, nullptr, class_name_wanted.data(), nullptr); child != nullptr;
       child = ::FindWindowExW(parent, child, class_name_wanted.data(), nullptr)) {
    found.push_back(child);
  }
  return found;
}

// The drivers read other programs' windows and the screen. Windows gives a
// process that declares no DPI awareness rectangles and pixels scaled to
// 96 dpi; an aware one reads them as they are on the screen. First thing in
// every driver: per-monitor v2 where Windows takes it, else system-aware.
inline void declare_dpi_aware() {
  using talvorin::platform::win32::system_function;
  using SetContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  using SetAwareFn = BOOL(WINAPI*)();
  if (const auto set_context = system_function<SetContextFn>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
    if (set_context(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) return;
  }
  if (const auto set_aware = system_function<SetAwareFn>(L"user32.dll", "SetProcessDPIAware")) set_aware();
}

class Stopwatch {
 public:
  long long elapsed_ms() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Runs the thread's message loop until the process is killed.
inline int pump_forever() {
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace e2e
