#pragma once
// Windows of the Win32 tests' own that do nothing: owners of tray icons,
// stand-ins for other programs' windows.

#include <windows.h>

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

}  // namespace talvorin::testing
