// The Win32 adapters against Wine's own registry, code pages and windows.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/adapters.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "tests/win32/check.h"

namespace {

using namespace talvorin;
using platform::win32::to_wide;
using testing::check;
using testing::check_equal;
using testing::show;

constexpr std::u16string_view kTestKey = u"Software\\Talvorin tests\\adapters";

// --- unique_any ------------------------------------------------------------

int g_closed = 0;
void count_close(int) noexcept { ++g_closed; }
using platform::win32::LiveHandles;
using counted = platform::win32::unique_any<int, count_close, platform::win32::HandleKind::Gdi>;

// The owners also keep the count of live objects that a long run is checked
// by: back where it started once every owner is gone or has let go.
const testing::Register handles_close_once("unique_any closes each handle exactly once and counts it", [] {
  struct Step {
    const char* what;
    void (*run)();
    int closes;
  };
  const Step steps[] = {
      {"an empty owner closes nothing", [] { counted none; }, 0},
      {"going out of scope closes", [] { counted one(7); }, 1},
      {"release hands over without closing",
       [] {
         counted one(7);
         check_equal(static_cast<long long>(one.release()), 7LL, "released value");
         check(!one, "empty after release");
       },
       0},
      {"a move leaves one owner",
       [] {
         const long before = LiveHandles::gdi;
         counted a(7);
         counted b(std::move(a));
         check(!a && b, "moved");  // NOLINT(bugprone-use-after-move): what a move leaves is the point
         check_equal(LiveHandles::gdi, before + 1, "one live object");
       },
       1},
      {"move assignment closes what the target held",
       [] {
         counted a(7);
         counted b(8);
         b = std::move(a);
         check_equal(static_cast<long long>(b.get()), 7LL, "target holds the source's handle");
       },
       2},
      {"reset closes the old handle",
       [] {
         counted a(7);
         a.reset(9);
         check_equal(g_closed, 1, "closed at reset");
       },
       2},
  };
  for (const Step& step : steps) {
    g_closed = 0;
    const long live = LiveHandles::gdi;
    step.run();
    check_equal(g_closed, step.closes, step.what);
    check_equal(LiveHandles::gdi, live, step.what);
  }
});

// --- the ANSI code page ------------------------------------------------------

const testing::Register code_page_round_trips("the ANSI code page: any length, NULs, substitutes", [] {
  const platform::win32::AnsiCodePage code_page;
  const UINT acp = ::GetACP();
  std::printf("  code page %u\n", acp);
  // The run under a Russian locale says which code page it must have got.
  if (const char* expected = std::getenv("TALVORIN_EXPECT_ACP")) {
    check_equal(static_cast<long long>(acp), std::atoll(expected), "the locale's code page");
  }
  struct Row {
    std::u16string text;
    std::string cp1251;  // what the bytes must be under 1251
    std::string cp1252;
  };
  const std::u16string long_text(100000, u'\u0416');
  const Row rows[] = {
      {u"", "", ""},
      {u"Talvorin", "Talvorin", "Talvorin"},
      // A NUL inside is a character like any other: the tray tip keeps blanks after it.
      {std::u16string(u"a\0b  ", 5), std::string("a\0b  ", 5), std::string("a\0b  ", 5)},
      {u"Жми!", "\xC6\xEC\xE8!", "\x3F\x3F\x3F!"},  // NOLINT(modernize-raw-string-literal): no "??!" trigraph
      // Not in either code page: the default character.
      {u"\u4E2D", "?", "?"},
      {long_text, std::string(100000, '\xC6'), std::string(100000, '?')},
  };
  for (const Row& row : rows) {
    const std::string bytes = code_page.encode(row.text);
    if (acp == 1251) check_equal(show(bytes), show(row.cp1251), "encoded " + show(row.text));
    if (acp == 1252) check_equal(show(bytes), show(row.cp1252), "encoded " + show(row.text));
    check_equal(bytes.size(), row.text.size(), "one byte a character in a single-byte code page");
  }
  if (acp == 1251) {
    check_equal(show(code_page.decode("\xC6\xEC\xE8")), show(u"Жми"), "decoded Cyrillic");
  }
  check_equal(show(code_page.decode(std::string("x\0y", 3))), show(std::u16string(u"x\0y", 3)), "NUL decoded");
});

// --- the registry ------------------------------------------------------------

HKEY test_root() {
  HKEY key = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, to_wide(kTestKey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
  return key;
}

void put_raw(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
}

void remove_test_keys() { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Talvorin tests"); }

const testing::Register registry_reads("the registry: string values as stored, whatever their shape", [] {
  remove_test_keys();
  platform::win32::unique_hkey raw(test_root());
  const std::wstring long_value(100000, L'x');
  const DWORD number = 5;
  put_raw(raw.get(), L"plain", REG_SZ, L"abc", 8);
  put_raw(raw.get(), L"no terminator", REG_SZ, L"abc", 6);
  put_raw(raw.get(), L"odd count", REG_SZ, L"abc", 5);
  put_raw(raw.get(), L"empty", REG_SZ, L"", 2);
  put_raw(raw.get(), L"no bytes", REG_SZ, L"", 0);
  put_raw(raw.get(), L"inner NUL", REG_SZ, L"a\0b", 8);
  put_raw(raw.get(), L"expandable", REG_EXPAND_SZ, L"%PATH%", 14);
  put_raw(raw.get(), L"number", REG_DWORD, &number, sizeof(number));
  put_raw(raw.get(), L"binary", REG_BINARY, "ab", 2);
  put_raw(raw.get(), L"long", REG_SZ, long_value.c_str(), static_cast<DWORD>((long_value.size() + 1) * 2));

  struct Row {
    std::u16string_view name;
    std::optional<std::u16string> expected;
  };
  const Row rows[] = {
      {u"plain", u"abc"},
      {u"no terminator", u"abc"},
      {u"odd count", u"ab"},
      {u"empty", u""},
      {u"no bytes", u""},
      {u"inner NUL", std::u16string(u"a\0b", 3)},
      {u"expandable", u"%PATH%"},
      {u"number", std::nullopt},
      {u"binary", std::nullopt},
      {u"missing", std::nullopt},
      {u"long", std::u16string(100000, u'x')},
  };
  platform::win32::Registry registry;
  const platform::RegistryKey key(registry, registry.open_for_read(core::RegistryRoot::CurrentUser, kTestKey));
  check(static_cast<bool>(key), "opened for reading");
  for (const Row& row : rows) {
    const auto value = registry.read_string(key.get(), row.name);
    check_equal(value.has_value(), row.expected.has_value(), "present: " + show(row.name));
    if (value && row.expected) check_equal(show(*value), show(*row.expected), "value of " + show(row.name));
  }
  remove_test_keys();
});

const testing::Register registry_writes("the registry: writes, deletes, rights and the null key", [] {
  remove_test_keys();
  platform::win32::Registry registry;
  const auto root = core::RegistryRoot::CurrentUser;

  check_equal(static_cast<long long>(registry.open_for_write(root, kTestKey)), 0LL, "a missing key is not opened");
  check_equal(static_cast<long long>(registry.open_for_read(root, kTestKey)), 0LL, "nor created by trying");

  const std::u16string text(100000, u'\u0416');
  {
    const platform::RegistryKey created(registry, registry.create(root, kTestKey));
    check(static_cast<bool>(created), "created with its parents");
    check(registry.write_string(created.get(), u"Text", text), "written");
    check(registry.write_string(created.get(), u"Gone", u"x"), "written");
    check(registry.delete_value(created.get(), u"Gone"), "deleted");
    check(!registry.delete_value(created.get(), u"Gone"), "a second delete finds nothing");
  }
  {
    platform::win32::unique_hkey raw(test_root());
    DWORD type = 0;
    DWORD size = 0;
    ::RegQueryValueExW(raw.get(), L"Text", nullptr, &type, nullptr, &size);
    check_equal(static_cast<long long>(type), static_cast<long long>(REG_SZ), "REG_SZ");
    check_equal(static_cast<long long>(size), 200002LL, "the text and its NUL");
  }
  {
    const platform::RegistryKey reading(registry, registry.open_for_read(root, kTestKey));
    check(!registry.write_string(reading.get(), u"Text", u"y"), "a key opened for reading refuses writes");
    check_equal(show(registry.read_string(reading.get(), u"Text").value_or(u"?")), show(text), "read back whole");
  }
  {
    const platform::RegistryKey writing(registry, registry.open_for_write(root, kTestKey));
    check(static_cast<bool>(writing), "an existing key opens for writing");
    check(registry.delete_value(writing.get(), u"Text"), "deleted through a key opened for writing");
  }
  check(!registry.read_string(0, u"Text"), "nothing read through key 0");
  check(!registry.write_string(0, u"Text", u"x"), "nothing written through key 0");
  check(!registry.delete_value(0, u"Text"), "nothing deleted through key 0");
  registry.close(0);
  remove_test_keys();
});

// --- shell windows -----------------------------------------------------------

LRESULT CALLBACK plain_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return ::DefWindowProcW(hwnd, message, wparam, lparam);
}

// A top-level window of a class of its own that does nothing.
platform::win32::unique_hwnd make_top_level(const wchar_t* class_name, DWORD style) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = plain_procedure;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.lpszClassName = class_name;
  ::RegisterClassExW(&window_class);
  return platform::win32::unique_hwnd(
      ::CreateWindowExW(0, class_name, L"", style, 0, 0, 10, 10, nullptr, nullptr, window_class.hInstance, nullptr));
}

const testing::Register shell_windows_found("shell windows: found by class in any case, text sent as ANSI", [] {
  const auto tray = make_top_level(L"TalvorinTestTray", WS_OVERLAPPED);
  const HWND button = ::CreateWindowExW(0, L"Button", L"Start", WS_CHILD, 0, 0, 10, 10, tray.get(), nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);

  platform::win32::ShellWindows shell;
  const platform::win32::AnsiCodePage code_page;
  const auto found = shell.find_window("talvorintesttray");
  check_equal(found, reinterpret_cast<platform::WindowHandle>(tray.get()), "the top-level window");
  const auto child = shell.find_child_window(found, "button");
  check_equal(child, reinterpret_cast<platform::WindowHandle>(button), "its child");
  check_equal(shell.find_child_window(found, "edit"), platform::WindowHandle{0}, "no such child");

  const std::u16string caption = u"Жми!";
  shell.set_window_text(child, code_page.encode(caption));
  wchar_t text[32] = {};
  ::GetWindowTextW(button, text, 32);
  check_equal(show(platform::win32::from_wide(text)), show(core::round_trip(code_page, caption)),
              "the window holds the text as the code page carried it");
  shell.set_window_text(0, "nowhere");  // reaches no window and does not fail
});

const testing::Register shell_windows_walked(
    "shell windows: top-level windows of a class one after another, shown and hidden", [] {
      const auto first = make_top_level(L"TalvorinTestWorker", WS_POPUP | WS_VISIBLE);
      const auto second = make_top_level(L"TalvorinTestWorker", WS_POPUP | WS_VISIBLE);
      const HWND list = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, second.get(), nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr);

      platform::win32::ShellWindows shell;
      std::vector<platform::WindowHandle> seen;
      for (platform::WindowHandle at = 0; (at = shell.find_next_window(0, at, "talvorintestworker")) != 0;)
        seen.push_back(at);
      check_equal(seen.size(), std::size_t{2}, "both top-level windows, then 0");
      check(
          std::find(seen.begin(), seen.end(), reinterpret_cast<platform::WindowHandle>(first.get())) != seen.end() &&
              std::find(seen.begin(), seen.end(), reinterpret_cast<platform::WindowHandle>(second.get())) != seen.end(),
          "each once");
      const auto child = shell.find_next_window(reinterpret_cast<platform::WindowHandle>(second.get()), 0, "static");
      check_equal(child, reinterpret_cast<platform::WindowHandle>(list), "a child under its parent");

      shell.show_window(child, platform::ShowCommand::Hide);
      check((::GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE) == 0, "hidden");
      shell.show_window(child, platform::ShowCommand::Show);
      check((::GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE) != 0, "shown");
    });

// --- the caption's overlay ---------------------------------------------------

BOOL CALLBACK collect_shown_overlay(HWND window, LPARAM found) noexcept {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (std::wstring(name) == L"TalvorinStartCaption" && ::IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

std::vector<HWND> shown_overlays() {
  std::vector<HWND> found;
  ::EnumWindows(collect_shown_overlay, reinterpret_cast<LPARAM>(&found));
  return found;
}

const testing::Register start_overlays(
    "start overlays: on the button, right above its taskbar, topmost with it, gone with no placement, no leak", [] {
      const auto bar = make_top_level(L"TalvorinTestTaskbar", WS_POPUP | WS_VISIBLE);
      const auto later = make_top_level(L"TalvorinTestLater", WS_POPUP | WS_VISIBLE);  // above the bar
      const auto bar_handle = reinterpret_cast<platform::WindowHandle>(bar.get());
      platform::win32::StartOverlays overlays;
      const core::PixelRect button{10, 20, 70, 44};
      overlays.show({{button, bar_handle, false}}, u"Пуск \u2603");
      std::vector<HWND> shown = shown_overlays();
      check_equal(shown.size(), std::size_t{1}, "one overlay");
      if (shown.size() != 1) return;
      const HWND overlay = shown[0];
      RECT rect{};
      ::GetWindowRect(overlay, &rect);
      check(rect.left == 10 && rect.top == 20 && rect.right == 70 && rect.bottom == 44, "on the button");
      wchar_t text[32] = {};
      ::GetWindowTextW(overlay, text, 32);
      check_equal(show(platform::win32::from_wide(text)), show(u"Пуск \u2603"), "the whole caption as its text");
      const auto ex_style = static_cast<DWORD>(::GetWindowLongW(overlay, GWL_EXSTYLE));
      const DWORD wanted = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
      check((ex_style & (wanted | WS_EX_TOPMOST)) == wanted, "click-through, never active, no task, not topmost");
      check(::GetWindow(overlay, GW_HWNDNEXT) == bar.get(), "right above the taskbar, beneath what is above it");
      const HWND owner = ::GetWindow(overlay, GW_OWNER);
      check(owner != nullptr && ::GetWindowThreadProcessId(owner, nullptr) == ::GetCurrentThreadId(),
            "owned by a window of its own thread");

      // The shell raises its taskbar: the next call puts the overlay back on it.
      ::SetWindowPos(bar.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      overlays.show({{button, bar_handle, false}}, u"Пуск \u2603");
      check(::GetWindow(overlay, GW_HWNDNEXT) == bar.get(), "above the raised taskbar");
      ::UpdateWindow(overlay);
      const long gdi = LiveHandles::gdi;
      const long user = LiveHandles::user;

      ::SetWindowPos(bar.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      overlays.show({{button, bar_handle, true}}, u"Пуск");
      check((::GetWindowLongW(overlay, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, "topmost with its taskbar");
      check(::GetWindow(overlay, GW_HWNDNEXT) == bar.get(), "and right above it");
      ::SetWindowPos(bar.get(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      ::SetWindowPos(later.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      overlays.show({{button, bar_handle, false}}, u"Пуск");
      check((::GetWindowLongW(overlay, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0, "not topmost once the taskbar is not");
      check(::GetWindow(overlay, GW_HWNDNEXT) == bar.get(), "beneath the window in front of the taskbar");

      for (int step = 0; step < 20; ++step) {
        const core::PixelRect moved{step, 20, 60 + step, 44 + step % 3};
        overlays.show({{moved, bar_handle, false}}, step % 2 ? u"Пуск" : u"Start");
        ::UpdateWindow(overlay);
      }
      check_equal(LiveHandles::gdi, gdi, "GDI objects after moves, captions and paints");
      check_equal(LiveHandles::user, user, "USER objects after them");
      overlays.show({}, u"Пуск");
      check(shown_overlays().empty(), "hidden with no placement");
    });

}  // namespace

int main() { return talvorin::testing::run_all(); }
