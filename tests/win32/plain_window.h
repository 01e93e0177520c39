#pragma once
// Windows of the Win32 tests' own that do nothing: owners of tray icons,
// stand-ins for other programs' windows.

#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace talvorin::testing {

inline LRESULT CALLBACK plain_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

// Windows' own class of the name, or else a class of the test's own that
// does nothing.
inline void register_plain_class(const wchar_t* class_name) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (::GetClassInfoExW(instance, class_name, &window_class)) return;
  window_class.lpfnWndProc = plain_procedure;
  window_class.hInstance = instance;
  window_class.lpszClassName = class_name;
  ::RegisterClassExW(&window_class);
}

inline std::wstring class_name_of(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// A top-level window of 10 by 10 at the screen's corner.
inline platform::win32::unique_hwnd make_top_level(const wchar_t* class_name, const wchar_t* title, DWORD style) {
  register_plain_class(class_name);
  return platform::win32::unique_hwnd(::CreateWindowExW(0, class_name, title, style, 0, 0, 10, 10, nullptr, nullptr,
                                                        ::GetModuleHandleW(nullptr), nullptr));
}

// Runs a contract case on a fixture of its own.
template <typename Fixture, auto Case>
void on_wine() {
  Fixture wine;
  Case(wine);
}

}  // namespace talvorin::testing
