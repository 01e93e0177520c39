// Test driver for the end-to-end scenarios: one small command per call, run
// with `wine tdriver.exe COMMAND ARGS...` inside the shell desktop. Results go
// to stdout as UTF-8 lines; the exit code is 0 on success, 1 when a wait ran
// out or a check saw something else, 2 on bad use or a missing window.

#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/window_names.h"
#include "win32_util.h"

namespace {

using e2e::print;
using Args = std::span<const std::wstring>;

constexpr int kOk = 0;
constexpr int kMismatch = 1;
constexpr int kUsage = 2;

constexpr DWORD kPollMs = 5;

// Windows this driver makes carry this property, so that the searches below
// can tell Wine's own taskbar from our stand-ins and decoys.
constexpr wchar_t kOursProperty[] = L"TalvorinE2E.Ours";

// The program's own windows, by the names it registers them under.
using talvorin::platform::win32::kAppWindowClass;
using talvorin::platform::win32::kFormWindowClass;
using talvorin::platform::win32::kLiveHandlesMessage;
using talvorin::platform::win32::kPictureWindowClass;
using talvorin::platform::win32::kStartCaptionClass;
constexpr wchar_t kTrayClass[] = L"Shell_TrayWnd";
constexpr wchar_t kMenuClass[] = L"#32768";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kSecondaryTrayClass[] = L"Shell_SecondaryTrayWnd";
constexpr wchar_t kStartClass[] = L"Start";
constexpr wchar_t kHolderClass[] = L"TalvorinE2EHolder";
constexpr UINT kTrayIconId = 1;

constexpr int kScreenHeight = 768;
constexpr int kWineTaskbarHeight = 20;

struct StandinSize {
  static constexpr int width = 200;
  static constexpr int height = 40;
  static constexpr int start_width = 60;  // the orb and the Start windows
  static constexpr int orb_overhang = 6;  // how far the orb stands out above its taskbar
};

bool is_ours(HWND window) { return ::GetPropW(window, kOursProperty) != nullptr; }

long parse_long(const std::wstring& text) { return std::wcstol(text.c_str(), nullptr, 10); }

// Wine's Start button: the Button child of the taskbar that this driver did
// not create.
HWND wine_start_button() {
  for (HWND tray : e2e::top_level_windows(kTrayClass)) {
    if (is_ours(tray)) continue;
    if (HWND button = ::FindWindowExW(tray, nullptr, L"Button", nullptr)) return button;
  }
  return nullptr;
}

HWND wine_taskbar() {
  for (HWND tray : e2e::top_level_windows(kTrayClass)) {
    if (!is_ours(tray) && ::FindWindowExW(tray, nullptr, L"Button", nullptr)) return tray;
  }
  return nullptr;
}

// The settings window: the program's form with a text box. The About
// window is a form of the same class.
HWND find_form() {
  for (HWND form : e2e::top_level_windows(kFormWindowClass)) {
    if (::FindWindowExW(form, nullptr, L"Edit", nullptr)) return form;
  }
  return nullptr;
}

HWND form_child(std::wstring_view class_name) {
  HWND form = find_form();
  return form ? ::FindWindowExW(form, nullptr, std::wstring(class_name).c_str(), nullptr) : nullptr;
}

HWND form_check_box() {
  HWND form = find_form();
  if (!form) return nullptr;
  for (HWND button : e2e::child_windows(form, L"Button")) {
    const auto type = ::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE) return button;
  }
  return nullptr;
}

int missing(std::wstring_view what) {
  print(L"missing: " + std::wstring(what));
  return kUsage;
}

// Waits until Wine's Start button reads `expected`; prints how long it took
// from `clock`'s start.
int wait_for_caption(const std::wstring& expected, long timeout_ms, const e2e::Stopwatch& clock) {
  std::wstring seen;
  bool found_button = false;
  for (;;) {
    if (HWND button = wine_start_button()) {
      found_button = true;
      seen = e2e::caption_of(button);
      if (seen == expected) {
        print(L"caption after " + std::to_wstring(clock.elapsed_ms()) + L" ms");
        return kOk;
      }
    }
    if (clock.elapsed_ms() > timeout_ms) break;
    ::Sleep(kPollMs);
  }
  print(L"timeout after " + std::to_wstring(clock.elapsed_ms()) + L" ms: expected caption \"" + expected +
        L"\", seen " + (found_button ? L"\"" + seen + L"\"" : std::wstring(L"no Start button")));
  return kMismatch;
}

// --- processes ------------------------------------------------------------

// Scripts pass Unix paths; Wine maps / to drive Z:.
std::wstring windows_path(std::wstring path) {
  if (!path.empty() && path.front() == L'/') {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    path = L"Z:" + path;
  }
  return path;
}

// A process that nobody holds a handle to is gone with its id once it ends,
// and a later wait-exit could no longer tell how it ended. The holder keeps
// a handle to each program started for the length of the run.
void hand_to_holder(HANDLE process) {
  const HWND holder = ::FindWindowW(kHolderClass, nullptr);
  DWORD holder_pid = 0;
  if (!holder || !::GetWindowThreadProcessId(holder, &holder_pid)) return;
  const e2e::unique_handle target(::OpenProcess(PROCESS_DUP_HANDLE, FALSE, holder_pid));
  HANDLE kept = nullptr;
  if (target) ::DuplicateHandle(::GetCurrentProcess(), process, target.get(), &kept, 0, FALSE, DUPLICATE_SAME_ACCESS);
}

int cmd_start(Args args) {
  if (args.empty()) return kUsage;
  const std::wstring exe = windows_path(args[0]);
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  std::wstring command_line = L"\"" + exe + L"\"";
  const bool wait_caption = args.size() >= 4 && args[1] == L"--wait-caption";
  // Wine's button keeps the last text written to it, by an earlier run too;
  // a mark of our own makes sure the caption we wait for is this run's.
  if (wait_caption) {
    if (HWND button = wine_start_button())
      ::SendMessageW(button, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"(not yet)"));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  e2e::Stopwatch clock;
  if (!::CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &info)) {
    print(L"cannot start " + exe + L": error " + std::to_wstring(::GetLastError()));
    return kUsage;
  }
  e2e::unique_handle process(info.hProcess);
  e2e::unique_handle thread(info.hThread);
  hand_to_holder(process.get());
  print(L"pid " + std::to_wstring(info.dwProcessId));
  print(L"path " + exe);
  if (wait_caption) return wait_for_caption(args[2], parse_long(args[3]), clock);
  return kOk;
}

e2e::unique_handle open_process(const std::wstring& pid, DWORD access) {
  return e2e::unique_handle(::OpenProcess(access, FALSE, static_cast<DWORD>(parse_long(pid))));
}

// A negative timeout waits as long as the process runs.
int cmd_wait_exit(Args args) {
  if (args.size() < 2) return kUsage;
  auto process = open_process(args[0], SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION);
  if (!process) {
    print(L"exited (no such process)");
    return kOk;
  }
  const long timeout_ms = parse_long(args[1]);
  const DWORD wait_ms = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
  if (::WaitForSingleObject(process.get(), wait_ms) != WAIT_OBJECT_0) {
    print(L"still running after " + args[1] + L" ms");
    return kMismatch;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process.get(), &code);
  print(L"exited " + std::to_wstring(code));
  return kOk;
}

struct ProcessWindows {
  DWORD pid;
  std::vector<HWND> windows;
};

BOOL CALLBACK collect_process_window(HWND window, LPARAM context) noexcept {
  auto* search = reinterpret_cast<ProcessWindows*>(context);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid == search->pid) search->windows.push_back(window);
  return TRUE;
}

// What the system does at log-off: WM_QUERYENDSESSION to every top-level
// window of the process, then WM_ENDSESSION (TRUE) to each. Prints each
// window's answer to the query. With WAIT_MS, then waits for the process to
// end and prints its exit code as wait-exit does: the process is held from
// the start, since it may end before the last window has had its message.
int cmd_end_session(Args args) {
  if (args.empty()) return kUsage;
  auto process = open_process(args[0], SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION);
  ProcessWindows search{static_cast<DWORD>(parse_long(args[0])), {}};
  ::EnumWindows(collect_process_window, reinterpret_cast<LPARAM>(&search));
  if (search.windows.empty()) return missing(L"windows of process " + args[0]);
  for (HWND window : search.windows) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
    print(L"query " + e2e::class_name(window) + L" " + std::to_wstring(answer));
  }
  for (HWND window : search.windows) {
    ::SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, nullptr);
  }
  print(L"ended");
  if (args.size() < 2) return kOk;
  if (!process || ::WaitForSingleObject(process.get(), static_cast<DWORD>(parse_long(args[1]))) != WAIT_OBJECT_0) {
    print(L"still running after " + args[1] + L" ms");
    return kMismatch;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process.get(), &code);
  print(L"exited " + std::to_wstring(code));
  return kOk;
}

int cmd_kill(Args args) {
  if (args.empty()) return kUsage;
  auto process = open_process(args[0], PROCESS_TERMINATE | SYNCHRONIZE);
  if (!process) return kOk;
  ::TerminateProcess(process.get(), 1);
  ::WaitForSingleObject(process.get(), 5000);
  return kOk;
}

int cmd_peak_memory(Args args) {
  if (args.empty()) return kUsage;
  auto process = open_process(args[0], PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!process || !::GetProcessMemoryInfo(process.get(), &counters, sizeof counters)) return missing(L"process");
  print(L"peak_working_set " + std::to_wstring(counters.PeakWorkingSetSize));
  print(L"working_set " + std::to_wstring(counters.WorkingSetSize));
  return kOk;
}

// Where the process PID loaded the DLL NAME from: its full path.
int cmd_module_path(Args args) {
  if (args.size() < 2) return kUsage;
  auto process = open_process(args[0], PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
  HMODULE modules[512];
  DWORD size = 0;
  if (!process || !::EnumProcessModules(process.get(), modules, sizeof modules, &size)) return missing(L"process");
  for (DWORD i = 0; i < std::min<DWORD>(size / sizeof(HMODULE), std::size(modules)); ++i) {
    wchar_t path[MAX_PATH] = {};
    if (!::GetModuleFileNameExW(process.get(), modules[i], path, MAX_PATH)) continue;
    const wchar_t* name = std::wcsrchr(path, L'\\');
    if (::lstrcmpiW(name ? name + 1 : path, args[1].c_str()) == 0) {
      print(path);
      return kOk;
    }
  }
  return missing(args[1]);
}

// The screen's DPI as this prefix gives it.
int cmd_screen_dpi(Args) {
  const HDC screen = ::GetDC(nullptr);
  print(std::to_wstring(::GetDeviceCaps(screen, LOGPIXELSY)));
  ::ReleaseDC(nullptr, screen);
  return kOk;
}

// The GDI and USER objects the program's own handle owners hold, as its
// application window tells them: "gdi N user M".
int cmd_live_handles(Args args) {
  if (args.empty()) return kUsage;
  const auto pid = static_cast<DWORD>(parse_long(args[0]));
  for (HWND window : e2e::top_level_windows(kAppWindowClass)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != pid) continue;
    DWORD_PTR counts = 0;
    if (!::SendMessageTimeoutW(window, ::RegisterWindowMessageW(kLiveHandlesMessage), 0, 0, SMTO_ABORTIFHUNG, 5000,
                               &counts)) {
      return missing(L"answer from " + std::wstring(kAppWindowClass));
    }
    print(L"gdi " + std::to_wstring(LOWORD(counts)) + L" user " + std::to_wstring(HIWORD(counts)));
    return kOk;
  }
  return missing(kAppWindowClass + (L" of process " + args[0]));
}

// --- the shell --------------------------------------------------------------

int cmd_acp(Args) {
  print(std::to_wstring(::GetACP()));
  return kOk;
}

int cmd_start_caption(Args) {
  HWND button = wine_start_button();
  if (!button) return missing(L"Start button");
  print(e2e::caption_of(button));
  return kOk;
}

int cmd_wait_caption(Args args) {
  if (args.size() < 2) return kUsage;
  return wait_for_caption(args[0], parse_long(args[1]), e2e::Stopwatch{});
}

// A window class whose windows do nothing of their own; `proc` may add to it.
// The title is the one Windows gives the window it stands for.
HWND make_window(const wchar_t* class_name, WNDPROC proc, DWORD ex_style, DWORD style, RECT where,
                 const wchar_t* title = L"") {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = proc ? proc : ::DefWindowProcW;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = class_name;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  ::RegisterClassW(&window_class);
  HWND window = ::CreateWindowExW(ex_style, class_name, title, style, where.left, where.top, where.right - where.left,
                                  where.bottom - where.top, nullptr, nullptr, window_class.hInstance, nullptr);
  if (window) ::SetPropW(window, kOursProperty, reinterpret_cast<HANDLE>(1));
  return window;
}

// Shell_NotifyIcon talks to the first Shell_TrayWnd it finds. Our stand-in is
// that window, so it hands the tray requests on to Wine's taskbar, or the
// program under test would lose its icon.
LRESULT standin_region(HWND bar, WPARAM wparam, LPARAM lparam);
UINT standin_region_message();

LRESULT CALLBACK standin_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == WM_COPYDATA) {
    if (HWND real = wine_taskbar()) return ::SendMessageW(real, WM_COPYDATA, wparam, lparam);
    return FALSE;
  }
  if (message == standin_region_message()) return standin_region(window, wparam, lparam);
  return ::DefWindowProcW(window, message, wparam, lparam);
}

// Topmost, so that FindWindow meets it before Wine's taskbar.
constexpr DWORD kShellExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

int cmd_decoy(Args) {
  HWND decoy = make_window(kTrayClass, nullptr, kShellExStyle, WS_POPUP, RECT{0, 0, 1, 1});
  if (!decoy) return missing(L"decoy window");
  print(L"ready");
  return e2e::pump_forever();
}

// A stand-in Start window, drawn by the shell as Windows 8 to 11 draw theirs:
// an icon and no text.
HWND make_start_child(HWND bar, RECT where) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ::DefWindowProcW;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = kStartClass;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
  ::RegisterClassW(&window_class);
  return ::CreateWindowExW(0, kStartClass, L"", WS_CHILD | WS_VISIBLE, where.left, where.top, where.right - where.left,
                           where.bottom - where.top, bar, nullptr, window_class.hInstance, nullptr);
}

// A stand-in taskbar, bottom left above Wine's, shaped like one shell's:
// "xp" (the default: a Button child that paints its text), "wine" (an
// owner-drawn Button child, as Wine's own taskbar makes anew), "seven" (no
// Button child; a top-level Button of the same thread over the bar) or
// "ten" (a "Start" child, and a second taskbar at the top of the screen
// with its own).
int cmd_standin_taskbar(Args args) {
  const std::wstring shape = args.empty() ? L"xp" : args[0];
  const int top = kScreenHeight - kWineTaskbarHeight - StandinSize::height;
  const RECT where{0, top, StandinSize::width, top + StandinSize::height};
  HWND bar = make_window(kTrayClass, standin_proc, kShellExStyle, WS_POPUP | WS_VISIBLE | WS_BORDER, where);
  if (!bar) return missing(L"stand-in taskbar");
  RECT client{};
  ::GetClientRect(bar, &client);
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (shape == L"xp" || shape == L"wine") {
    const DWORD kind = shape == L"xp" ? BS_PUSHBUTTON : BS_OWNERDRAW;
    const int width = shape == L"xp" ? client.right : StandinSize::start_width;
    if (!::CreateWindowExW(0, L"Button", L"Start", WS_CHILD | WS_VISIBLE | kind, 0, 0, width, client.bottom, bar,
                           nullptr, instance, nullptr)) {
      return missing(L"stand-in Start button");
    }
  } else if (shape == L"seven") {
    // The orb is taller than its taskbar and stands out above it.
    HWND orb = ::CreateWindowExW(kShellExStyle, L"Button", L"Start", WS_POPUP | WS_VISIBLE | BS_PUSHBUTTON, where.left,
                                 where.top - StandinSize::orb_overhang, StandinSize::start_width,
                                 StandinSize::height + StandinSize::orb_overhang, nullptr, nullptr, instance, nullptr);
    if (!orb) return missing(L"stand-in orb");
    ::SetPropW(orb, kOursProperty, reinterpret_cast<HANDLE>(1));
  } else if (shape == L"ten") {
    if (!make_start_child(bar, RECT{0, 0, StandinSize::start_width, client.bottom})) return missing(L"Start window");
    // The shell's thread owns top-level buttons of its own besides the
    // taskbars: none of them is the Start button.
    HWND stray = ::CreateWindowExW(kShellExStyle, L"Button", L"", WS_POPUP | WS_VISIBLE | BS_PUSHBUTTON, 400, 300, 60,
                                   30, nullptr, nullptr, instance, nullptr);
    if (!stray) return missing(L"stray button");
    HWND second = make_window(kSecondaryTrayClass, nullptr, kShellExStyle, WS_POPUP | WS_VISIBLE | WS_BORDER,
                              RECT{0, 0, StandinSize::width, StandinSize::height});
    if (!second || !make_start_child(second, RECT{0, 0, StandinSize::start_width, client.bottom})) {
      return missing(L"secondary taskbar");
    }
  } else {
    return kUsage;
  }
  print(L"ready");
  return e2e::pump_forever();
}

// The stand-in's Start window: the orb, or the Start or Button child of
// the stand-in taskbar.
HWND standin_start() {
  for (HWND tray : e2e::top_level_windows(kTrayClass)) {
    if (!is_ours(tray)) continue;
    for (const wchar_t* child : {kStartClass, L"Button"}) {
      if (HWND start = ::FindWindowExW(tray, nullptr, child, nullptr)) return start;
    }
  }
  for (HWND orb : e2e::top_level_windows(L"Button")) {
    if (is_ours(orb)) return orb;
  }
  return nullptr;
}

HWND standin_bar() {
  for (HWND tray : e2e::top_level_windows(kTrayClass)) {
    if (is_ours(tray) && ::IsWindowVisible(tray)) return tray;
  }
  return nullptr;
}

// "LEFT TOP RIGHT BOTTOM".
std::wstring edges_text(const RECT& rect) {
  return std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " + std::to_wstring(rect.right) + L" " +
         std::to_wstring(rect.bottom);
}

// The program's overlays that show, top of the z-order first.
std::vector<HWND> shown_overlays() {
  std::vector<HWND> shown;
  for (HWND overlay : e2e::top_level_windows(kStartCaptionClass)) {
    if (::IsWindowVisible(overlay)) shown.push_back(overlay);
  }
  return shown;
}

// "count N", then one line for each overlay that shows: its rectangle, its
// extended styles, its owner, the class of the window right beneath it, and
// its text.
int cmd_overlays(Args) {
  const std::vector<HWND> shown = shown_overlays();
  print(L"count " + std::to_wstring(shown.size()));
  for (HWND overlay : shown) {
    RECT rect{};
    ::GetWindowRect(overlay, &rect);
    const auto ex_style = static_cast<DWORD>(::GetWindowLongW(overlay, GWL_EXSTYLE));
    const auto flag = [ex_style](DWORD bit, const wchar_t* name) {
      return (ex_style & bit) ? std::wstring(L" ") + name : std::wstring();
    };
    HWND below = ::GetWindow(overlay, GW_HWNDNEXT);
    HWND owner = ::GetWindow(overlay, GW_OWNER);
    DWORD overlay_pid = 0;
    DWORD owner_pid = 0;
    ::GetWindowThreadProcessId(overlay, &overlay_pid);
    if (owner) ::GetWindowThreadProcessId(owner, &owner_pid);
    print(L"overlay " + edges_text(rect) + L" |" + flag(WS_EX_LAYERED, L"layered") +
          flag(WS_EX_TRANSPARENT, L"transparent") + flag(WS_EX_NOACTIVATE, L"noactivate") +
          flag(WS_EX_TOOLWINDOW, L"toolwindow") + flag(WS_EX_TOPMOST, L"topmost") + L" | owner " +
          (!owner                     ? L"none"
           : owner_pid == overlay_pid ? L"own"
                                      : L"other") +
          L" | below " + (below ? e2e::class_name(below) : L"-") + L" | text " + e2e::window_text(overlay));
  }
  return kOk;
}

// Samples the caption windows that show every STEP ms for MS ms: "samples
// N changes C below B", with C the times their order in the z-order
// changed from one sample to the next, and B the samples in which one of
// them was not above Wine's taskbar.
int cmd_overlay_order(Args args) {
  if (args.size() < 2) return kUsage;
  HWND taskbar = wine_taskbar();
  if (!taskbar) return missing(L"Wine's taskbar");
  const auto above_taskbar = [taskbar](HWND overlay) {
    for (HWND beneath = ::GetWindow(overlay, GW_HWNDNEXT); beneath; beneath = ::GetWindow(beneath, GW_HWNDNEXT)) {
      if (beneath == taskbar) return true;
    }
    return false;
  };
  std::vector<HWND> last;
  int samples = 0;
  int changes = 0;
  int below = 0;
  for (const e2e::Stopwatch clock; clock.elapsed_ms() < parse_long(args[0]); ::Sleep(parse_long(args[1]))) {
    const std::vector<HWND> now = shown_overlays();
    if (samples++ > 0 && now != last) ++changes;
    if (!std::all_of(now.begin(), now.end(), above_taskbar)) ++below;
    last = now;
  }
  print(L"samples " + std::to_wstring(samples) + L" changes " + std::to_wstring(changes) + L" below " +
        std::to_wstring(below) + L" shown " + std::to_wstring(last.size()));
  return kOk;
}

// Waits until an overlay shows `text` over `rect` ("any" for wherever);
// prints how long it took from `clock`'s start.
int wait_for_overlay(const std::wstring& text, const std::optional<RECT>& rect, long timeout_ms,
                     const e2e::Stopwatch& clock) {
  for (;;) {
    for (HWND overlay : shown_overlays()) {
      RECT at{};
      ::GetWindowRect(overlay, &at);
      if (e2e::window_text(overlay) == text && (!rect || ::EqualRect(&at, &*rect))) {
        print(L"overlay after " + std::to_wstring(clock.elapsed_ms()) + L" ms");
        return kOk;
      }
    }
    if (clock.elapsed_ms() > timeout_ms) break;
    ::Sleep(1);
  }
  print(L"timeout after " + std::to_wstring(clock.elapsed_ms()) + L" ms: no overlay \"" + text + L"\"" +
        (rect ? L" at " + edges_text(*rect) : L""));
  return kMismatch;
}

int cmd_wait_overlay(Args args) {
  if (args.size() < 2) return kUsage;
  return wait_for_overlay(args[0], std::nullopt, parse_long(args[1]), e2e::Stopwatch{});
}

// What a user sees of the stand-in's Start window: the part inside its
// taskbar, inside the taskbar's window region where it has one, and on the
// screen. Empty where nothing is left.
RECT standin_visible_part(RECT start) {
  RECT bar{};
  HWND tray = standin_bar();
  if (tray) ::GetWindowRect(tray, &bar);
  const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  RECT part{};
  ::IntersectRect(&part, &start, &bar);
  ::IntersectRect(&part, &part, &screen);
  RECT region{};
  if (tray && ::GetWindowRgnBox(tray, &region) != ERROR) {
    ::OffsetRect(&region, bar.left, bar.top);
    ::IntersectRect(&part, &part, &region);
  }
  return part;
}

// Wine's Start button, or with "standin" the stand-in's, or with
// "standin-visible" what can be seen of it: "LEFT TOP RIGHT BOTTOM".
int cmd_start_rect(Args args) {
  const std::wstring which = args.empty() ? L"" : args[0];
  HWND start = which.starts_with(L"standin") ? standin_start() : wine_start_button();
  RECT rect{};
  if (!start || !::GetWindowRect(start, &rect)) return missing(L"Start button");
  print(edges_text(which == L"standin-visible" ? standin_visible_part(rect) : rect));
  return kOk;
}

// Moves the stand-in's Start window by DX DY from outside, as a shell moves
// its button, and waits for an overlay showing TEXT over its new place.
int cmd_standin_move(Args args) {
  if (args.size() < 4) return kUsage;
  HWND start = standin_start();
  if (!start) return missing(L"stand-in Start window");
  RECT rect{};
  ::GetWindowRect(start, &rect);
  ::OffsetRect(&rect, parse_long(args[0]), parse_long(args[1]));
  POINT origin{rect.left, rect.top};
  if (HWND parent = ::GetAncestor(start, GA_PARENT); parent && parent != ::GetDesktopWindow()) {
    ::ScreenToClient(parent, &origin);
  }
  e2e::Stopwatch clock;
  ::SetWindowPos(start, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return wait_for_overlay(args[2], standin_visible_part(rect), parse_long(args[3]), clock);
}

// Moves the stand-in taskbar by DX DY, its Start window with it (or beside
// it, the orb), as an auto-hidden taskbar slides off the screen and back.
int cmd_standin_bar_move(Args args) {
  if (args.size() < 2) return kUsage;
  HWND bar = standin_bar();
  if (!bar) return missing(L"stand-in taskbar");
  const auto move = [&args](HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::SetWindowPos(window, nullptr, rect.left + parse_long(args[0]), rect.top + parse_long(args[1]), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  move(bar);
  if (HWND start = standin_start(); start && ::GetAncestor(start, GA_PARENT) == ::GetDesktopWindow()) move(start);
  return kOk;
}

// The stand-in taskbar (with its orb or its second taskbar) in or out of the
// topmost windows. Out, the decoy behind it steps out first, so that the
// stand-in stays the first taskbar in the z-order.
int cmd_standin_topmost(Args args) {
  if (args.empty()) return kUsage;
  const HWND order = args[0] == L"1" ? HWND_TOPMOST : HWND_NOTOPMOST;
  HWND bar = standin_bar();
  if (!bar) return missing(L"stand-in taskbar");
  const auto place = [order](HWND window) {
    ::SetWindowPos(window, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  };
  if (order == HWND_NOTOPMOST) {
    for (HWND tray : e2e::top_level_windows(kTrayClass)) {
      if (is_ours(tray) && tray != bar) place(tray);
    }
  }
  place(bar);
  if (HWND start = standin_start(); start && ::GetAncestor(start, GA_PARENT) == ::GetDesktopWindow()) place(start);
  for (HWND second : e2e::top_level_windows(kSecondaryTrayClass)) {
    if (is_ours(second)) place(second);
  }
  return kOk;
}

// A program gone full screen: an ordinary window over the whole screen,
// brought to the front.
int cmd_fullscreen(Args) {
  HWND window = make_window(L"TalvorinE2EFullScreen", nullptr, 0, WS_POPUP | WS_VISIBLE,
                            RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
  if (!window) return missing(L"full-screen window");
  ::SetForegroundWindow(window);
  ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  print(L"ready");
  return e2e::pump_forever();
}

// "above" when an overlay that shows stands above the full-screen window in
// the z-order, "beneath" when every one is under it.
int cmd_overlay_over_fullscreen(Args) {
  HWND full = nullptr;
  for (HWND window : e2e::top_level_windows(L"TalvorinE2EFullScreen")) full = window;
  if (!full) return missing(L"full-screen window");
  for (HWND overlay : shown_overlays()) {
    for (HWND above = ::GetWindow(full, GW_HWNDPREV); above; above = ::GetWindow(above, GW_HWNDPREV)) {
      if (above == overlay) {
        print(L"above");
        return kOk;
      }
    }
  }
  print(L"beneath");
  return kOk;
}

// Reads the stand-in's button, the one the program under test writes to.
int cmd_standin_caption(Args) {
  for (HWND tray : e2e::top_level_windows(kTrayClass)) {
    if (!is_ours(tray)) continue;
    if (HWND button = ::FindWindowExW(tray, nullptr, L"Button", nullptr)) {
      print(e2e::caption_of(button));
      return kOk;
    }
  }
  return missing(L"stand-in taskbar");
}

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

int cmd_hold(Args) {
  if (!make_window(kHolderClass, nullptr, WS_EX_TOOLWINDOW, WS_POPUP, RECT{0, 0, 1, 1})) {
    return missing(L"holder window");
  }
  print(L"ready");
  return e2e::pump_forever();
}

int cmd_message_boxes(Args args) {
  if (args.empty()) return kUsage;
  std::vector<std::wstring> texts;
  for (HWND box : e2e::top_level_windows(kDialogClass)) {
    if (!::IsWindowVisible(box) || e2e::window_text(box) != args[0]) continue;
    std::wstring text;
    for (HWND label : e2e::child_windows(box, L"Static")) {
      const std::wstring part = e2e::window_text(label);
      if (!part.empty()) text += part;
    }
    texts.push_back(text);
  }
  print(L"count " + std::to_wstring(texts.size()));
  for (const auto& text : texts) print(L"text " + text);
  return kOk;
}

// Presses OK on every visible message box with this title.
int cmd_close_message_boxes(Args args) {
  if (args.empty()) return kUsage;
  for (HWND box : e2e::top_level_windows(kDialogClass)) {
    if (::IsWindowVisible(box) && e2e::window_text(box) == args[0]) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  return kOk;
}

// --- the program's window ---------------------------------------------------

// "LEFT TOP RIGHT BOTTOM" of the whole window, frame included, on the screen.
std::wstring window_rect_text(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return edges_text(rect);
}

int cmd_form(Args) {
  HWND form = find_form();
  if (!form) return missing(kFormWindowClass);
  print(L"visible " + std::to_wstring(::IsWindowVisible(form) ? 1 : 0));
  print(L"iconic " + std::to_wstring(::IsIconic(form) ? 1 : 0));
  print(L"caption " + e2e::window_text(form));
  print(L"window " + window_rect_text(form));
  return kOk;
}

int cmd_set_text(Args args) {
  if (args.empty()) return kUsage;
  HWND edit = form_child(L"Edit");
  if (!edit) return missing(L"Edit of " + std::wstring(kFormWindowClass));
  e2e::Stopwatch clock;
  ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[0].c_str()));
  if (args.size() >= 3 && args[1] == L"--wait-caption") return wait_for_caption(args[0], parse_long(args[2]), clock);
  if (args.size() >= 3 && args[1] == L"--wait-overlay") {
    return wait_for_overlay(args[0], std::nullopt, parse_long(args[2]), clock);
  }
  return kOk;
}

int cmd_get_text(Args) {
  HWND edit = form_child(L"Edit");
  if (!edit) return missing(L"Edit of " + std::wstring(kFormWindowClass));
  print(e2e::window_text(edit));
  return kOk;
}

int cmd_set_check(Args args) {
  if (args.empty()) return kUsage;
  HWND box = form_check_box();
  if (!box) return missing(L"check box of " + std::wstring(kFormWindowClass));
  ::SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(parse_long(args[0])), 0);
  return kOk;
}

int cmd_get_check(Args) {
  HWND box = form_check_box();
  if (!box) return missing(L"check box of " + std::wstring(kFormWindowClass));
  print(std::to_wstring(::SendMessageW(box, BM_GETCHECK, 0, 0)));
  return kOk;
}

// "Ok" as the user presses it, posted: its handler may open a message box.
int cmd_press_ok(Args) {
  HWND form = find_form();
  if (!form) return missing(kFormWindowClass);
  for (HWND button : e2e::child_windows(form, L"Button")) {
    if ((::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) != BS_PUSHBUTTON) continue;
    ::PostMessageW(form, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return kOk;
  }
  return missing(L"push button of " + std::wstring(kFormWindowClass));
}

int cmd_close_form(Args) {
  HWND form = find_form();
  if (!form) return missing(kFormWindowClass);
  ::PostMessageW(form, WM_CLOSE, 0, 0);
  return kOk;
}

int cmd_minimize_form(Args) {
  HWND form = find_form();
  if (!form) return missing(kFormWindowClass);
  ::ShowWindow(form, SW_MINIMIZE);
  return kOk;
}

// --- the tray ---------------------------------------------------------------

NOTIFYICONDATAW program_icon(HWND owner) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = kTrayIconId;
  return data;
}

HWND icon_owner() {
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

int cmd_tray_delete(Args) {
  HWND owner = icon_owner();
  if (!owner) return missing(kPictureWindowClass);
  auto data = program_icon(owner);
  print(::Shell_NotifyIconW(NIM_DELETE, &data) ? L"deleted" : L"not deleted");
  return kOk;
}

// The shell accepts a modify only for an icon it holds, and a modify with no
// flags changes nothing: a way to ask whether the icon is there.
int cmd_tray_present(Args) {
  HWND owner = icon_owner();
  if (!owner) return missing(kPictureWindowClass);
  auto data = program_icon(owner);
  print(::Shell_NotifyIconW(NIM_MODIFY, &data) ? L"1" : L"0");
  return kOk;
}

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

std::optional<RECT> open_menu_rect() {
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

std::wstring own_folder() {
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

// --- the registry -----------------------------------------------------------

struct KeyPath {
  HKEY root;
  std::wstring path;
};

std::optional<KeyPath> split_key(const std::wstring& full) {
  const auto slash = full.find(L'\\');
  const std::wstring root = full.substr(0, slash);
  const std::wstring rest = slash == std::wstring::npos ? L"" : full.substr(slash + 1);
  if (root == L"HKCU") return KeyPath{HKEY_CURRENT_USER, rest};
  if (root == L"HKLM") return KeyPath{HKEY_LOCAL_MACHINE, rest};
  return std::nullopt;
}

// A string value as stored, or why there is none.
struct StoredText {
  std::optional<std::wstring> text;
  std::wstring why;
};

StoredText read_text(const std::wstring& key_name, const std::wstring& value_name) {
  const auto key = split_key(key_name);
  if (!key) return {std::nullopt, L"bad key"};
  DWORD type = 0;
  DWORD size = 0;
  if (::RegGetValueW(key->root, key->path.c_str(), value_name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     &size) != ERROR_SUCCESS) {
    return {std::nullopt, L"absent"};
  }
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  ::RegGetValueW(key->root, key->path.c_str(), value_name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(),
                 &size);
  if (type != REG_SZ) return {std::nullopt, L"type " + std::to_wstring(type)};
  data.resize(std::wcslen(data.c_str()));
  return {std::move(data), {}};
}

int cmd_reg_get(Args args) {
  if (args.size() < 2) return kUsage;
  const StoredText stored = read_text(args[0], args[1]);
  print(stored.text ? L"value " + *stored.text : stored.why);
  return stored.text ? kOk : kMismatch;
}

// For values too long to print: "length N fnv HHHHHHHH" (FNV-1a over the
// UTF-16 code units).
int cmd_reg_summary(Args args) {
  if (args.size() < 2) return kUsage;
  const StoredText stored = read_text(args[0], args[1]);
  if (!stored.text) {
    print(stored.why);
    return kMismatch;
  }
  std::uint32_t hash = 2166136261U;
  for (const wchar_t c : *stored.text) hash = (hash ^ static_cast<std::uint16_t>(c)) * 16777619U;
  wchar_t hex[9] = {};
  std::swprintf(hex, 9, L"%08X", static_cast<unsigned>(hash));
  print(L"length " + std::to_wstring(stored.text->size()) + L" fnv " + hex);
  return kOk;
}

bool write_text(const std::wstring& key_name, const std::wstring& value_name, const std::wstring& text) {
  const auto key = split_key(key_name);
  if (!key) return false;
  HKEY raw = nullptr;
  if (::RegCreateKeyExW(key->root, key->path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  e2e::unique_hkey opened(raw);
  const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(opened.get(), value_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS;
}

int cmd_reg_set(Args args) {
  if (args.size() < 3) return kUsage;
  return write_text(args[0], args[1], args[2]) ? kOk : missing(args[0]);
}

// reg-set-repeated KEY NAME UNIT LENGTH: UNIT over and over, cut at LENGTH
// UTF-16 code units; for texts longer than a command line.
int cmd_reg_set_repeated(Args args) {
  if (args.size() < 4 || args[2].empty()) return kUsage;
  const auto length = static_cast<std::size_t>(parse_long(args[3]));
  std::wstring text;
  text.reserve(length + args[2].size());
  while (text.size() < length) text += args[2];
  text.resize(length);
  return write_text(args[0], args[1], text) ? kOk : missing(args[0]);
}

int cmd_reg_make_key(Args args) {
  if (args.empty()) return kUsage;
  const auto key = split_key(args[0]);
  if (!key) return kUsage;
  HKEY raw = nullptr;
  if (::RegCreateKeyExW(key->root, key->path.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS) {
    return missing(args[0]);
  }
  e2e::unique_hkey opened(raw);
  return kOk;
}

// With a value name: deletes that value; without: the key and all below it.
int cmd_reg_delete(Args args) {
  if (args.empty()) return kUsage;
  const auto key = split_key(args[0]);
  if (!key) return kUsage;
  if (args.size() >= 2) {
    ::RegDeleteKeyValueW(key->root, key->path.c_str(), args[1].c_str());
  } else {
    ::RegDeleteTreeW(key->root, key->path.c_str());
    ::RegDeleteKeyW(key->root, key->path.c_str());
  }
  return kOk;
}

// The About window: the program's form without a text box.
HWND find_about() {
  for (HWND form : e2e::top_level_windows(kFormWindowClass)) {
    if (!::FindWindowExW(form, nullptr, L"Edit", nullptr)) return form;
  }
  return nullptr;
}

std::wstring rect_text(const RECT& r) {
  return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
         std::to_wstring(r.bottom - r.top);
}

// The About window as it stands: visibility, title, frame, client area on
// the screen and, in z-order (the tab order), each control with its client
// rectangle, whether Tab stops at it, and its text. With a field's name,
// that field's value alone ("about visible" prints 1 or 0).
int cmd_about(Args args) {
  HWND about = find_about();
  if (!about) return missing(L"About window");
  const std::wstring only = args.empty() ? L"" : args[0];
  const auto field = [&only](std::wstring_view name, const std::wstring& value) {
    if (only.empty()) {
      print(std::wstring(name) + L" " + value);
    } else if (only == name) {
      print(value);
    }
  };
  const auto style = static_cast<DWORD>(::GetWindowLongW(about, GWL_STYLE));
  field(L"visible", std::to_wstring(::IsWindowVisible(about) ? 1 : 0));
  field(L"caption", e2e::window_text(about));
  field(L"sizable", std::to_wstring((style & WS_THICKFRAME) ? 1 : 0) + L" min " +
                        std::to_wstring((style & WS_MINIMIZEBOX) ? 1 : 0) + L" max " +
                        std::to_wstring((style & WS_MAXIMIZEBOX) ? 1 : 0) + L" close " +
                        std::to_wstring((style & WS_SYSMENU) ? 1 : 0));
  RECT client{};
  ::GetClientRect(about, &client);
  POINT origin{0, 0};
  ::ClientToScreen(about, &origin);
  field(L"window", window_rect_text(about));
  field(L"client", std::to_wstring(origin.x) + L" " + std::to_wstring(origin.y) + L" " + std::to_wstring(client.right) +
                       L" " + std::to_wstring(client.bottom));
  if (!only.empty()) return kOk;
  for (HWND child = ::GetWindow(about, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT area{};
    ::GetWindowRect(child, &area);
    ::MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&area), 2);
    const bool tab_stop = (::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) != 0;
    print(L"control " + e2e::class_name(child) + L" " + rect_text(area) + L" " + std::to_wstring(tab_stop ? 1 : 0) +
          L" " + e2e::window_text(child));
  }
  return kOk;
}

// The DPI each of the program's windows is drawn for, as another process
// reads it: "settings N", "about N" (or "about none"), and for the first
// caption window that shows "caption N AWARENESS" (unaware, system or
// per-monitor, v1 and v2 alike). 0 where Windows does not tell.
int cmd_window_dpi(Args) {
  using talvorin::platform::win32::system_function;
  using DpiForWindowFn = UINT(WINAPI*)(HWND);
  using WindowContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
  using AwarenessFn = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
  constexpr wchar_t kUser32[] = L"user32.dll";
  const auto dpi_for_window = system_function<DpiForWindowFn>(kUser32, "GetDpiForWindow");
  const auto context_of = system_function<WindowContextFn>(kUser32, "GetWindowDpiAwarenessContext");
  const auto awareness_of = system_function<AwarenessFn>(kUser32, "GetAwarenessFromDpiAwarenessContext");
  if (!dpi_for_window || !context_of || !awareness_of) return missing(L"the DPI calls of Windows 10");
  const auto dpi = [&](HWND window) { return window ? std::to_wstring(dpi_for_window(window)) : L"none"; };
  const auto awareness = [&](HWND window) -> std::wstring {
    const DPI_AWARENESS_CONTEXT context = context_of(window);
    switch (context ? awareness_of(context) : DPI_AWARENESS_INVALID) {
      case DPI_AWARENESS_UNAWARE:
        return L"unaware";
      case DPI_AWARENESS_SYSTEM_AWARE:
        return L"system";
      case DPI_AWARENESS_PER_MONITOR_AWARE:
        return L"per-monitor";
      default:
        return L"unknown";
    }
  };
  print(L"settings " + dpi(find_form()));
  print(L"about " + dpi(find_about()));
  const std::vector<HWND> captions = shown_overlays();
  print(L"caption " + (captions.empty() ? std::wstring(L"none") : dpi(captions[0]) + L" " + awareness(captions[0])));
  return kOk;
}

// The handle of the pointer's shape now. Each process has handles of its
// own for the system's cursors, so the scripts compare these with each other.
int cmd_cursor(Args) {
  CURSORINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetCursorInfo(&info)) return missing(L"cursor");
  print(std::to_wstring(reinterpret_cast<std::uintptr_t>(info.hCursor)));
  return kOk;
}

// The close box of the About window, as a click on it asks.
int cmd_about_close(Args) {
  HWND about = find_about();
  if (!about) return missing(L"About window");
  ::PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
  return kOk;
}

// --- activation -------------------------------------------------------------

// Another program's window: a plain one over the desktop above the taskbar,
// neither topmost nor one of the program's, that the scenarios put in front
// of the program's windows.
constexpr wchar_t kCoverClass[] = L"TalvorinE2ECover";

HWND find_cover() {
  const auto found = e2e::top_level_windows(kCoverClass);
  return found.empty() ? nullptr : found.front();
}

int cmd_cover(Args) {
  HWND cover = make_window(kCoverClass, nullptr, 0, WS_POPUP | WS_VISIBLE | WS_BORDER,
                           RECT{0, 0, 1024, kScreenHeight - kWineTaskbarHeight - 8});
  if (!cover) return missing(L"cover window");
  ::SetForegroundWindow(cover);
  print(L"ready");
  return e2e::pump_forever();
}

HWND named_window(const std::wstring& name) {
  if (name == L"cover") return find_cover();
  if (name == L"form") return find_form();
  if (name == L"about") return find_about();
  return nullptr;
}

// activate cover|form|about: the system makes that window the foreground
// window, as a click on it would.
int cmd_activate(Args args) {
  if (args.empty()) return kUsage;
  HWND window = named_window(args[0]);
  if (!window) return missing(args[0]);
  ::SetForegroundWindow(window);
  return kOk;
}

// key-escape: Esc pressed and released, into the system's input as the
// keyboard's keys go: to the foreground thread, where an open menu takes it.
int cmd_key_escape(Args) {
  INPUT keys[2]{};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_ESCAPE;
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return ::SendInput(2, keys, sizeof(INPUT)) == 2 ? kOk : missing(L"keyboard input");
}

// What a window is to the scenarios: "form", "about", "app" (the program's
// hidden application window), "cover", or its class.
std::wstring role_of(HWND window) {
  if (!window) return L"none";
  if (window == find_form()) return L"form";
  if (window == find_about()) return L"about";
  if (window == find_cover()) return L"cover";
  if (e2e::same_class(window, kAppWindowClass)) return L"app";
  return e2e::class_name(window);
}

// The foreground window as "ROLE visible V focus CLASS front F": whether it
// is shown, the class of the focus window of its thread (the window the
// keys go to), and 1 when it lies in front of the cover window.
int cmd_foreground(Args) {
  HWND foreground = ::GetForegroundWindow();
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  const HWND focus = foreground && ::GetGUIThreadInfo(::GetWindowThreadProcessId(foreground, nullptr), &info)
                         ? info.hwndFocus
                         : nullptr;
  bool in_front = false;
  HWND cover = find_cover();
  for (HWND above = cover ? ::GetWindow(cover, GW_HWNDPREV) : nullptr; above; above = ::GetWindow(above, GW_HWNDPREV)) {
    if (above == foreground) in_front = true;
  }
  print(role_of(foreground) + L" visible " + std::to_wstring(foreground && ::IsWindowVisible(foreground) ? 1 : 0) +
        L" focus " + (focus ? e2e::class_name(focus) : std::wstring(L"none")) + L" front " +
        std::to_wstring(in_front ? 1 : 0));
  return kOk;
}

// --- following the shell between the ticks ---------------------------------

// The stand-in taskbar's window region, set by its own thread: a touch
// taskbar shows only part of its window. wParam and lParam carry the box's
// corners, from the window's top left corner; both 0, no region.
UINT standin_region_message() {
  static const UINT message = ::RegisterWindowMessageW(L"TalvorinE2E.StandinRegion");
  return message;
}

LRESULT standin_region(HWND bar, WPARAM wparam, LPARAM lparam) {
  const HRGN region = wparam == 0 && lparam == 0
                          ? nullptr
                          : ::CreateRectRgn(LOWORD(wparam), HIWORD(wparam), LOWORD(lparam), HIWORD(lparam));
  return ::SetWindowRgn(bar, region, TRUE);
}

// standin-region LEFT TOP RIGHT BOTTOM | none
int cmd_standin_region(Args args) {
  HWND bar = standin_bar();
  if (!bar) return missing(L"stand-in taskbar");
  const bool none = !args.empty() && args[0] == L"none";
  if (!none && args.size() < 4) return kUsage;
  const auto word = [&args](std::size_t i) { return static_cast<WORD>(parse_long(args[i])); };
  const WPARAM corner = none ? 0 : MAKEWPARAM(word(0), word(1));
  const LPARAM far_corner = none ? 0 : MAKELPARAM(word(2), word(3));
  return ::SendMessageW(bar, standin_region_message(), corner, far_corner) ? kOk : missing(L"region");
}

// Milliseconds on the performance counter, inside Wine: a clock of the
// scripts' would add a process start to every reading.
class PreciseClock {
 public:
  PreciseClock() {
    ::QueryPerformanceFrequency(&frequency_);
    ::QueryPerformanceCounter(&start_);
  }
  double ms() const {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_{};
  LARGE_INTEGER start_{};
};

// A millisecond's sleep that lets the driver's own windows have their messages.
void sleep_a_millisecond() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  ::Sleep(1);
}

std::wstring ms_text(double ms) { return ms < 0 ? L"-" : std::to_wstring(std::lround(ms)); }

bool stands_above(HWND window, HWND below) {
  for (HWND above = ::GetWindow(below, GW_HWNDPREV); above; above = ::GetWindow(above, GW_HWNDPREV)) {
    if (above == window) return true;
  }
  return false;
}

// raise-taskbar COUNT: Wine's taskbar raised and made the foreground window
// as a click on it does, COUNT times, each after a window of the driver's
// had the foreground for 150 to 250 ms, so that the raises fall on every
// part of the program's 100 ms tick. Sampled every millisecond: "beneath
// MS..." how long from each raise the caption window stood beneath the
// taskbar, "-" where it still did after 500 ms.
int cmd_raise_taskbar(Args args) {
  if (args.empty()) return kUsage;
  HWND taskbar = wine_taskbar();
  if (!taskbar) return missing(L"Wine's taskbar");
  const e2e::unique_hwnd other(
      make_window(L"TalvorinE2EOther", nullptr, 0, WS_POPUP | WS_VISIBLE | WS_BORDER, RECT{300, 300, 400, 400}));
  std::wstring line = L"beneath";
  for (long raise = 0; raise < parse_long(args[0]); ++raise) {
    ::SetForegroundWindow(other.get());
    const double pause = 150 + static_cast<double>(raise * 37 % 100);
    for (const PreciseClock settle; settle.ms() < pause;) sleep_a_millisecond();
    const std::vector<HWND> shown = shown_overlays();
    if (shown.empty()) return missing(L"caption window");
    const PreciseClock clock;
    ::SetWindowPos(taskbar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(taskbar);
    double beneath = -1;
    while (clock.ms() < 500) {
      if (!stands_above(taskbar, shown.front())) {
        beneath = clock.ms();
        break;
      }
      sleep_a_millisecond();
    }
    line += L" " + ms_text(beneath);
  }
  print(line);
  return kOk;
}

// Moves something of the stand-in COUNT times, a step every INTERVAL ms, and
// samples the caption windows every millisecond. For each step: how long
// until the caption showed over what could be seen of the Start window
// then, or of a later step (it caught up), or hid where less than 8 px of
// it were left. The second taskbar's caption, at the top of the screen,
// does not count. Prints "late MS...", "-" for a step the caption never
// caught up with in 300 ms.
int follow_steps(long count, long interval_ms, const std::function<void()>& step) {
  HWND start = standin_start();
  if (!start) return missing(L"stand-in Start window");
  const auto over_main_bar = [] {
    std::vector<RECT> rects;
    for (HWND overlay : shown_overlays()) {
      RECT rect{};
      ::GetWindowRect(overlay, &rect);
      if (rect.top >= ::GetSystemMetrics(SM_CYSCREEN) / 2) rects.push_back(rect);
    }
    return rects;
  };
  struct Step {
    double at;
    std::optional<RECT> part;  // none: the caption hides
    double late = -1;
  };
  std::vector<Step> steps;
  std::size_t caught = 0;
  const PreciseClock clock;
  while (caught < static_cast<std::size_t>(count) &&
         (steps.size() < static_cast<std::size_t>(count) || clock.ms() < steps.back().at + 300)) {
    if (steps.size() < static_cast<std::size_t>(count) &&
        clock.ms() >= static_cast<double>(steps.size()) * interval_ms) {
      step();
      RECT rect{};
      ::GetWindowRect(start, &rect);
      const RECT part = standin_visible_part(rect);
      const bool seen = part.right - part.left >= 8 && part.bottom - part.top >= 8;
      steps.push_back({clock.ms(), seen ? std::optional<RECT>(part) : std::nullopt});
    }
    const std::vector<RECT> shown = over_main_bar();
    const double now = clock.ms();
    for (std::size_t k = steps.size(); k-- > caught;) {
      const bool matches =
          steps[k].part ? shown.size() == 1 && ::EqualRect(&shown[0], &*steps[k].part) != FALSE : shown.empty();
      if (!matches) continue;
      for (; caught <= k; ++caught) steps[caught].late = now - steps[caught].at;
      break;
    }
    sleep_a_millisecond();
  }
  std::wstring line = L"late";
  for (const Step& one : steps) line += L" " + ms_text(one.late);
  print(line);
  return kOk;
}

// standin-steps start|bar COUNT D INTERVAL_MS: every INTERVAL_MS, the
// stand-in's Start window moves D along its taskbar, as Windows 11's centred
// one does when a program opens or closes; or its taskbar moves D down, as
// an auto-hidden one slides off the screen and back.
int cmd_standin_steps(Args args) {
  if (args.size() < 4) return kUsage;
  const bool start_moves = args[0] == L"start";
  HWND window = start_moves ? standin_start() : standin_bar();
  if (!window) return missing(L"stand-in " + args[0]);
  const long d = parse_long(args[2]);
  return follow_steps(parse_long(args[1]), parse_long(args[3]), [window, start_moves, d] {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    POINT origin{rect.left + (start_moves ? d : 0), rect.top + (start_moves ? 0 : d)};
    if (start_moves) ::ScreenToClient(::GetAncestor(window, GA_PARENT), &origin);
    ::SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  });
}

const std::map<std::wstring, std::function<int(Args)>>& commands() {
  static const std::map<std::wstring, std::function<int(Args)>> table{
      {L"acp", cmd_acp},
      {L"start-caption", cmd_start_caption},
      {L"wait-caption", cmd_wait_caption},
      {L"standin-caption", cmd_standin_caption},
      {L"start", cmd_start},
      {L"wait-exit", cmd_wait_exit},
      {L"kill", cmd_kill},
      {L"end-session", cmd_end_session},
      {L"peak-memory", cmd_peak_memory},
      {L"module-path", cmd_module_path},
      {L"screen-dpi", cmd_screen_dpi},
      {L"live-handles", cmd_live_handles},
      {L"decoy", cmd_decoy},
      {L"standin-taskbar", cmd_standin_taskbar},
      {L"standin-move", cmd_standin_move},
      {L"standin-bar-move", cmd_standin_bar_move},
      {L"overlay-order", cmd_overlay_order},
      {L"standin-region", cmd_standin_region},
      {L"raise-taskbar", cmd_raise_taskbar},
      {L"standin-steps", cmd_standin_steps},
      {L"standin-topmost", cmd_standin_topmost},
      {L"start-rect", cmd_start_rect},
      {L"overlays", cmd_overlays},
      {L"wait-overlay", cmd_wait_overlay},
      {L"fullscreen", cmd_fullscreen},
      {L"overlay-over-fullscreen", cmd_overlay_over_fullscreen},
      {L"hold", cmd_hold},
      {L"message-boxes", cmd_message_boxes},
      {L"close-message-boxes", cmd_close_message_boxes},
      {L"desktop-icons", cmd_desktop_icons},
      {L"desktop-icons-visible", cmd_desktop_icons_visible},
      {L"press-ok", cmd_press_ok},
      {L"form", cmd_form},
      {L"about", cmd_about},
      {L"cursor", cmd_cursor},
      {L"window-dpi", cmd_window_dpi},
      {L"about-close", cmd_about_close},
      {L"cover", cmd_cover},
      {L"activate", cmd_activate},
      {L"key-escape", cmd_key_escape},
      {L"foreground", cmd_foreground},
      {L"set-text", cmd_set_text},
      {L"get-text", cmd_get_text},
      {L"set-check", cmd_set_check},
      {L"get-check", cmd_get_check},
      {L"close-form", cmd_close_form},
      {L"minimize-form", cmd_minimize_form},
      {L"tray-delete", cmd_tray_delete},
      {L"tray-callback", cmd_tray_callback},
      {L"tray-present", cmd_tray_present},
      {L"copies", cmd_copies},
      {L"taskbar-created", cmd_taskbar_created},
      {L"menu-window", cmd_menu_window},
      {L"menu-hook", cmd_menu_hook},
      {L"menu-item-point", cmd_menu_item_point},
      {L"reg-get", cmd_reg_get},
      {L"reg-set", cmd_reg_set},
      {L"reg-set-repeated", cmd_reg_set_repeated},
      {L"reg-summary", cmd_reg_summary},
      {L"reg-make-key", cmd_reg_make_key},
      {L"reg-delete", cmd_reg_delete},
  };
  return table;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  e2e::declare_dpi_aware();
  // Plain \n line ends: the scripts compare whole lines.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    print(L"usage: tdriver COMMAND [ARGS...]");
    return kUsage;
  }
  const auto found = commands().find(argv[1]);
  if (found == commands().end()) {
    print(L"unknown command " + std::wstring(argv[1]));
    return kUsage;
  }
  const std::vector<std::wstring> args(argv + 2, argv + argc);
  return found->second(Args(args));
}
