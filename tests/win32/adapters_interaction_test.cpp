// The Win32 adapters that wait for the user or start another program, under
// Wine: message boxes, the clock, links and the popup menu.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/adapters.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/window.h"
#include "platform/win32/window_names.h"
#include "tests/contract/clock_contract.h"
#include "tests/contract/links_contract.h"
#include "tests/contract/message_boxes_contract.h"
#include "tests/contract/popup_menu_contract.h"
#include "tests/win32/check.h"
#include "tests/win32/plain_window.h"

namespace {

using namespace talvorin;
using testing::check;
using testing::check_equal;
using testing::class_name_of;
using testing::make_top_level;
using testing::on_wine;
using testing::show;

// --- message boxes -----------------------------------------------------------

// Events posted to a window of this thread that runs them one a message, as
// timers and tray callbacks arrive: inside whatever modal loop is open then.
class PostedEvents {
 public:
  PostedEvents(const PostedEvents&) = delete;
  PostedEvents& operator=(const PostedEvents&) = delete;
  PostedEvents() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = run_event;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = kEventClass;
    ::RegisterClassW(&window_class);
    events_window_ = ::CreateWindowExW(0, kEventClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                       ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(events_window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~PostedEvents() { ::DestroyWindow(events_window_); }

  void post(std::function<void()> event) {
    events_.push_back(std::move(event));
    ::PostMessageW(events_window_, kRunEvent, 0, 0);
  }

 private:
  static constexpr wchar_t kEventClass[] = L"TalvorinTestEvents";
  static constexpr UINT kRunEvent = WM_APP;

  static LRESULT CALLBACK run_event(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<PostedEvents*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message != kRunEvent || !self || self->events_.empty()) return ::DefWindowProcW(hwnd, message, wparam, lparam);
    const std::function<void()> event = std::move(self->events_.front());
    self->events_.pop_front();
    event();
    return 0;
  }

  HWND events_window_ = nullptr;
  std::deque<std::function<void()>> events_;
};

// The program's boxes, with events posted as timers and tray callbacks arrive.
class WineMessageBoxes final : public contract::MessageBoxesUnderTest {
 public:
  platform::MessageBoxes& boxes() override { return boxes_; }
  void post(std::function<void()> event) override { events_.post(std::move(event)); }
  int open_boxes() override { return static_cast<int>(shown_boxes().size()); }
  // The newest box is active, on top of the thread's windows.
  std::u16string newest_box() override {
    const std::vector<HWND> boxes = shown_boxes();
    if (boxes.empty()) return {};
    wchar_t title[64] = {};
    wchar_t prompt[256] = {};
    ::GetWindowTextW(boxes.front(), title, 64);
    ::GetDlgItemTextW(boxes.front(), kPromptControl, prompt, 256);
    return platform::win32::from_wide(title) + u": " + platform::win32::from_wide(prompt);
  }
  // Sent, not posted: as a click on OK, it ends the box once the message
  // that carried it is done, before anything queued behind.
  void close_top_box() override {
    const std::vector<HWND> boxes = shown_boxes();
    if (!boxes.empty()) ::SendMessageW(boxes.front(), WM_COMMAND, IDOK, 0);
  }
  void settle() override {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  }

 private:
  static constexpr int kPromptControl = 0xFFFF;  // the box's static text

  static BOOL CALLBACK collect_box(HWND window, LPARAM found) noexcept {
    if (class_name_of(window) == L"#32770" && ::IsWindowVisible(window)) {
      reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
  }
  // This thread's boxes, from the top of the z-order.
  static std::vector<HWND> shown_boxes() {
    std::vector<HWND> found;
    ::EnumThreadWindows(::GetCurrentThreadId(), collect_box, reinterpret_cast<LPARAM>(&found));
    return found;
  }

  platform::win32::MessageBoxes boxes_;
  PostedEvents events_;
};

const testing::Register message_box_runs_events(
    "message boxes: events run inside until the box is closed, the rest after it",
    on_wine<WineMessageBoxes, contract::message_box_runs_events_until_closed>);

const testing::Register message_box_inside_another("message boxes: one shown inside another stands on top of it",
                                                   on_wine<WineMessageBoxes, contract::message_box_inside_another>);

// --- the clock and links ---------------------------------------------------

class WineClock final : public contract::ClockUnderTest {
 public:
  platform::Clock& clock() override { return clock_; }
  void wait(std::uint32_t ms) override { ::Sleep(ms); }

 private:
  platform::win32::MultimediaClock clock_;
};

const testing::Register clock_contract("clock: the milliseconds that pass",
                                       on_wine<WineClock, contract::clock_counts_milliseconds>);

// Set for a copy of this program that the links case starts: it notes how
// it was started in the file named and ends.
constexpr char kLaunchNote[] = "TALVORIN_LAUNCH_NOTE";

std::string temp_folder() {
  char path[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, path);
  return path;
}

// The command line after the program's own name, which is quoted or ends at
// the first blank, with the blanks around it left out.
std::string parameters_of(std::string_view line) {
  std::size_t at = 0;
  if (!line.empty() && line[0] == '"') {
    at = line.find('"', 1);
    at = at == std::string_view::npos ? line.size() : at + 1;
  } else {
    at = std::min(line.find_first_of(" \t"), line.size());
  }
  const std::size_t first = line.find_first_not_of(" \t", at);
  if (first == std::string_view::npos) return {};
  return std::string(line.substr(first, line.find_last_not_of(" \t") + 1 - first));
}

int note_launch(const char* note) {
  char folder[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, folder);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  ::GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;
  // Whole or not at all: the case may look while it is written.
  const std::string part = std::string(note) + ".part";
  std::ofstream(part, std::ios::binary) << show << '\n' << folder << '\n' << parameters_of(::GetCommandLineA());
  return ::MoveFileExA(part.c_str(), note, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

class WineLinks final : public contract::LinksUnderTest {
 public:
  WineLinks() {
    ::CreateDirectoryA(folders_[1].c_str(), nullptr);
    ::SetEnvironmentVariableA(kLaunchNote, note_.c_str());
  }
  WineLinks(const WineLinks&) = delete;
  WineLinks& operator=(const WineLinks&) = delete;
  ~WineLinks() override {
    ::SetEnvironmentVariableA(kLaunchNote, nullptr);
    ::RemoveDirectoryA(folders_[1].c_str());
  }

  platform::Links& links() override {
    ::DeleteFileA(note_.c_str());
    return links_;
  }
  std::string program() override {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
  }
  std::string folder(int which) override { return folders_[which]; }
  // A new process under Wine on a busy machine takes seconds to start.
  std::optional<contract::Launch> launched() override {
    for (int waited = 0; waited < 20000; waited += 50) {
      std::ifstream file(note_, std::ios::binary);
      if (file) {
        contract::Launch launch;
        file >> launch.show;
        file.ignore(1);
        std::getline(file, launch.folder);
        std::getline(file, launch.parameters);
        file.close();
        ::DeleteFileA(note_.c_str());
        return launch;
      }
      ::Sleep(50);
    }
    return std::nullopt;
  }

 private:
  platform::win32::ShellLinks links_;
  std::string note_ = temp_folder() + "talvorin-launch.txt";
  std::string folders_[2] = {R"(C:\)", temp_folder() + "talvorin links"};
};

const testing::Register links_contract("links: a program started as asked",
                                       on_wine<WineLinks, contract::links_open_as_given>);

// --- popup menu --------------------------------------------------------------

// A real menu owned by a hidden window of the test's. The user is played
// with key messages posted to the thread: the menu's modal loop reads the
// thread's keyboard messages whatever window they are for, as it reads the
// keys typed while it is open.
// Ends a menu the posted keys never reached, so that the case fails in
// seconds instead of hanging until the run's time is up.
bool g_menu_stuck = false;
void CALLBACK end_stuck_menu(HWND, UINT, UINT_PTR, DWORD) {
  g_menu_stuck = true;
  ::EndMenu();
}

class WinePopupMenu final : public contract::PopupMenuUnderTest {
 public:
  WinePopupMenu() {
    for (const UINT command : {1U, 2U, 3U}) ::AppendMenuW(menu_.get(), MF_STRING, command, L"Item");
    g_menu_stuck = false;
    watchdog_ = ::SetTimer(nullptr, 0, 10000, end_stuck_menu);
  }
  WinePopupMenu(const WinePopupMenu&) = delete;
  WinePopupMenu& operator=(const WinePopupMenu&) = delete;
  ~WinePopupMenu() override {
    ::KillTimer(nullptr, watchdog_);
    check(!g_menu_stuck, "every menu closed by the user's keys");
  }

  platform::PopupMenuCalls& calls() override { return calls_; }
  platform::WindowHandle make(bool shown) override {
    windows_.push_back(make_top_level(L"TalvorinTestWindow", L"", WS_OVERLAPPEDWINDOW | (shown ? WS_VISIBLE : 0)));
    return handle_of(windows_.back().get());
  }
  void destroy(platform::WindowHandle window) override {
    for (platform::win32::unique_hwnd& made : windows_) {
      if (handle_of(made.get()) == window) made.reset();
    }
  }
  platform::WindowHandle owner() override { return handle_of(owner_.get()); }
  platform::MenuHandle menu() override { return reinterpret_cast<platform::MenuHandle>(menu_.get()); }
  void post(std::function<void()> event) override { events_.post(std::move(event)); }
  bool menu_open() override {
    bool open = false;
    ::EnumThreadWindows(::GetCurrentThreadId(), find_menu, reinterpret_cast<LPARAM>(&open));
    return open;
  }
  void choose(std::size_t index) override {
    for (std::size_t step = 0; step <= index; ++step) press(VK_DOWN);
    press(VK_RETURN);
  }
  void dismiss() override { press(VK_ESCAPE); }
  void put_pointer(platform::ScreenPoint at) override { ::SetCursorPos(at.x, at.y); }

 private:
  static platform::WindowHandle handle_of(HWND window) { return reinterpret_cast<platform::WindowHandle>(window); }

  // Down and up, with the scan code and the bits of a single press.
  void press(UINT key) {
    const auto scan = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(owner_.get(), WM_KEYDOWN, key, 1 | scan);
    ::PostMessageW(owner_.get(), WM_KEYUP, key, 1 | scan | (LPARAM{1} << 30) | (LPARAM{1} << 31));
  }

  static BOOL CALLBACK find_menu(HWND window, LPARAM open) noexcept {
    if (class_name_of(window) == L"#32768" && ::IsWindowVisible(window)) *reinterpret_cast<bool*>(open) = true;
    return TRUE;
  }

  platform::win32::PopupMenuCalls calls_;
  platform::win32::unique_hwnd owner_ = make_top_level(L"TalvorinTestMenuOwner", L"", WS_POPUP);
  platform::win32::unique_hmenu menu_{::CreatePopupMenu()};
  std::vector<platform::win32::unique_hwnd> windows_;
  PostedEvents events_;
  UINT_PTR watchdog_ = 0;
};

const testing::Register popup_menu_foreground("popup menu: the foreground where it is put, shown only if it shows",
                                              on_wine<WinePopupMenu, contract::popup_menu_foreground_and_shown>);
const testing::Register popup_menu_choice("popup menu: the chosen command or 0 for Esc, events run inside",
                                          on_wine<WinePopupMenu, contract::popup_menu_returns_the_choice>);
const testing::Register popup_menu_pointer("popup menu: the pointer where it was put",
                                           on_wine<WinePopupMenu, contract::popup_menu_pointer>);

}  // namespace

int main() {
  if (const char* note = std::getenv(kLaunchNote)) return note_launch(note);
  return talvorin::testing::run_all();
}
