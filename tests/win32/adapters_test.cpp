// The Win32 adapters against Wine's own registry, code pages and windows:
// the handle owners, the code page, the registry, drawing, the shell's
// windows and the caption windows. The message boxes, the clock, links and
// the popup menu are in adapters_interaction_test.cpp.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/adapters.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_function.h"
#include "platform/win32/wide.h"
#include "platform/win32/window.h"
#include "platform/win32/window_names.h"
#include "tests/contract/code_page_contract.h"
#include "tests/contract/drawing_contract.h"
#include "tests/contract/registry_contract.h"
#include "tests/contract/shell_windows_contract.h"
#include "tests/contract/start_overlays_contract.h"
#include "tests/win32/check.h"
#include "tests/win32/plain_window.h"

namespace {

using namespace talvorin;
using platform::win32::to_wide;
using testing::check;
using testing::check_equal;
using testing::class_name_of;
using testing::make_top_level;
using testing::on_wine;
using testing::show;

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

// The run in a Russian locale holds the system's code page to the
// simulated one; the other run has another code page.
const testing::Register code_page_1251("the ANSI code page 1251: its table, its best fit and its \"?\"", [] {
  if (::GetACP() != 1251) {
    std::printf("  code page %u: left to the run in code page 1251\n", ::GetACP());
    return;
  }
  const platform::win32::AnsiCodePage code_page;
  contract::code_page_1251_table(code_page);
  contract::code_page_1251_substitutes(code_page);
});

// --- the registry ------------------------------------------------------------

static_assert(static_cast<DWORD>(core::RegistryValueType::String) == REG_SZ &&
              static_cast<DWORD>(core::RegistryValueType::ExpandString) == REG_EXPAND_SZ &&
              static_cast<DWORD>(core::RegistryValueType::Binary) == REG_BINARY &&
              static_cast<DWORD>(core::RegistryValueType::Dword) == REG_DWORD);

// Wine's registry, reached around the adapter with the plain Win32 calls.
class WineRegistry final : public contract::RegistryUnderTest {
 public:
  platform::Registry& registry() override { return registry_; }
  void put_raw(std::u16string_view path, std::u16string_view name, core::RegistryValueType type,
               const std::vector<std::uint8_t>& bytes) override {
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, to_wide(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const platform::win32::unique_hkey owner(key);
    ::RegSetValueExW(key, to_wide(name).c_str(), 0, static_cast<DWORD>(type), bytes.data(),
                     static_cast<DWORD>(bytes.size()));
  }
  std::optional<core::RegistryValueType> stored_type(std::u16string_view path, std::u16string_view name) override {
    DWORD type = 0;
    if (!query(path, name, &type, nullptr)) return std::nullopt;
    return static_cast<core::RegistryValueType>(type);
  }
  std::size_t stored_size(std::u16string_view path, std::u16string_view name) override {
    DWORD size = 0;
    return query(path, name, nullptr, &size) ? size : 0;
  }
  void remove_tree(std::u16string_view path) override { ::RegDeleteTreeW(HKEY_CURRENT_USER, to_wide(path).c_str()); }

 private:
  static bool query(std::u16string_view path, std::u16string_view name, DWORD* type, DWORD* size) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, to_wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const platform::win32::unique_hkey owner(key);
    return ::RegQueryValueExW(key, to_wide(name).c_str(), nullptr, type, nullptr, size) == ERROR_SUCCESS;
  }

  platform::win32::Registry registry_;
};

const testing::Register registry_reads("the registry: string values as stored, whatever their shape", [] {
  WineRegistry wine;
  contract::registry_reads(wine);
});

const testing::Register registry_writes("the registry: writes, deletes, rights and the null key", [] {
  WineRegistry wine;
  contract::registry_writes(wine);
});

// --- drawing -----------------------------------------------------------------

class GdiDrawing final : public contract::DrawingUnderTest {
 public:
  GdiDrawing() : dc_(::CreateCompatibleDC(nullptr)) { ::SelectObject(dc_.get(), ::GetStockObject(DEFAULT_GUI_FONT)); }
  platform::TextDrawing& drawing() override { return drawing_; }
  platform::TextDrawing::DeviceContext dc() override { return reinterpret_cast<std::uintptr_t>(dc_.get()); }

 private:
  platform::win32::unique_hdc dc_;
  platform::win32::GdiTextDrawing drawing_;
};

const testing::Register drawing_contract("drawing: colours, brushes and what DrawText measures", [] {
  GdiDrawing gdi;
  contract::drawing_colors(gdi);
  contract::drawing_measures(gdi);
});

// --- shell windows -----------------------------------------------------------

using testing::register_plain_class;

// Windows made here as the shell makes its own: Unicode windows, their
// titles given in the ANSI code page.
class WineShellWindows final : public contract::ShellWindowsUnderTest {
 public:
  WineShellWindows(const WineShellWindows&) = delete;
  WineShellWindows& operator=(const WineShellWindows&) = delete;
  WineShellWindows() = default;
  ~WineShellWindows() override {
    for (const HWND window : top_level_) {
      if (::IsWindow(window)) ::DestroyWindow(window);
    }
  }

  platform::ShellWindows& shell() override { return shell_; }

  platform::WindowHandle make(platform::WindowHandle parent, const contract::FixtureWindow& window) override {
    const std::wstring class_name = to_wide(code_page_.decode(window.class_name));
    register_plain_class(class_name.c_str());
    const HWND parent_window = reinterpret_cast<HWND>(parent);
    DWORD style = (parent_window ? WS_CHILD : WS_POPUP) | (window.visible ? WS_VISIBLE : 0);
    if (window.owner_drawn) style |= BS_OWNERDRAW;
    // The place is on the screen; a child's is given in its parent's client area.
    POINT origin{window.rect.left, window.rect.top};
    if (parent_window) ::ScreenToClient(parent_window, &origin);
    const HWND made = ::CreateWindowExW(window.topmost ? WS_EX_TOPMOST : 0, class_name.c_str(),
                                        to_wide(code_page_.decode(window.text)).c_str(), style, origin.x, origin.y,
                                        window.rect.right - window.rect.left, window.rect.bottom - window.rect.top,
                                        parent_window, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    check(made != nullptr, "a fixture window made");
    if (window.region) {
      const core::PixelRect& box = *window.region;
      // Once set, the region is the system's to delete.
      check(::SetWindowRgn(made, ::CreateRectRgn(box.left, box.top, box.right, box.bottom), FALSE) != 0,
            "a window region set");
    }
    if (!parent_window) top_level_.push_back(made);
    return reinterpret_cast<platform::WindowHandle>(made);
  }

  void destroy(platform::WindowHandle window) override { ::DestroyWindow(reinterpret_cast<HWND>(window)); }

  std::string text_of(platform::WindowHandle window) override {
    const HWND hwnd = reinterpret_cast<HWND>(window);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return code_page_.encode(platform::win32::from_wide(text));
  }

  void settle() override {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  }

 private:
  platform::win32::ShellWindows shell_;
  platform::win32::AnsiCodePage code_page_;
  std::vector<HWND> top_level_;
};

const testing::Register shell_windows_found("shell windows: found by class in any case, whatever their title",
                                            on_wine<WineShellWindows, contract::shell_windows_found>);

const testing::Register shell_windows_walked("shell windows: children in order, top-level windows in z-order",
                                             on_wine<WineShellWindows, contract::shell_windows_walked>);

const testing::Register shell_windows_text("shell windows: text sent as ANSI, held as the code page carries it",
                                           on_wine<WineShellWindows, contract::shell_windows_text>);

const testing::Register shell_windows_facts("shell windows: what the search reads, shown, hidden and gone",
                                            on_wine<WineShellWindows, contract::shell_windows_facts>);

// --- the caption's overlay ---------------------------------------------------

using platform::win32::kStartCaptionClass;
using platform::win32::kStartCaptionOwnerClass;

// The caption windows of this process that show, theirs included.
BOOL CALLBACK collect_shown_overlay(HWND window, LPARAM found) noexcept {
  if (class_name_of(window) == kStartCaptionClass && ::IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

std::vector<HWND> shown_overlays() {
  std::vector<HWND> found;
  ::EnumWindows(collect_shown_overlay, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Windows made here as other programs make theirs, moved with SetWindowPos.
class WineOverlays final : public contract::StartOverlaysUnderTest {
 public:
  WineOverlays(const WineOverlays&) = delete;
  WineOverlays& operator=(const WineOverlays&) = delete;
  WineOverlays() { register_plain_class(kPlainClass); }
  ~WineOverlays() override {
    for (const HWND window : made_) {
      if (::IsWindow(window)) ::DestroyWindow(window);
    }
  }

  platform::StartOverlays& overlays() override { return overlays_; }
  platform::WindowHandle make(bool topmost, bool caption_window) override {
    // Another copy's caption window is of the class the adapter registered.
    const DWORD ex_style = (topmost ? WS_EX_TOPMOST : 0) | (caption_window ? WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE : 0);
    const HWND made =
        ::CreateWindowExW(ex_style, caption_window ? kStartCaptionClass : kPlainClass, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                          10, 10, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    check(made != nullptr, "a fixture window made");
    made_.push_back(made);
    return platform::win32::as_handle(made);
  }
  void destroy(platform::WindowHandle window) override { ::DestroyWindow(platform::win32::as_hwnd(window)); }
  void raise(platform::WindowHandle window) override { move(window, HWND_TOP); }
  void set_topmost(platform::WindowHandle window, bool topmost) override {
    move(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST);
  }
  void put_beneath(platform::WindowHandle window, platform::WindowHandle above) override {
    move(window, platform::win32::as_hwnd(above));
  }
  platform::WindowHandle beneath(platform::WindowHandle window) override {
    HWND next = platform::win32::as_hwnd(window);
    do {
      next = ::GetWindow(next, GW_HWNDNEXT);
    } while (next && !::IsWindowVisible(next) && std::find(made_.begin(), made_.end(), next) == made_.end());
    return platform::win32::as_handle(next);
  }
  std::string z_order() override {
    std::string order;
    for (HWND window = ::GetTopWindow(nullptr); window; window = ::GetWindow(window, GW_HWNDNEXT)) {
      DWORD process = 0;
      ::GetWindowThreadProcessId(window, &process);
      const std::wstring name = class_name_of(window);
      order += std::to_string(platform::win32::as_handle(window)) + " " + std::string(name.begin(), name.end()) +
               (::IsWindowVisible(window) ? "" : " hidden") + (process == ::GetCurrentProcessId() ? "" : " foreign") +
               "; ";
    }
    return order;
  }
  std::vector<contract::ShownOverlay> shown() override {
    std::vector<contract::ShownOverlay> ours;
    for (const HWND window : shown_overlays()) {
      // The adapter's own have its hidden owner; another copy's, made here, none.
      const HWND owner = ::GetWindow(window, GW_OWNER);
      if (!owner || class_name_of(owner) != kStartCaptionOwnerClass) continue;
      RECT rect{};
      ::GetWindowRect(window, &rect);
      wchar_t text[64] = {};
      ::GetWindowTextW(window, text, 64);
      ours.push_back({platform::win32::as_handle(window),
                      {rect.left, rect.top, rect.right, rect.bottom},
                      platform::win32::from_wide(text),
                      (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0});
    }
    return ours;
  }
  // A window invalidated and not yet painted has an update region; the
  // paint that follows here validates it.
  bool drawn_anew() override {
    bool drawn = false;
    for (const contract::ShownOverlay& overlay : shown()) {
      const HWND window = platform::win32::as_hwnd(overlay.window);
      drawn = ::GetUpdateRect(window, nullptr, FALSE) || drawn;
      ::UpdateWindow(window);
    }
    return drawn;
  }

 private:
  static constexpr wchar_t kPlainClass[] = L"TalvorinTestWindow";
  static void move(platform::WindowHandle window, HWND after) {
    ::SetWindowPos(platform::win32::as_hwnd(window), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  platform::win32::ErrorReport errors_;
  platform::win32::StartOverlays overlays_{errors_};
  std::vector<HWND> made_;
};

const testing::Register start_overlays_follow(
    "start overlays: on each button with the whole caption, drawn anew "
    "only when they change",
    on_wine<WineOverlays, contract::start_overlays_follow>);

const testing::Register start_overlays_stand_above(
    "start overlays: right above the taskbar, beneath what is above it, topmost with it",
    on_wine<WineOverlays, contract::start_overlays_stand_above>);

const testing::Register start_overlays_windows(
    "start overlays: click-through, never active, owned by a window of their own, no leak", [] {
      const auto bar = make_top_level(L"TalvorinTestTaskbar", L"", WS_POPUP | WS_VISIBLE);
      const auto bar_handle = reinterpret_cast<platform::WindowHandle>(bar.get());
      platform::win32::ErrorReport errors;
      platform::win32::StartOverlays overlays(errors);
      overlays.show({{core::PixelRect{10, 20, 70, 44}, bar_handle, false}}, u"Пуск \u2603");
      const std::vector<HWND> shown = shown_overlays();
      if (!check_equal(shown.size(), std::size_t{1}, "one overlay")) return;
      const HWND overlay = shown[0];
      const auto ex_style = static_cast<DWORD>(::GetWindowLongW(overlay, GWL_EXSTYLE));
      const DWORD wanted = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
      check((ex_style & (wanted | WS_EX_TOPMOST)) == wanted, "click-through, never active, no task, not topmost");
      const HWND owner = ::GetWindow(overlay, GW_OWNER);
      check(owner != nullptr && ::GetWindowThreadProcessId(owner, nullptr) == ::GetCurrentThreadId(),
            "owned by a window of its own thread");

      ::UpdateWindow(overlay);
      const long gdi = LiveHandles::gdi;
      const long user = LiveHandles::user;
      for (int step = 0; step < 20; ++step) {
        const core::PixelRect moved{step, 20, 60 + step, 44 + step % 3};
        overlays.show({{moved, bar_handle, step % 4 == 0}}, step % 2 ? u"Пуск" : u"Start");
        ::UpdateWindow(overlay);
      }
      check_equal(LiveHandles::gdi, gdi, "GDI objects after moves, captions and paints");
      check_equal(LiveHandles::user, user, "USER objects after them");
    });

// --- DPI ---------------------------------------------------------------------

using ThreadContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)();
using SetThreadContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using WindowContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
using ContextsEqualFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT);

const testing::Register caption_dpi_context(
    "start overlays: made per-monitor aware, the thread's own context back after each call", [] {
      using platform::win32::system_function;
      const auto set_thread = system_function<SetThreadContextFn>(L"user32.dll", "SetThreadDpiAwarenessContext");
      const auto thread = system_function<ThreadContextFn>(L"user32.dll", "GetThreadDpiAwarenessContext");
      const auto of_window = system_function<WindowContextFn>(L"user32.dll", "GetWindowDpiAwarenessContext");
      const auto equal = system_function<ContextsEqualFn>(L"user32.dll", "AreDpiAwarenessContextsEqual");
      if (!check(set_thread && thread && of_window && equal, "Wine has the thread DPI contexts")) return;
      // The thread of a process that has declared itself system-aware, as
      // Windows has it; Wine gives every thread a per-monitor context.
      const DPI_AWARENESS_CONTEXT own = set_thread(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE);
      const auto bar = make_top_level(L"TalvorinTestTaskbar", L"", WS_POPUP | WS_VISIBLE);
      const auto bar_handle = reinterpret_cast<platform::WindowHandle>(bar.get());
      {
        platform::win32::ErrorReport errors;
        platform::win32::StartOverlays overlays(errors);
        overlays.show({{core::PixelRect{10, 20, 70, 44}, bar_handle, false}}, u"Пуск");
        const std::vector<HWND> shown = shown_overlays();
        check_equal(shown.size(), std::size_t{1}, "one overlay");
        // Per-monitor v2 where Windows takes it; Wine 8 refuses v2.
        const DPI_AWARENESS_CONTEXT made = shown.empty() ? nullptr : of_window(shown[0]);
        check(made && (equal(made, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE) ||
                       equal(made, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)),
              "the overlay follows its monitor's DPI");
        check(equal(thread(), DPI_AWARENESS_CONTEXT_SYSTEM_AWARE), "the thread's own context after placing it");
        platform::win32::ShellWindows shell;
        check(shell.facts(bar_handle).visible, "the taskbar read");
        check(equal(thread(), DPI_AWARENESS_CONTEXT_SYSTEM_AWARE), "and after reading the shell's rectangles");
      }
      if (own) set_thread(own);
    });

}  // namespace
