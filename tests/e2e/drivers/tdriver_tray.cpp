// The tray icon and the popup menus.

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

#include "platform/win32/window_names.h"
#include "tdriver.h"
#include "win32_util.h"

namespace tdriver {

using talvorin::platform::win32::kPictureWindowClass;
constexpr UINT kTrayIconId = 1;

// --- the tray ---------------------------------------------------------------

static NOTIFYICONDATAW program_icon(HWND owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = kTrayIconId;
  return data;
}

static HWND icon_owner() {
  HWND form = find_form();
  return form ? ::FindWindowExW(form, nullptr, kPictureWindowClass, nullptr) : nullptr;
}

// The shell's callback for a click on the program's icon, posted as the
// shell posts it: a mouse move to the icon's window with the click's mouse
// message in lParam. "left" or "right" (the button's release). Where the
// tray's place on the screen is not known, as at another DPI.
int cmd_tray_callback(Args args) {
  if (args.empty() || (args[0] != L"left" && args[0] != L"right")) return kUsage;
  HWND owner = icon_owner();
  if (!owner) return missing(kPictureWindowClass);
  ::PostMessageW(owner, WM_MOUSEMOVE, 0, args[0] == L"left" ? WM_LBUTTONUP : WM_RBUTTONUP);
  return kOk;
}

// Shell_NotifyIcon on the program's icon; prints `yes` or `no` as it succeeds.
static int notify_icon(DWORD message, const wchar_t* yes, const wchar_t* no) {
  HWND owner = icon_owner();
  if (!owner) return missing(kPictureWindowClass);
  auto data = program_icon(owner);
  print(::Shell_NotifyIconW(message, &data) ? yes : no);
  return kOk;
}

int cmd_tray_delete(Args) { return notify_icon(NIM_DELETE, L"deleted", L"not deleted"); }

// The shell accepts a modify only for an icon it holds, and a modify with no
// flags changes nothing: a way to ask whether the icon is there.
int cmd_tray_present(Args) { return notify_icon(NIM_MODIFY, L"1", L"0"); }

// Every running copy of the program: "<pid> icon <0|1>" a line each.
int cmd_copies(Args) {
  for (HWND form : e2e::top_level_windows(kFormWindowClass)) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(form, &pid);
    HWND owner = ::FindWindowExW(form, nullptr, kPictureWindowClass, nullptr);
    auto data = program_icon(owner);
    const bool icon = owner && ::Shell_NotifyIconW(NIM_MODIFY, &data);
    print(std::to_wstring(pid) + L" icon " + (icon ? L"1" : L"0"));
  }
  return kOk;
}

int cmd_taskbar_created(Args) {
  ::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  return kOk;
}

// --- popup menus ----------------------------------------------------------

constexpr wchar_t kMenuClass[] = L"#32768";

static std::optional<RECT> open_menu_rect() {
  for (HWND menu : e2e::top_level_windows(kMenuClass)) {
    RECT rect{};
    if (::IsWindowVisible(menu) && ::GetWindowRect(menu, &rect)) return rect;
  }
  return std::nullopt;
}

int cmd_menu_window(Args) {
  const auto rect = open_menu_rect();
  if (!rect) {
    print(L"none");
    return kMismatch;
  }
  print(std::to_wstring(rect->left) + L" " + std::to_wstring(rect->top) + L" " + std::to_wstring(rect->right) + L" " +
        std::to_wstring(rect->bottom));
  return kOk;
}

static std::wstring own_folder() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The items of a popup menu can only be read from inside the process that
// owns it, so menuhook.dll goes into the program's thread and, each time a
// menu opens, writes its items to menuhook.txt beside itself. The hook stays
// until this driver is killed: Wine does not always call a hook set a second
// time from the same DLL into the same thread.
int cmd_menu_hook(Args) {
  HWND form = find_form();
  if (!form) return missing(kFormWindowClass);
  const std::wstring folder = own_folder();
  e2e::unique_hmodule library(::LoadLibraryW((folder + L"menuhook.dll").c_str()));
  if (!library) return missing(L"menuhook.dll");
  using Install = HHOOK (*)(DWORD);
  auto install =
      reinterpret_cast<Install>(reinterpret_cast<void*>(::GetProcAddress(library.get(), "install_menu_hook")));
  if (!install) return missing(L"install_menu_hook");
  e2e::unique_hhook hook(install(::GetWindowThreadProcessId(form, nullptr)));
  if (!hook) return missing(L"hook");
  print(L"ready");
  return e2e::pump_forever();
}

// The middle of item `index` of an open popup menu of `count` plain text
// items, which all have the same height.
int cmd_menu_item_point(Args args) {
  if (args.size() < 2) return kUsage;
  const auto rect = open_menu_rect();
  if (!rect) {
    print(L"no open menu");
    return kMismatch;
  }
  const long count = parse_long(args[0]);
  const long index = parse_long(args[1]);
  const int border = ::GetSystemMetrics(SM_CYEDGE) + ::GetSystemMetrics(SM_CYBORDER);
  const long inner = rect->bottom - rect->top - 2 * border;
  const long y = rect->top + border + (2 * index + 1) * inner / (2 * count);
  const long x = (rect->left + rect->right) / 2;
  print(std::to_wstring(x) + L" " + std::to_wstring(y));
  return kOk;
}

}  // namespace tdriver
