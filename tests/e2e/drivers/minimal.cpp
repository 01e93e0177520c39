// The smallest Win32 GUI program built like talvorin.exe: one hidden window
// and a message loop. The benchmark sets its memory beside the program's.

#include <windows.h>

#include "win32_util.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ::DefWindowProcW;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"TalvorinMinimal";
  ::RegisterClassW(&window_class);
  e2e::unique_hwnd window(::CreateWindowExW(0, window_class.lpszClassName, L"minimal", WS_OVERLAPPEDWINDOW, 0, 0,
                                            200, 100, nullptr, nullptr, instance, nullptr));
  if (!window) return 1;
  return e2e::pump_forever();
}
