// The Win32 forms runtime under Wine: its arithmetic, a message box during
// which the program's events run, and the report of a run-time error.

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/win32/form_fixture.h"

namespace {

using namespace talvorin;
using namespace talvorin::testing;

constexpr wchar_t kThrowInHandler[] = L"--throw-in-handler";
constexpr char kRunTimeErrorText[] = "a handler failed";

// --- arithmetic ---------------------------------------------------------------

const testing::Register units("twips and font heights", [] {
  using namespace forms::win32;
  struct Pixels {
    int twips, dpi, pixels;
  };
  for (const Pixels& row : {Pixels{2880, 96, 192}, Pixels{2304, 96, 153}, Pixels{2880, 120, 240}, Pixels{285, 96, 19},
                            Pixels{612, 144, 61}, Pixels{0, 96, 0}}) {
    check_equal(twips_to_pixels(row.twips, row.dpi), row.pixels, "twips " + std::to_string(row.twips));
  }
  struct Font {
    double points;
    int dpi, height;
  };
  for (const Font& row : {Font{7.8, 96, -10}, Font{7.8, 120, -13}, Font{8.25, 96, -11}, Font{12, 144, -24}}) {
    check_equal(font_height_pixels(row.points, row.dpi), row.height, "font height at " + std::to_string(row.dpi));
  }
});

// --- waits and errors -----------------------------------------------------------

struct BoxSearch {
  DWORD process;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_box(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<BoxSearch*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search.process && class_of(window) == u"#32770" && ::IsWindowVisible(window)) {
    search.found.push_back(window);
  }
  return TRUE;
}

// The visible message boxes of a process.
std::vector<HWND> boxes_of(DWORD process) {
  BoxSearch search{process, {}};
  ::EnumWindows(collect_box, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND find_box(DWORD process) {
  const std::vector<HWND> boxes = boxes_of(process);
  return boxes.empty() ? nullptr : boxes.front();
}

int count_boxes(DWORD process) { return static_cast<int>(boxes_of(process).size()); }

std::u16string box_text(HWND box) {
  const HWND text = ::GetDlgItem(box, 0xFFFF);  // the prompt's static
  wchar_t buffer[256] = {};
  ::SendMessageW(text, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
  return from_wide(buffer);
}

const testing::Register message_box("a message box lets timers tick while it is open", [] {
  Fixture f;
  int ticks_while_open = 0;
  bool open = false;
  f.form->add_timer({.name = u"Timer1", .interval_ms = 10, .enabled = true, .on_timer = [&] {
                       if (!open) return;
                       if (++ticks_while_open < 3) return;
                       if (const HWND box = find_box(::GetCurrentProcessId())) {
                         wchar_t title[64] = {};
                         ::GetWindowTextW(box, title, 64);
                         check_equal(show(from_wide(title)), show(u"Talvorin"), "titled with the application");
                         check_equal(show(box_text(box)), show(u"Error: Cannot find window"), "prompt");
                         ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                       }
                     }});
  open = true;
  f.runtime.message_boxes().show(u"Error: Cannot find window", platform::MessageBoxStyle::Ok, u"");
  open = false;
  check(ticks_while_open >= 3, "ticks arrived while the box was open");
});

const testing::Register run_time_error("an exception in a handler ends the program with its report", [] {
  wchar_t module[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(module) + L"\" " + kThrowInHandler;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  if (!check(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child),
             "child started")) {
    return;
  }
  HWND box = nullptr;
  for (int i = 0; i < 200 && !box; ++i) {
    ::Sleep(25);
    box = find_box(child.dwProcessId);
  }
  if (check(box != nullptr, "the report is shown")) {
    wchar_t title[64] = {};
    ::GetWindowTextW(box, title, 64);
    check_equal(show(from_wide(title)), show(u"Talvorin"), "report title");
    check_equal(show(box_text(box)), show(u"a handler failed"), "the error's own text");
    ::Sleep(200);  // the failing timer keeps falling due meanwhile
    check_equal(count_boxes(child.dwProcessId), 1, "one report, not a pile of them");
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  if (::WaitForSingleObject(child.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(child.hProcess, 99);
  DWORD code = 0;
  ::GetExitCodeProcess(child.hProcess, &code);
  check_equal(static_cast<long long>(code), 1LL, "exit code");
  ::CloseHandle(child.hThread);
  ::CloseHandle(child.hProcess);
});

// The child of the test above: a timer whose handler fails.
int throw_in_handler() {
  platform::win32::Registry registry;
  forms::win32::ErrorReport errors;
  Runtime runtime(::GetModuleHandleW(nullptr), registry, errors);
  auto form = runtime.create_form(plain_form(u"failing"));
  form->add_timer({.name = u"Timer1", .interval_ms = 20, .enabled = true, .on_timer = [] {
                     throw std::runtime_error(kRunTimeErrorText);
                   }});
  return runtime.run();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && std::wstring(argv[1]) == kThrowInHandler) return throw_in_handler();
  return talvorin::testing::run_all();
}
