#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/win32/adapters.h"
#include "platform/win32/dpi.h"
#include "platform/win32/wide.h"

namespace talvorin::platform::win32 {

namespace {

// The record is built byte by byte elsewhere; these tie the layout this
// build hands the shell to the system's own declaration.
constexpr const core::TrayRecordLayout& kTrayLayout = sizeof(void*) == 8 ? core::kTrayLayout64 : core::kTrayLayout32;
static_assert(NOTIFYICONDATAA_V1_SIZE == kTrayLayout.size);
static_assert(sizeof(HWND) == kTrayLayout.handle_width && sizeof(HICON) == kTrayLayout.handle_width);
static_assert(offsetof(NOTIFYICONDATAA, hWnd) == kTrayLayout.hwnd);
static_assert(offsetof(NOTIFYICONDATAA, uID) == kTrayLayout.id);
static_assert(offsetof(NOTIFYICONDATAA, uFlags) == kTrayLayout.flags);
static_assert(offsetof(NOTIFYICONDATAA, uCallbackMessage) == kTrayLayout.callback_message);
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == kTrayLayout.icon);
static_assert(offsetof(NOTIFYICONDATAA, szTip) == kTrayLayout.tip);
static_assert(static_cast<DWORD>(core::TrayCommand::Add) == NIM_ADD);
static_assert(static_cast<DWORD>(core::TrayCommand::Modify) == NIM_MODIFY);
static_assert(static_cast<DWORD>(core::TrayCommand::Delete) == NIM_DELETE);
static_assert(core::kTrayFlagMessage == NIF_MESSAGE && core::kTrayFlagIcon == NIF_ICON &&
              core::kTrayFlagTip == NIF_TIP);
static_assert(core::kTrayCallbackMessage == WM_MOUSEMOVE);
static_assert(static_cast<int>(ShowCommand::Hide) == SW_HIDE && static_cast<int>(ShowCommand::Show) == SW_SHOW);

// Long enough for any shell that works, short enough that a hung one does
// not hold up a close or a log-off for long.
constexpr UINT kShellAnswerMs = 1000;

using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

}  // namespace

WindowHandle ShellWindows::find_window(std::string_view class_name) {
  const std::string name(class_name);
  return as_handle(::FindWindowA(name.c_str(), nullptr));
}

WindowHandle ShellWindows::find_child_window(WindowHandle parent, std::string_view class_name) {
  const std::string name(class_name);
  return as_handle(::FindWindowExA(as_hwnd(parent), nullptr, name.c_str(), nullptr));
}

// The button belongs to the shell's process. A shell that hangs, or never
// answers, must not take the program with it: after a while the program goes
// on, and the next tick tries again.
void ShellWindows::set_window_text(WindowHandle window, const std::string& ansi_text) {
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutA(as_hwnd(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansi_text.c_str()), SMTO_ABORTIFHUNG,
                        kShellAnswerMs, &ignored);
}

WindowHandle ShellWindows::find_next_window(WindowHandle parent, WindowHandle after, std::string_view class_name) {
  const std::string name(class_name);
  return as_handle(::FindWindowExA(as_hwnd(parent), as_hwnd(after), name.c_str(), nullptr));
}

// The window is Explorer's: plain ShowWindow waits until its thread has
// shown it, so a hung Explorer would hold the program. The asynchronous call
// posts the show to that thread and returns.
void ShellWindows::show_window(WindowHandle window, ShowCommand command) {
  ::ShowWindowAsync(as_hwnd(window), static_cast<int>(command));
}

// One read of the port, and as few trips to the window server as will do:
// this runs on every tick for each window the caption goes over and for its
// taskbar. GetWindowInfo would give all of it in one call, but Wine makes
// five requests of its server for it; the place and the styles alone are
// two, and a child (the button) needs neither the extended style nor the
// region, since no child is ever topmost and only a taskbar's region cuts
// the caption. A child's visible style is its own; the search looks at its
// taskbar's apart.
WindowFacts ShellWindows::facts(WindowHandle window) {
  const CaptionDpiScope dpi;
  const HWND hwnd = as_hwnd(window);
  RECT rect{};
  if (hwnd == nullptr || !::GetWindowRect(hwnd, &rect)) return {};
  const auto style = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
  WindowFacts facts{(style & WS_VISIBLE) != 0, core::PixelRect{rect.left, rect.top, rect.right, rect.bottom},
                    (style & BS_TYPEMASK) == BS_OWNERDRAW};
  if ((style & WS_CHILD) != 0) return facts;
  facts.topmost = (static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_EXSTYLE)) & WS_EX_TOPMOST) != 0;
  // The box alone, in one call: what lies outside it never shows. An empty
  // region shows nothing of the window.
  RECT box{};
  if (::GetWindowRgnBox(hwnd, &box) != ERROR) facts.region = core::PixelRect{box.left, box.top, box.right, box.bottom};
  return facts;
}

core::PixelRect ShellWindows::monitor_of(const core::PixelRect& rect) {
  const CaptionDpiScope dpi;
  const RECT area{rect.left, rect.top, rect.right, rect.bottom};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(::MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &info)) {
    // No monitor to be had: the primary screen's, which is what XP's one
    // monitor always was.
    return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  return {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

std::uint32_t ShellWindows::thread_of(WindowHandle window) {
  return window == 0 ? 0 : ::GetWindowThreadProcessId(as_hwnd(window), nullptr);
}

const core::TrayRecordLayout& Tray::layout() const { return kTrayLayout; }

bool Tray::notify(core::TrayCommand command, const core::TrayRecordBytes& record) {
  // The bytes have no alignment of their own; the full structure does, and
  // the shell reads no further than the size in its first field.
  NOTIFYICONDATAA data{};
  std::memcpy(&data, record.data(), std::min(record.size(), sizeof data));
  return ::Shell_NotifyIconA(static_cast<DWORD>(command), &data) != FALSE;
}

void MessageBoxes::show(std::u16string_view prompt, MessageBoxStyle style, std::u16string_view title) {
  static_assert(static_cast<UINT>(MessageBoxStyle::Ok) == MB_OK);
  const std::wstring text = to_wide(prompt);
  const std::wstring caption = to_wide(box_title(title));
  ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), static_cast<UINT>(style));
}

bool CommonControls::initialize(std::uint32_t classes) {
  // Looked up at run time, so a system without the entry point starts all
  // the same and only reports it. The library stays loaded: the controls'
  // window classes live in it.
  //
  // The one library loaded by its bare name, unlike every other: version 6
  // lives in the side-by-side store, and only the name lets the manifest's
  // activation context redirect the load there (the full System32 path
  // would give the old version 5). With that context the loader takes the
  // assembly the manifest names and never looks in the exe's folder.
  const HMODULE library = ::LoadLibraryW(L"comctl32.dll");
  if (!library) return false;
  const auto entry = reinterpret_cast<InitCommonControlsExFn>(
      reinterpret_cast<void (*)()>(::GetProcAddress(library, "InitCommonControlsEx")));
  if (!entry) return false;
  const INITCOMMONCONTROLSEX record{sizeof(INITCOMMONCONTROLSEX), classes};
  entry(&record);
  return true;
}

}  // namespace talvorin::platform::win32
