// Processes and the system: the program started, waited for and ended, and what the system tells of it.

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/window_names.h"
#include "tdriver.h"
#include "win32_util.h"

namespace tdriver {

using talvorin::platform::win32::kLiveHandlesMessage;
constexpr wchar_t kHolderClass[] = L"TalvorinE2EHolder";

// Scripts pass Unix paths; Wine maps / to drive Z:.
static std::wstring windows_path(std::wstring path) {
  if (!path.empty() && path.front() == L'/') {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    path = L"Z:" + path;
  }
  return path;
}

// A process that nobody holds a handle to is gone with its id once it ends,
// and a later wait-exit could no longer tell how it ended. The holder keeps
// a handle to each program started for the length of the run.
static void hand_to_holder(HANDLE process) {
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

static e2e::unique_handle open_process(const std::wstring& pid, DWORD access) {
  return e2e::unique_handle(::OpenProcess(access, FALSE, static_cast<DWORD>(parse_long(pid))));
}

// Waits for the process to end and prints its exit code.
static int print_exit(HANDLE process, DWORD wait_ms, const std::wstring& waited) {
  if (!process || ::WaitForSingleObject(process, wait_ms) != WAIT_OBJECT_0) {
    print(L"still running after " + waited + L" ms");
    return kMismatch;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process, &code);
  print(L"exited " + std::to_wstring(code));
  return kOk;
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
  return print_exit(process.get(), timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms), args[1]);
}

namespace {

struct ProcessWindows {
  DWORD pid;
  std::vector<HWND> windows;
};

}  // namespace

static BOOL CALLBACK collect_process_window(HWND window, LPARAM context) noexcept {
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
  return print_exit(process.get(), static_cast<DWORD>(parse_long(args[1])), args[1]);
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

int cmd_acp(Args) {
  print(std::to_wstring(::GetACP()));
  return kOk;
}

int cmd_hold(Args) {
  if (!make_window(kHolderClass, nullptr, WS_EX_TOOLWINDOW, WS_POPUP, RECT{0, 0, 1, 1})) {
    return missing(L"holder window");
  }
  print(L"ready");
  return e2e::pump_forever();
}

}  // namespace tdriver
