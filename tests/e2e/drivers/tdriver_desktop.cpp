// The desktop's icons: a stand-in for the shell's desktop and its list view.

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "tdriver.h"
#include "win32_util.h"

namespace tdriver {

// The shell's desktop as Windows builds it, which Wine does not: a top-level
// window (Progman, or WorkerW where the shell has moved the view) holding
// SHELLDLL_DefView, which holds the icons' list view. With WorkerW an empty
// Progman stands in front of it, as on Windows 7 and later.
constexpr wchar_t kDesktopViewClass[] = L"SHELLDLL_DefView";
constexpr wchar_t kProgmanTitle[] = L"Program Manager";

int cmd_desktop_icons(Args args) {
  const std::wstring top_class = args.empty() ? L"Progman" : args[0];
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);
  const RECT area{0, 0, 240, 160};
  if (top_class != L"Progman" && !make_window(L"Progman", nullptr, WS_EX_TOOLWINDOW, WS_POPUP, area, kProgmanTitle)) {
    return missing(L"empty Progman");
  }
  HWND top = make_window(top_class.c_str(), nullptr, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, WS_POPUP | WS_VISIBLE, area,
                         top_class == L"Progman" ? kProgmanTitle : L"");
  if (!top) return missing(top_class);
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW view_class{};
  view_class.lpfnWndProc = ::DefWindowProcW;
  view_class.hInstance = instance;
  view_class.lpszClassName = kDesktopViewClass;
  ::RegisterClassW(&view_class);
  HWND view = ::CreateWindowExW(0, kDesktopViewClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, area.right, area.bottom, top,
                                nullptr, instance, nullptr);
  HWND list = view ? ::CreateWindowExW(0, WC_LISTVIEWW, L"FolderView", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0,
                                       area.right, area.bottom, view, nullptr, instance, nullptr)
                   : nullptr;
  if (!list) return missing(L"desktop list view");
  for (const wchar_t* name : {L"Computer", L"Documents", L"Recycle Bin"}) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(list);
    item.pszText = const_cast<wchar_t*>(name);
    ListView_InsertItem(list, &item);
  }
  print(L"ready");
  return e2e::pump_forever();
}

// 1 when the fixture's list view has its visible style, 0 when hidden.
int cmd_desktop_icons_visible(Args) {
  for (const wchar_t* top_class : {L"Progman", L"WorkerW"}) {
    for (HWND top : e2e::top_level_windows(top_class)) {
      if (!is_ours(top)) continue;
      const HWND view = ::FindWindowExW(top, nullptr, kDesktopViewClass, nullptr);
      const HWND list = view ? ::FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
      if (!list) continue;
      print((::GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE) ? L"1" : L"0");
      return kOk;
    }
  }
  return missing(L"desktop list view");
}

}  // namespace tdriver
