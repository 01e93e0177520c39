// The smallest Win32 GUI program built like talvorin.exe that does what the
// program does all day: one hidden window, a message loop, and every 100 ms
// the Start button looked up and its caption written. The benchmark sets its
// CPU share and memory beside the program's.

#include <windows.h>

#include <shellapi.h>

#include "win32_util.h"

namespace {

constexpr UINT_PTR kTick = 1;
constexpr UINT kTickMs = 100;
// "Жми!" in code page 1251, as the program hands it to the A call.
constexpr char kCaption[] = "\xC6\xEC\xE8!";

void CALLBACK write_caption(HWND, UINT, UINT_PTR, DWORD) {
  HWND taskbar = ::FindWindowA("shell_traywnd", nullptr);
  HWND button = ::FindWindowExA(taskbar, nullptr, "button", nullptr);
  ::SendMessageA(button, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kCaption));
}

// With TALVORIN_MINIMAL_DLLS set, it also loads the system DLLs that
// talvorin.exe loads and the loop above does not need: shell32 for the tray
// icon, comctl32 for the visual styles and advapi32 for the registry. The
// benchmark tells their share of the working set from the program's own
// that way.
void load_the_programs_dlls() {
  wchar_t flag[8] = {};
  if (::GetEnvironmentVariableW(L"TALVORIN_MINIMAL_DLLS", flag, 8) == 0) return;
  for (const wchar_t* dll : {L"shell32.dll", L"comctl32.dll", L"advapi32.dll"}) {
    ::LoadLibraryW(dll);
  }
}

using NotifyIconFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);

// With TALVORIN_MINIMAL_TRAY set, it also puts an icon in the tray, as the
// program does: the floor the program's memory is set beside.
void add_tray_icon(HWND window) {
  wchar_t flag[8] = {};
  if (::GetEnvironmentVariableW(L"TALVORIN_MINIMAL_TRAY", flag, 8) == 0) return;
  const HMODULE shell = ::LoadLibraryW(L"shell32.dll");
  const auto notify =
      shell ? reinterpret_cast<NotifyIconFn>(reinterpret_cast<void (*)()>(::GetProcAddress(shell, "Shell_NotifyIconW")))
            : nullptr;
  if (!notify) return;
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = window;
  data.uID = 1;
  data.uFlags = NIF_ICON | NIF_TIP;
  data.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
  ::lstrcpynW(data.szTip, L"minimal", 64);
  notify(NIM_ADD, &data);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  load_the_programs_dlls();
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ::DefWindowProcW;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"TalvorinMinimal";
  ::RegisterClassW(&window_class);
  e2e::unique_hwnd window(::CreateWindowExW(0, window_class.lpszClassName, L"minimal", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                            100, nullptr, nullptr, instance, nullptr));
  if (!window) return 1;
  add_tray_icon(window.get());
  ::SetTimer(window.get(), kTick, kTickMs, write_caption);
  return e2e::pump_forever();
}
